#pragma once
// Lists the subdirectories of a directory. Files are never listed. Between entries the waiting
// window messages are let through, so a long listing does not freeze the tool, and other
// handlers may run in between.

#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

// Appends the directories below path (with or without a trailing backslash) to output, in the
// order the file system gives them, "." and ".." left out: each as path + "\" + name, or as the
// name alone. Recursive lists all of one level first, then what lies below each of them in turn.
// Returns how many were appended; a path that does not exist or cannot be read gives 0.
int ListDirectories(std::string_view path, std::vector<std::string>& output,
                    bool withFullPath = true, bool recursive = false);

bool HasSubdirectories(std::string_view path);

// Dispatches the messages waiting in this thread's queue and returns. A quit request is put
// back, so the message loop that owns it still ends.
void ProcessWaitingMessages();

// For loops over many entries: lets the waiting messages through at the first call and then at
// most every few milliseconds. Asking for messages costs a round trip to the window system each
// time, which would otherwise take a good part of a listing of thousands of entries, while the
// windows stay just as responsive.
class MessageBreaks {
 public:
  void Take();

 private:
  unsigned long long lastBreak_ = 0;
  bool taken_ = false;
};

}  // namespace tidemoor
