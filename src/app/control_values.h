#pragma once
// The main window's controls as plain values, without a window: the settings are loaded into
// these before the window exists, and tests use them in place of the window.

#include <map>
#include <string>

#include "app/main_controls.h"

namespace tidemoor {

class ControlValues : public MainControls {
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
  void SetTimerInterval(MainControl timer, unsigned milliseconds) override {
    timers[timer] = milliseconds;
  }
  void SetTitle(std::string_view text) override { title = std::string(text); }

  // Puts every value held here into the real controls.
  void ShowIn(MainControls& controls) const {
    for (const auto& [control, text] : texts) controls.SetText(control, text);
    for (const auto& [control, value] : ticked) controls.SetTicked(control, value);
    controls.SetTitle(title);
  }

  std::map<MainControl, std::string> texts;
  std::map<MainControl, bool> ticked;
  std::map<MainControl, unsigned> timers;
  std::string title;
};

}  // namespace tidemoor
