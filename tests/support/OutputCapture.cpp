#include "OutputCapture.h"

#include <iostream>

namespace {

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

} // namespace

OutputCapture::OutputCapture()
    : m_oldOut(std::cout.rdbuf(m_out.rdbuf())), m_oldErr(std::cerr.rdbuf(m_err.rdbuf())) {}

OutputCapture::~OutputCapture() {
  std::cout.rdbuf(m_oldOut);
  std::cerr.rdbuf(m_oldErr);
}

std::vector<std::string> OutputCapture::out() const { return linesOf(m_out.str()); }

std::vector<std::string> OutputCapture::err() const { return linesOf(m_err.str()); }

bool OutputCapture::mentions(const std::string& text) const {
  return m_out.str().find(text) != std::string::npos ||
         m_err.str().find(text) != std::string::npos;
}
