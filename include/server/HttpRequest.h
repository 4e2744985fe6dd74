#ifndef HTTP_REQUEST_H
#define HTTP_REQUEST_H

#include <map>
#include <optional>
#include <string>

namespace Server {

// The part of an HTTP GET request the account endpoints look at.
struct HttpRequest {
  std::string path;
  std::map<std::string, std::string> query; // values percent-decoded
};

// From the request head (request line first); nothing for anything but a
// well-formed GET.
std::optional<HttpRequest> parseHttpRequest(const std::string& head);

// "%41" to "A"; a "%" without two hex digits stays as it is.
std::string percentDecode(const std::string& text);

} // namespace Server

#endif
