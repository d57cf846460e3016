#include "support/ActivityLog.h"

namespace {
const char kSeparator[] =
    "================================================================================";
const char kCrLf[] = "\r\n";
}  // namespace

void ActivityLog::LogAction(const std::string& Text) {
  action_ = Text;
  sink_.append(Text + "...");
  sink_.pump();
}

void ActivityLog::LogResult(long Code) {
  if (Code != 0) {
    const auto colon = action_.find(": ");
    failed_ = colon == std::string::npos ? action_ : action_.substr(colon + 2);
  }
  sink_.append((Code != 0 ? "ERROR: " + std::to_string(Code) : std::string("ok")) + kCrLf);
  pending_ = 0;
  sink_.pump();
}

void ActivityLog::Header(const std::string& word, const std::string& description,
                         const std::string& dir) {
  std::string block = kSeparator;
  block += kCrLf;
  block += word + ": " + description + kCrLf;
  block += "in " + dir + kCrLf;
  block += kSeparator;
  block += kCrLf;
  sink_.append(block);
}
