#include <csignal>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <asio.hpp>

#include "server/GameServer.h"
#include "server/ServerLog.h"
#include "server/ServerOptions.h"

int main(int argc, char** argv) {
  Server::ServerOptions options;
  try {
    options = Server::parseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& error) {
    std::cerr << error.what() << "\n" << Server::serverUsage();
    return 2;
  }
  if (options.help || options.version) {
    std::cout << (options.help ? Server::serverUsage() : Server::serverVersion()) << std::flush;
    return 0;
  }
  // A client that goes away must not take the server with it.
  std::signal(SIGPIPE, SIG_IGN);

  asio::io_context io;
  Server::ServerLog log;
  Server::GameServer server(io, options, log);
  try {
    server.start();
  } catch (const std::exception& error) {
    std::cerr << "cannot listen on " << options.host << ": " << error.what() << std::endl;
    return 1;
  }
  asio::signal_set signals(io, SIGINT, SIGTERM);
  signals.async_wait([&](const asio::error_code& error, int) {
    if (!error)
      server.stop();
  });
  server.whenStopped([&] { signals.cancel(); });
  io.run();
  log.line("server stopped");
  return 0;
}
