#pragma once
// A timer that ticks again and again between the window messages, until it is stopped or put away.

#include <windows.h>

#include <chrono>
#include <functional>

namespace tidemoor {

class Ticker {
 public:
  Ticker();
  ~Ticker();  // stops it; a tick never runs after
  Ticker(const Ticker&) = delete;
  Ticker& operator=(const Ticker&) = delete;

  // Runs tick every period, between window messages, until stopped or re-armed; a period of 0
  // stops it. Re-arming replaces the period and the function.
  void Every(std::chrono::milliseconds period, std::function<void()> tick);
  void Stop();
  bool Running() const { return static_cast<bool>(tick_); }

 private:
  static LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;  // message-only
  std::function<void()> tick_;
};

}  // namespace tidemoor
