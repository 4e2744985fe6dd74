#ifndef OUTPUT_CAPTURE_H
#define OUTPUT_CAPTURE_H

#include <sstream>
#include <string>
#include <vector>

// Collects what std::cout and std::cerr receive while it lives.
class OutputCapture {
public:
  OutputCapture();
  ~OutputCapture();
  OutputCapture(const OutputCapture&) = delete;
  OutputCapture& operator=(const OutputCapture&) = delete;

  std::vector<std::string> out() const;
  std::vector<std::string> err() const;
  // Whether any line of either stream contains the text.
  bool mentions(const std::string& text) const;

private:
  std::ostringstream m_out;
  std::ostringstream m_err;
  std::streambuf* m_oldOut;
  std::streambuf* m_oldErr;
};

#endif
