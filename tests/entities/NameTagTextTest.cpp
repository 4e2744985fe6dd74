// What a name tag shows of the name a server sends.

#include <gtest/gtest.h>

#include <string>

#include "NameTag.h"

namespace {

// Control characters would draw as boxes or move nothing; a name of
// thousands of characters (a server may send 32767) would cover the screen
// and cost a quad each.
TEST(NameTagText, DropsControlCharactersAndKeepsAtMostTheLimit) {
  const std::u32string longName(40000, U'x');
  const struct {
    std::u32string name;
    std::u32string shown;
  } cases[] = {
      {U"Alice", U"Alice"},
      {U"Zoë Ωμέγα Жук", U"Zoë Ωμέγα Жук"},
      {U"\x1b[31mBob\n", U"[31mBob"},
      {U"\x7f\x85\x9f", U""},
      {U"", U""},
      {longName, longName.substr(0, NameTag::MaxLength)},
      {U"\t" + longName, longName.substr(0, NameTag::MaxLength)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NameTag::shownText(c.name), c.shown) << c.name.size() << " characters";
}

} // namespace
