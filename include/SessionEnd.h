#ifndef SESSION_END_H
#define SESSION_END_H

// How a connection's session ended, in a form the window can show.

#include <string>

struct SessionEnd {
  enum class Kind {
    // No session has ended since the last connect (or there was none).
    None,
    // The host or the port could not be looked up; the text is the error.
    NotFound,
    // No address could be reached; the text is the last error.
    ConnectFailed,
    // The client closed the connection itself (the disconnect key, the
    // window closing); no text.
    Closed,
    // The connection failed or the server closed it; the text is the error.
    Lost,
    // The server's Disconnect; the text is its reason.
    Kicked,
    // A packet stayed incomplete for the stall time; the text says which.
    Stalled,
    // Bytes that are no packet, an unknown id, or an error while a packet
    // was handled; the text is the error with the packet id.
    Failed,
    // The account login or the session join did not let the player in; the
    // text is the account service's answer or why a request failed.
    LoginFailed,
  };

  Kind kind = Kind::None;
  std::string text;
};

#endif
