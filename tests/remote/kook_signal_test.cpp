#include "remote/kook_signal.h"

#include <gtest/gtest.h>

#include "remote/kook_api.h"
#include "remote/kook_sequence.h"

namespace tidemoor {
namespace {

// A KMarkdown message in a channel from 阿明 (event 7); later fields replace the earlier ones.
std::string Message(const std::string& fields) {
  return R"({"s":0,"sn":7,"d":{"type":9,"channel_type":"GROUP","target_id":"ch",)"
         R"("author_id":"u1","msg_id":"m9","extra":{"author":{"username":"阿明"}},)" +
         fields + "}}";
}

TEST(KookSignal, ReadsWhatTheGatewaySends) {
  using K = KookSignalKind;
  const struct {
    std::string frame;
    K kind;
    int code;
    const char* session;
  } cases[] = {
      {"", K::Garbage, 0, ""},
      {"[0,1]", K::Garbage, 0, ""},
      {R"({"s":"1"})", K::Garbage, 0, ""},
      {R"({"s":1,"d":{"code":0,"session_id":"abc"}})", K::Hello, 0, "abc"},
      {R"({"s":1,"d":{"code":40103}})", K::Hello, 40103, ""},
      {R"({"s":3})", K::Pong, 0, ""},
      {R"({"s":5,"d":{"code":41008,"err":"Missing params"}})", K::Reconnect, 41008, ""},
      {R"({"s":6,"d":{"session_id":"abc"}})", K::ResumeAck, 0, "abc"},
      {R"({"s":9,"d":[]})", K::Other, 0, ""},
  };
  for (const auto& c : cases) {
    const KookSignal signal = ReadKookSignal(c.frame, "bot");
    EXPECT_EQ(signal.kind, c.kind) << c.frame;
    EXPECT_EQ(signal.code, c.code) << c.frame;
    EXPECT_EQ(signal.sessionId, c.session) << c.frame;
  }
}

TEST(KookSignal, TakesTextFromPeopleAsTyped) {
  const struct {
    std::string frame;
    std::optional<ChatMessage> want;  // channel, author id, name, text, msg id, private, mention
  } cases[] = {
      {Message(R"("content":"(met)bot(met) \\/状态 \\(1\\) \\a")"),
       ChatMessage{"ch", "u1", "阿明", R"( /状态 (1) \a)", "m9", false, true}},
      {Message(R"("content":"(met)u2(met)/玩家")"),
       ChatMessage{"ch", "u1", "阿明", "/玩家", "m9", false, false}},
      {Message(
           R"("content":"x","extra":{"mention":["bot"],"author":{"username":"a","nickname":"b"}})"),
       ChatMessage{"ch", "u1", "b", "x", "m9", false, true}},
      {Message(
           R"j("type":1,"channel_type":"PERSON","target_id":"bot","content":"\\/(met)bot(met)")j"),
       ChatMessage{"", "u1", "阿明", R"j(\/(met)bot(met))j", "m9", true, false}},
      {Message(R"("author_id":"bot","content":"x")"), std::nullopt},
      {Message(R"("content":"x","extra":{"author":{"bot":true}})"), std::nullopt},
      {Message(R"("type":255,"content":"x")"), std::nullopt},
      {Message(R"("channel_type":"BROADCAST","content":"x")"), std::nullopt},
  };
  for (const auto& c : cases) {
    const KookSignal signal = ReadKookSignal(c.frame, "bot");
    EXPECT_EQ(signal.kind, KookSignalKind::Event) << c.frame;
    EXPECT_EQ(signal.sn, 7u) << c.frame;
    EXPECT_EQ(signal.message, c.want) << c.frame;
  }
}

TEST(KookSequence, ActsOnEachEventOnceInOrder) {
  KookSequence sequence;
  const auto take = [&](int sn, bool isMessage = true) {
    std::string texts;
    const auto message = ChatMessage{"", "", "", std::to_string(sn)};
    for (const auto& m : sequence.Take(sn, isMessage ? std::optional(message) : std::nullopt)) {
      texts += m.text + " ";
    }
    return texts;
  };
  EXPECT_EQ(take(1), "1 ");
  EXPECT_EQ(take(1), "");  // a repeat
  EXPECT_EQ(take(3), "");  // waits for 2
  EXPECT_EQ(take(4, false), "");
  EXPECT_EQ(take(2), "2 3 ");
  for (int sn = 10; sn < 110; ++sn) EXPECT_EQ(take(sn), "");
  EXPECT_EQ(take(111).substr(0, 6), "10 11 ");  // 101 waiting: 5..9 are given up
  EXPECT_EQ(sequence.Last(), 109u);
  EXPECT_EQ(take(110), "110 111 ");
  sequence.Reset();
  EXPECT_EQ(take(1), "1 ");
}

TEST(KookApi, ReadsAnswersAndBuildsRequests) {
  EXPECT_EQ(ReadKookGateway(R"({"code":0,"data":{"url":"wss://g/?token=t"}})"), "wss://g/?token=t");
  EXPECT_EQ(ReadKookSelf(R"({"code":0,"data":{"id":"42","username":"b"}})"), "42");
  EXPECT_FALSE(KookAnswerOk("<html>"));
  EXPECT_EQ(KookSocketUrl("wss://g/?token=t", std::pair<uint64_t, std::string>(12, "a b")),
            "wss://g/?token=t&resume=1&sn=12&session_id=a%20b");
  EXPECT_EQ(KookSocketUrl("wss://g/", std::pair<uint64_t, std::string>(1, "s")),
            "wss://g/?resume=1&sn=1&session_id=s");

  const KookPost toChannel = KookReply({"ch", "u1", "n", "t", "m1", false, false}, "好\"");
  EXPECT_EQ(toChannel.path + toChannel.body,
            R"(/message/create{"content":"好\"","quote":"m1","target_id":"ch","type":1})");
  const KookPost toPerson = KookReply({"", "u1", "n", "t", "", true, false}, "x");
  EXPECT_EQ(toPerson.path + toPerson.body,
            R"(/direct-message/create{"content":"x","target_id":"u1","type":1})");

  const int seconds[] = {2, 2, 4, 8, 16, 32, 60, 60};
  for (int failures = 0; failures < 8; ++failures) {
    EXPECT_EQ(KookBackOff(failures).count(), seconds[failures]) << failures;
  }
}

}  // namespace
}  // namespace tidemoor
