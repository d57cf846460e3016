// The activity log: one line per step ("text..." then "ok" or "ERROR: n"), header
// blocks per operation, and the run-time error a step raised since the last line.
#pragma once
#include <functional>
#include <string>

#include "support/Errors.h"

// Where the log's text goes: the log box, and the message loop that keeps the
// window painted while an operation runs.
struct LogSink {
  std::function<void()> clear;
  std::function<void(const std::string&)> append;
  std::function<void()> pump;
};

class ActivityLog {
 public:
  explicit ActivityLog(LogSink sink) : sink_(std::move(sink)) {}

  void Clear() {
    failed_.clear();
    sink_.clear();
  }
  void LogAction(const std::string& Text);
  void LogResult(long Code);
  // LogResult with the error raised since the last line (0 = none).
  void LogPending() { LogResult(pending_); }
  // Separators, the operation's word with the entry's description, and its folder.
  void Header(const std::string& word, const std::string& description, const std::string& dir);

  // Runs one step; a run-time error it raises is remembered for the next line.
  template <class F>
  void Resume(F&& step) {
    if (long n = Attempt(step)) pending_ = n;
  }
  void Raise(long number) { pending_ = number; }
  // Keeps the window served during a long step that writes no line: only while an
  // operation asked for it (the window's busy frame). Adding or removing an entry
  // runs outside one and never lets another click in.
  void YieldToWindow() {
    if (yielding_) sink_.pump();
  }
  void AllowYields(bool on) { yielding_ = on; }

  // What the last step that failed worked on (the text after "Action: "), for a
  // message that names it; "" when none failed yet.
  const std::string& LastFailure() const { return failed_; }

 private:
  LogSink sink_;
  long pending_ = 0;
  std::string action_, failed_;
  bool yielding_ = false;
};
