#ifndef VOX_LRU_LIST_H
#define VOX_LRU_LIST_H

#include <cstddef>

namespace Vox {

// Links embedded in a node, one pair per list the node can be on.
template <typename Node> struct LruLinks {
  Node* prev = nullptr;
  Node* next = nullptr;
};

// Intrusive doubly linked list ordered from most to least recently used.
// Nodes are not owned; a node is on the list at most once.
template <typename Node, LruLinks<Node> Node::*Links> class LruList {
public:
  std::size_t size() const { return m_size; }
  Node* back() const { return m_tail; }

  void pushFront(Node& node) {
    LruLinks<Node>& links = node.*Links;
    links.prev = nullptr;
    links.next = m_head;
    if (m_head)
      (m_head->*Links).prev = &node;
    else
      m_tail = &node;
    m_head = &node;
    ++m_size;
  }

  void remove(Node& node) {
    LruLinks<Node>& links = node.*Links;
    if (links.prev)
      (links.prev->*Links).next = links.next;
    else
      m_head = links.next;
    if (links.next)
      (links.next->*Links).prev = links.prev;
    else
      m_tail = links.prev;
    links = {};
    --m_size;
  }

  void moveToFront(Node& node) {
    if (m_head == &node)
      return;
    remove(node);
    pushFront(node);
  }

  void clear() {
    m_head = m_tail = nullptr;
    m_size = 0;
  }

private:
  Node* m_head = nullptr;
  Node* m_tail = nullptr;
  std::size_t m_size = 0;
};

} // namespace Vox

#endif
