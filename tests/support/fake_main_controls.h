#pragma once
// The main window's controls without a window, for native tests of the operations that show
// things on them.

#include <map>
#include <optional>
#include <string>

#include "app/main_controls.h"

namespace tidemoor::testing {

class FakeMainControls : public MainControls {
 public:
  std::string Text(MainControl control) const override {
    auto it = texts.find(control);
    return it == texts.end() ? std::string() : it->second;
  }
  void SetText(MainControl control, std::string_view text) override {
    texts[control] = std::string(text);
  }
  bool IsTicked(MainControl control) const override {
    auto it = ticked.find(control);
    return it != ticked.end() && it->second;
  }
  void SetTicked(MainControl control, bool value) override { ticked[control] = value; }
  void ShowProgress(MainControl bar, std::optional<int> percent) override {
    progress[bar] = percent;
  }
  void SetTimerInterval(MainControl timer, unsigned milliseconds) override {
    timers[timer] = milliseconds;
  }
  void SetTitle(std::string_view text) override { title = std::string(text); }

  std::map<MainControl, std::string> texts;
  std::map<MainControl, bool> ticked;
  std::map<MainControl, std::optional<int>> progress;
  std::map<MainControl, unsigned> timers;
  std::string title;
};

}  // namespace tidemoor::testing
