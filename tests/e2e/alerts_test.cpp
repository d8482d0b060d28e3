// Alerts to the host's phone against fake chat apps on 127.0.0.1 (tests/fixtures/WebhookReceiver):
// a crash of the fixture server reaches each chat app in its own shape, signed where a secret is
// set, the 消息通知 window's test button reaches another, and a receiver that never answers
// holds up neither the tool nor the other addresses, and is tried again.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/lifecycle_rig.h"
#include "net/alerts_window_win.h"
#include "net/hmac_sha256_win.h"
#include "net/webhook_message.h"
#include "platform/text.h"
#include "platform/codepage_win.h"

namespace tidemoor::testing {
namespace {

// One request as the receiver recorded it.
struct Received {
  std::string target;  // path and query
  std::string headers;
  std::string body;
};

// A fake chat app started from the tool directory; it ends with the test.
class Receiver {
 public:
  Receiver(const TempToolDirectory& dir, const std::string& mode)
      : dir_(dir), record_("webhook-" + mode + ".txt") {
    dir.InstallFixture("WebhookReceiver.exe");
    std::wstring commandLine = L"\"" + Widen(dir.File("WebhookReceiver.exe")) + L"\" " +
                               Widen(mode) + L" \"" + Widen(dir.File(record_)) + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION raw{};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                         nullptr, Widen(dir.Path()).c_str(), &startup, &raw)) {
      info_.Adopt(raw);
    }
    std::string port;
    EXPECT_TRUE(WaitUntil([&] { return !(port = dir.ReadBytes(record_ + ".port")).empty(); }));
    base_ = "http://127.0.0.1:" + port.substr(0, port.find('\r'));
  }
  ~Receiver() {
    if (info_.process) {
      ::TerminateProcess(info_.process.get(), 1);
      ::WaitForSingleObject(info_.process.get(), 5000);
    }
  }

  std::string Url(const std::string& pathAndQuery) const { return base_ + pathAndQuery; }

  std::vector<Received> Requests() const {
    std::vector<Received> requests;
    const std::string all = dir_.ReadBytes(record_);
    constexpr std::string_view kEnd = "\r\n--end--\r\n";
    for (size_t at = 0, end; (end = all.find(kEnd, at)) != std::string::npos;
         at = end + kEnd.size()) {
      const std::string request = all.substr(at, end - at);
      const size_t line = request.find("\r\n");
      const size_t head = request.find("\r\n\r\n");
      const std::string first = request.substr(0, line);
      const size_t space = first.find(' ');
      requests.push_back({first.substr(space + 1, first.rfind(' ') - space - 1),
                          request.substr(line + 2, head - line), request.substr(head + 4)});
    }
    return requests;
  }

 private:
  const TempToolDirectory& dir_;
  std::string record_;
  std::string base_;
  UniqueProcessInformation info_;
};

std::string Between(const std::string& text, const std::string& open, const std::string& close) {
  const size_t start = text.find(open);
  if (start == std::string::npos) return {};
  const size_t end = text.find(close, start + open.size());
  return text.substr(start + open.size(), end - start - open.size());
}

class Alerts : public LifecycleRig {
 protected:
  // The webhook keys go to the end of the settings file, which is the extension section.
  void PrepareAlerts(int apiPort, const std::string& keys) {
    Prepare({.apiPort = apiPort});
    const std::string file = "PaLWorld_Data\\PaLWorld_Tools.ini";
    directory.WriteBytes(file, directory.ReadBytes(file) + Utf8ToGbk(keys));
  }

  void StartThenCrash(HWND window) {
    StartAndWaitForTheApi(window);
    PutFlag("crash.flag");
  }
};

constexpr char kCrashChat[] = "【E2E Host】\\n服务端已退出: 崩溃或被外部结束\\n";

