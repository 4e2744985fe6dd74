#include "LoopbackPair.h"

LoopbackPair::LoopbackPair() {
  asio::ip::tcp::acceptor acceptor(io, {asio::ip::address_v4::loopback(), 0});
  client.connect(acceptor.local_endpoint());
  acceptor.accept(peer);
}

void LoopbackPair::feed(const std::string& bytes) { asio::write(peer, asio::buffer(bytes)); }

void LoopbackPair::closeFeed() { peer.shutdown(asio::ip::tcp::socket::shutdown_send); }
