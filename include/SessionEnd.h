#ifndef SESSION_END_H
#define SESSION_END_H

// How a connection's session ended, in a form the window can show.

#include <string>

struct SessionEnd {
  enum class Kind {
    // No session has ended since the last connect (or there was none).
    None,
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
    // Bytes that are no packet, an unknown id or a failed account login; the
    // text is the error with the packet id.
    Failed,
  };

  Kind kind = Kind::None;
  std::string text;
};

#endif