TEST_F(Alerts, ACrashReachesEachChatAppInItsShapeAndTheTestButtonAnother) {
  Receiver chat(directory, "ok");
  PrepareAlerts(18291, "Webhook_URL_1=" + chat.Url("/api/webhooks/1/tok") +
                           "\r\nWebhook_URL_2=" + chat.Url("/robot/send?access_token=ding") +
                           "\r\nWebhook_Secret_2=SECe2e\r\nWebhook_URL_3=" +
                           chat.Url("/open-apis/bot/v2/hook/u") +
                           "\r\nWebhook_Secret_3=fs-e2e\r\nNotify_Events=crash\r\n");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartThenCrash(window);
  ASSERT_TRUE(WaitUntil([&] { return chat.Requests().size() == 3; }, std::chrono::seconds(60)));

  const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
  for (const Received& request : chat.Requests()) {
    EXPECT_NE(request.headers.find("Content-Type: application/json; charset=utf-8"),
              std::string::npos)
        << request.headers;
    if (request.target == "/api/webhooks/1/tok") {
      EXPECT_TRUE(request.body.starts_with("{\"content\":\"" + std::string(kCrashChat)))
          << request.body;
    } else if (request.target.starts_with("/robot/send?access_token=ding&timestamp=")) {
      EXPECT_TRUE(request.body.starts_with("{\"msgtype\":\"text\",\"text\":{\"content\":\"" +
                                           std::string(kCrashChat)))
          << request.body;
      const std::string timestamp = Between(request.target, "timestamp=", "&");
      EXPECT_LT(std::abs(std::stoll(timestamp) - now), 600'000) << timestamp;
      EXPECT_EQ(request.target.substr(request.target.find("&sign=") + 6),
                UrlEncode(Base64(HmacSha256("SECe2e", timestamp + "\nSECe2e"))));
    } else {
      EXPECT_EQ(request.target, "/open-apis/bot/v2/hook/u");
      EXPECT_TRUE(request.body.starts_with("{\"content\":{\"text\":\"" + std::string(kCrashChat)))
          << request.body;
      const std::string timestamp = Between(request.body, "\"timestamp\":\"", "\"");
      EXPECT_LT(std::abs(std::stoll(timestamp) * 1000 - now), 600'000) << timestamp;
      EXPECT_EQ(Between(request.body, "\"sign\":\"", "\""),
                Base64(HmacSha256(timestamp + "\nfs-e2e", "")));
    }
  }

  PressLabel(window, Id(MainControl::AlertsLabel));
  HWND alerts = WaitForWindowOfProcess(tool->Id(), kAlertsWindowTitle);
  ASSERT_NE(alerts, nullptr);
  // A second press brings the same window forward instead of opening another.
  PressLabel(window, Id(MainControl::AlertsLabel));
  EXPECT_EQ(WindowsTitled(tool->Id(), kAlertsWindowTitle), 1);
  const std::string weCom = chat.Url("/cgi-bin/webhook/send?key=k");
  SetControlText(alerts, static_cast<int>(AlertsControl::AddressEdit1), weCom);
  ClickControl(alerts, static_cast<int>(AlertsControl::TestButton1));
  ASSERT_TRUE(WaitUntil([&] {
    return ControlText(alerts, static_cast<int>(AlertsControl::TestResult1)) == "成功 HTTP 200";
  }));
  const std::vector<Received> requests = chat.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[3].target, "/cgi-bin/webhook/send?key=k");
  EXPECT_TRUE(requests[3].body.starts_with(
      "{\"msgtype\":\"text\",\"text\":{\"content\":\"【E2E Host】\\n测试消息"))
      << requests[3].body;

  // Closing the window keeps what was typed; the log never holds an address or a secret.
  // The settings are written as the window goes; reading the file meanwhile could hold it just as
  // the tool replaces it.
  CloseToolWindow(alerts);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(alerts); }));
  EXPECT_NE(directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini").find("Webhook_URL_1=" + weCom),
            std::string::npos);
  const std::string events = EventLog();
  EXPECT_EQ(events.find(chat.Url("")), std::string::npos) << events;
  EXPECT_EQ(events.find("access_token"), std::string::npos) << events;
  EXPECT_EQ(events.find("SECe2e"), std::string::npos) << events;
}

TEST_F(Alerts, AReceiverThatNeverAnswersHoldsUpNothingAndIsTriedAgain) {
  Receiver stalled(directory, "stall");
  Receiver chat(directory, "ok");
  PrepareAlerts(18292, "Webhook_URL_1=" + stalled.Url("/alerts") + "\r\nWebhook_URL_2=" +
                           chat.Url("/alerts") + "\r\nNotify_Events=crash\r\n");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartThenCrash(window);
  ASSERT_TRUE(WaitUntil([&] { return chat.Requests().size() == 1; }, std::chrono::seconds(60)));
  EXPECT_TRUE(chat.Requests()[0].body.starts_with("{\"event\":\"crash\",\"server\":\"E2E Host\","))
      << chat.Requests()[0].body;
  // The window answers while the first address still waits for its answer.
  DWORD_PTR result = 0;
  EXPECT_NE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
  EXPECT_TRUE(WaitUntil([&] { return ShowsStopped(window); }));
  ASSERT_TRUE(WaitUntil([&] { return stalled.Requests().size() >= 2; }, std::chrono::seconds(90)));
  EXPECT_EQ(stalled.Requests()[1].body, stalled.Requests()[0].body);
  EXPECT_EQ(chat.Requests().size(), 1u);
}

}  // namespace
}  // namespace tidemoor::testing
