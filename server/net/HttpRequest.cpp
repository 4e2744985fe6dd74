#include "server/HttpRequest.h"

#include <cctype>

namespace Server {

namespace {

int hexValue(char digit) {
  if (std::isdigit(static_cast<unsigned char>(digit)))
    return digit - '0';
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(digit)));
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::map<std::string, std::string> parseQuery(const std::string& query) {
  std::map<std::string, std::string> values;
  std::size_t start = 0;
  while (start <= query.size()) {
    std::size_t end = query.find('&', start);
    if (end == std::string::npos)
      end = query.size();
    const std::string item = query.substr(start, end - start);
    if (!item.empty()) {
      const std::size_t equals = item.find('=');
      if (equals == std::string::npos)
        values[percentDecode(item)] = "";
      else
        values[percentDecode(item.substr(0, equals))] = percentDecode(item.substr(equals + 1));
    }
    start = end + 1;
  }
  return values;
}

} // namespace

std::string percentDecode(const std::string& text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
        hexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

std::optional<HttpRequest> parseHttpRequest(const std::string& head) {
  const std::size_t lineEnd = head.find("\r\n");
  const std::string line = head.substr(0, lineEnd);
  const std::size_t firstSpace = line.find(' ');
  const std::size_t lastSpace = line.rfind(' ');
  if (firstSpace == std::string::npos || lastSpace == firstSpace)
    return std::nullopt;
  if (line.substr(0, firstSpace) != "GET" || line.compare(lastSpace + 1, 5, "HTTP/") != 0)
    return std::nullopt;
  const std::string target = line.substr(firstSpace + 1, lastSpace - firstSpace - 1);
  if (target.empty() || target[0] != '/')
    return std::nullopt;
  HttpRequest request;
  const std::size_t question = target.find('?');
  request.path = percentDecode(target.substr(0, question));
  if (question != std::string::npos)
    request.query = parseQuery(target.substr(question + 1));
  return request;
}

} // namespace Server
