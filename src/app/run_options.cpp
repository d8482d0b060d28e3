#include "app/run_options.h"

#include <charconv>
#include <string_view>

#include "app/start_with_windows.h"
#include "common/port_number.h"

namespace tidemoor {
namespace {

constexpr std::string_view kLocalOnly = "http://127.0.0.1:";

unsigned Milliseconds(std::string_view text) {
  unsigned value = 0;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
  return failure == std::errc{} && end == text.data() + text.size() ? value : 0;
}

// A redirected network target may only ever be this PC: nothing typed into a shortcut can make
// the tool send its requests elsewhere.
bool OnThisPc(std::string_view url) {
  if (!url.starts_with(kLocalOnly)) return false;
  const std::string_view rest = url.substr(kLocalOnly.size());
  const size_t slash = rest.find('/');
  return slash != std::string_view::npos && ParsePortNumber(rest.substr(0, slash));
}

void ReadTestSetting(std::string_view name, std::string_view value, TestSettings& tests) {
  if (name == "router-search-port") tests.routerSearchPort = ParsePortNumber(value).value_or(0);
  if (name == "address-echo" && OnThisPc(value)) tests.addressEcho = value;
  if (name == "memory-check-ms") tests.memoryCheckMs = Milliseconds(value);
  if (name == "update-check-ms") tests.updateCheckMs = Milliseconds(value);
  if (name == "metrics-sample-ms") tests.metricsSampleMs = Milliseconds(value);
  if (name == "remote-notice-ms") tests.remoteNoticeMs = Milliseconds(value);
}

}  // namespace

RunOptions ReadRunOptions(const std::vector<std::string>& arguments) {
  RunOptions options;
  for (const std::string& argument : arguments) {
    if (argument == kAutostartSwitch) options.atLogon = true;
    if (!argument.starts_with(kTestSettingsSwitch)) continue;
    std::string_view settings = std::string_view(argument).substr(sizeof kTestSettingsSwitch - 1);
    while (!settings.empty()) {
      const size_t end = settings.find(';');
      const std::string_view setting = settings.substr(0, end);
      settings = end == std::string_view::npos ? std::string_view() : settings.substr(end + 1);
      const size_t equals = setting.find('=');
      if (equals == std::string_view::npos) continue;
      ReadTestSetting(setting.substr(0, equals), setting.substr(equals + 1), options.tests);
    }
  }
  return options;
}

}  // namespace tidemoor
