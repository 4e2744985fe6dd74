// The server's list of online players, as its PlayerListItem packets say.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "OutputCapture.h"
#include "session/PlayerList.h"

namespace {

TSPackets::PlayerListItem item(const std::string& name, bool online, short ping = 0) {
  TSPackets::PlayerListItem packet;
  packet.playerName = name;
  packet.online = online;
  packet.ping = ping;
  return packet;
}

using Rows = std::vector<std::pair<std::string, int>>;

Rows rows(const PlayerList& list) {
  Rows shown;
  for (const PlayerList::Player& player : list.players())
    shown.emplace_back(player.name, player.ping);
  return shown;
}

// Each case plays its packets into an empty list.
TEST(PlayerList, FollowsThePacketsInTheOrderPlayersCame) {
  const struct {
    const char* name;
    std::vector<TSPackets::PlayerListItem> packets;
    Rows listed;
  } cases[] = {
      {"nothing", {}, {}},
      {"arrivals in order", {item("Alice", true, 40), item("Bob", true, 7)}, {{"Alice", 40}, {"Bob", 7}}},
      {"a new ping keeps the place",
       {item("Alice", true, 40), item("Bob", true, 7), item("Alice", true, 12)},
       {{"Alice", 12}, {"Bob", 7}}},
      {"leaving", {item("Alice", true), item("Bob", true), item("Alice", false)}, {{"Bob", 0}}},
      {"leaving twice, or unknown", {item("Bob", true), item("Bob", false), item("Bob", false),
                                     item("Zed", false)}, {}},
      {"names differ by case", {item("bob", true), item("Bob", true)}, {{"bob", 0}, {"Bob", 0}}},
      {"coming back goes last", {item("Alice", true), item("Bob", true), item("Alice", false),
                                 item("Alice", true, 3)}, {{"Bob", 0}, {"Alice", 3}}},
      {"odd pings are kept as sent", {item("Slow", true, 32767), item("Odd", true, -1)},
       {{"Slow", 32767}, {"Odd", -1}}},
  };
  for (const auto& c : cases) {
    PlayerList list;
    for (const auto& packet : c.packets)
      list.apply(packet);
    EXPECT_EQ(rows(list), c.listed) << c.name;
  }
}

// A server that names more players than the limit fills the list and no
// more, says so once while it stays full, and again after it had room.
TEST(PlayerList, HoldsAtMostTheLimitWithALinePerFilling) {
  OutputCapture capture;
  PlayerList list;
  for (std::size_t i = 0; i < PlayerList::MaxPlayers + 50; ++i)
    list.apply(item("p" + std::to_string(i), true));
  ASSERT_EQ(list.players().size(), PlayerList::MaxPlayers);
  EXPECT_EQ(list.players().back().name, "p" + std::to_string(PlayerList::MaxPlayers - 1));
  list.apply(item("p0", true, 99));
  EXPECT_EQ(list.players().front().ping, 99) << "a listed player's ping still changes";
  EXPECT_EQ(capture.out(), std::vector<std::string>{"ignored players beyond the 256 listed"});

  list.apply(item("p1", false));
  list.apply(item("late", true));
  list.apply(item("later", true));
  EXPECT_EQ(list.players().back().name, "late");
  EXPECT_EQ(capture.out().size(), 2u);

  list.clear();
  EXPECT_TRUE(list.players().empty());
}

} // namespace
