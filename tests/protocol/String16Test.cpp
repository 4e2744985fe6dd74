#include <clocale>
#include <vector>

#include "String16.h"
#include "TSPackets.h"
#include "WireFixture.h"

using namespace TSDataTypes;

namespace {

// Runs with the given locale, as the client does after setlocale(LC_ALL, "").
class LocaleWireTest : public ::testing::Test {
protected:
  void useLocale(const char* name) { ASSERT_NE(std::setlocale(LC_ALL, name), nullptr); }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }

  std::string writtenString16(const std::string& text) {
    std::ostringstream out;
    writeString16(out, text);
    return out.str();
  }

  std::string readString16(const std::string& wire) {
    return readWhole(wire, [](WireInput& in) { return parseString16(in); });
  }
};

struct TextCase {
  const char* name;
  std::string text;
  Wire wire;
};

} // namespace

TEST_F(LocaleWireTest, Utf8TextTravelsAsUcs2BothWays) {
  useLocale("C.UTF-8");
  const std::vector<TextCase> cases = {
      {"ascii", "abc", {0, 3, 0, 'a', 0, 'b', 0, 'c'}},
      {"latin", "caf\xC3\xA9", {0, 4, 0, 'c', 0, 'a', 0, 'f', 0x00, 0xE9}},
      {"euro sign", "\xE2\x82\xAC", {0, 1, 0x20, 0xAC}},
      {"cjk", "\xE6\x97\xA5\xE6\x9C\xAC", {0, 2, 0x65, 0xE5, 0x67, 0x2C}},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(writtenString16(c.text), c.wire.bytes());
    EXPECT_EQ(readString16(c.wire), c.text);
  }
}

TEST_F(LocaleWireTest, UnrepresentableCharactersBecomeQuestionMarks) {
  useLocale("C.UTF-8");
  const std::vector<TextCase> written = {
      {"beyond the basic plane", "a\xF0\x9F\x98\x80" "b", {0, 3, 0, 'a', 0, '?', 0, 'b'}},
      {"invalid byte", "a\xFF" "b", {0, 3, 0, 'a', 0, '?', 0, 'b'}},
      {"unfinished character", "a\xC3", {0, 2, 0, 'a', 0, '?'}},
  };
  for (const TextCase& c : written) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(writtenString16(c.text), c.wire.bytes());
  }
  EXPECT_EQ(readString16(Wire{0, 3, 0xD8, 0x3D, 0xDE, 0x00, 0, 'x'}), "??x");

  useLocale("C");
  EXPECT_EQ(readString16(Wire{0, 3, 0, 'a', 0x00, 0xE9, 0, 'b'}), "a?b");
  EXPECT_EQ(writtenString16("a\xC3\xA9"), Wire({0, 3, 0, 'a', 0, '?', 0, '?'}).bytes());
}

TEST_F(LocaleWireTest, TooLongTextStopsAtTheLengthPrefixLimit) {
  useLocale("C.UTF-8");
  const std::string written = writtenString16(std::string(40000, 'a'));
  EXPECT_EQ(written.size(), 2 + 2 * String16::MaxUnits);
  EXPECT_EQ(written.substr(0, 2), Wire({0x7F, 0xFF}).bytes());
}

TEST_F(LocaleWireTest, ChatIsCutToHundredWholeCharacters) {
  useLocale("C.UTF-8");
  const auto repeated = [](const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
      text += piece;
    }
    return text;
  };
  const std::string x = "x";
  const std::string eAcute = "\xC3\xA9";
  struct Case {
    const char* name;
    std::string message;
    std::string expectedUnits;
    int length;
  };
  const std::vector<Case> cases = {
      {"150 ascii", repeated(x, 150), repeated(std::string("\0x", 2), 100), 100},
      {"100 ascii", repeated(x, 100), repeated(std::string("\0x", 2), 100), 100},
      {"99 ascii", repeated(x, 99), repeated(std::string("\0x", 2), 99), 99},
      {"150 accented", repeated(eAcute, 150), repeated(std::string("\0\xE9", 2), 100), 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSPackets::ChatMessage chat;
    chat.message = c.message;
    EXPECT_EQ(written(chat), Wire().i8(0x03).i16(c.length).raw(c.expectedUnits).bytes());
    EXPECT_EQ(chat.message, c.message);
  }
}
