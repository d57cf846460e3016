// The activity log: one line per step ("text..." then "ok" or "ERROR: n"), header
// blocks per operation, and the run-time error a step raised since the last line.
#pragma once
#include <string>

#include "support/Errors.h"

// Where the log's text goes: the log box, and the message loop that keeps the
// window painted while an operation runs.
class ILogSink {
 public:
  virtual ~ILogSink() = default;
  virtual void ClearLog() = 0;
  virtual void AppendLog(const std::string& text) = 0;
  virtual void Pump() = 0;
};

class ActivityLog {
 public:
  explicit ActivityLog(ILogSink& sink) : sink_(sink) {}

  void Clear() { sink_.ClearLog(); }
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
  void Forget() { pending_ = 0; }

 private:
  ILogSink& sink_;
  long pending_ = 0;
};
