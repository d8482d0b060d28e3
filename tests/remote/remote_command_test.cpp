#include "remote/remote_command.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(RemoteCommand, ReadsOnlyTheCommandsAndOnlyWhenMeant) {
  using V = RemoteVerb;
  const struct {
    const char* text;
    bool addressed;
    std::optional<V> verb;
    const char* argument;
  } cases[] = {
      {"/状态", false, V::Status, ""},
      {" \t/玩家\r\n", false, V::Players, ""},
      {"\xE3\x80\x80\xEF\xBC\x8F重启\xE3\x80\x80", false, V::Restart,
       ""},  // full-width blank, slash
      {"/公告  今晚 8 点维护 ", false, V::Announce, "今晚 8 点维护"},
      {"/公告\xE3\x80\x80维护", false, V::Announce, "维护"},
      {"/公告", false, V::Announce, ""},
      {"/公告   ", false, V::Announce, ""},
      {"/公告维护", false, std::nullopt, ""},
      {"/状态 好吗", false, std::nullopt, ""},
      {"/关服吧", false, std::nullopt, ""},
      {"/ 状态", false, std::nullopt, ""},
      {"/status", false, std::nullopt, ""},
      {"状态", false, std::nullopt, ""},
      {"状态", true, V::Status, ""},
      {" 确认 ", true, V::Confirm, ""},
      {"/帮助", true, V::Help, ""},
      {"开服了吗", true, std::nullopt, ""},
      {"", true, std::nullopt, ""},
  };
  for (const auto& c : cases) {
    const auto command = ReadRemoteCommand(c.text, c.addressed);
    ASSERT_EQ(command.has_value(), c.verb.has_value()) << c.text;
    if (!command) continue;
    EXPECT_EQ(command->verb, *c.verb) << c.text;
    EXPECT_EQ(command->argument, c.argument) << c.text;
  }
}

}  // namespace
}  // namespace tidemoor
