#ifndef SCRIPTED_SERVER_H
#define SCRIPTED_SERVER_H

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <asio.hpp>

// The server's side of one accepted connection, with blocking operations
// that give up after a few seconds so that a broken client cannot hang a
// test.
class ServerPeer {
public:
  explicit ServerPeer(asio::ip::tcp::socket& socket) : m_socket(socket) {}

  void send(const std::string& bytes);
  // Each send leaves at once as segments of its own.
  void noDelay();
  // Exactly count bytes; throws when they do not come.
  std::string receive(std::size_t count);
  // Sends as much as the client takes until it closes the connection.
  void sendWhileOpen(const std::string& bytes);
  // Ends the server's side of the stream; the client reads its end.
  void endSending();
  // Drops the connection with a reset: the client's writes fail.
  void reset();
  // True when nothing arrives for that long.
  bool idle(std::chrono::milliseconds wait);
  // Waits until the client closes its side, dropping whatever it sends.
  void awaitEnd();
  // Everything the client sends until it closes its side.
  std::string receiveUntilEnd();
  // A server that has stopped reading: sends the bytes every interval until
  // the client closes its side, reading nothing.
  void sendUntilClosed(const std::string& bytes, std::chrono::milliseconds interval);
  // Waits until the client closes its side, reading nothing.
  void awaitEndUnread();

private:
  bool waitReadable(std::chrono::milliseconds wait);
  bool closedByClient(std::chrono::milliseconds wait);

  asio::ip::tcp::socket& m_socket;
};

// A game server on 127.0.0.1 that accepts one connection and plays a script
// on it in a thread of its own, then closes the connection.
class ScriptedServer {
public:
  using Script = std::function<void(ServerPeer&)>;

  explicit ScriptedServer(Script script);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  std::string port() const;
  // Waits for the script to end and reports its failure, if any.
  void finish();

private:
  void serve(Script script);

  asio::io_service m_io;
  asio::ip::tcp::acceptor m_acceptor;
  std::string m_failure;
  std::thread m_thread;
};

#endif
