#pragma once
// Why a call to the system failed, kept with the failure so the user and the event log learn the
// cause and not just that something went wrong: the error code and the sentence Windows has for
// it, in the language Windows speaks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tidemoor {

struct SystemError {
  uint32_t code = 0;  // a Win32 error code, or an HRESULT (its top bit set)
  std::string text;   // Windows' own sentence, without its line break
};

// "拒绝访问。 (0x80070005)": Windows' words, then the number someone searching for help needs, a
// Win32 code as the HRESULT it becomes (HRESULT_FROM_WIN32), an HRESULT as itself. No number for
// code 0.
std::string CauseText(const SystemError& error);

// "message (cause)": the message as it is, a blank, then the cause in brackets. A failure whose
// cause is not known (no text) leaves the message as it is.
std::string WithCause(std::string_view message, const SystemError& error);

// The outcome of a call that can fail: true when it succeeded, otherwise what went wrong.
class Outcome {
 public:
  Outcome() = default;
  // Implicit, so a failing call returns its SystemError as it is.
  Outcome(SystemError error) : error_(std::move(error)) {}
  explicit operator bool() const { return !error_; }
  // Only for a failed outcome.
  const SystemError& Error() const { return *error_; }

 private:
  std::optional<SystemError> error_;
};

}  // namespace tidemoor
