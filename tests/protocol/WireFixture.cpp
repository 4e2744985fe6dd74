#include "WireFixture.h"

void expectNeedsMoreOnEveryPrefix(const std::function<void(WireInput&)>& read,
                                  const std::string& bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    ByteReader prefix(data, size);
    try {
      read(prefix);
      ADD_FAILURE() << "a prefix of " << size << " of " << bytes.size() << " bytes was enough";
      return;
    } catch (const NeedMoreBytes& more) {
      if (more.total <= size || more.total > bytes.size()) {
        ADD_FAILURE() << "a prefix of " << size << " of " << bytes.size() << " bytes asked for "
                      << more.total;
        return;
      }
    }
  }
}
