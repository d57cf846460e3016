#include "app/win/SingleInstance.h"

namespace {
// Per session: the registry and the files are the same for every copy of the program.
const char kMutexName[] = "Gleisora.OneAtATime";
constexpr ULONG_PTR kTag = 0x474C4331;  // marks our WM_COPYDATA among others
constexpr DWORD kMaxLine = 32768;       // the longest command line Windows passes
}  // namespace

SingleInstance::SingleInstance() : mutex_(CreateMutexA(nullptr, FALSE, kMutexName)) {
  // A mutex that exists but may not be opened belongs to another Gleisora as well.
  const DWORD error = GetLastError();
  first_ = mutex_ ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

SingleInstance::~SingleInstance() {
  if (mutex_) CloseHandle(mutex_);
}

LRESULT SingleInstance::HandOver(const char* windowClass, const std::string& commandLine) {
  // The running program may still be creating its window.
  HWND target = nullptr;
  for (int wait = 0; wait < 100 && !(target = FindWindowA(windowClass, nullptr)); ++wait)
    Sleep(100);
  if (!target) return 0;
  AllowSetForegroundWindow(ASFW_ANY);  // so that it may come to the front
  COPYDATASTRUCT data{kTag, static_cast<DWORD>(commandLine.size()),
                      const_cast<char*>(commandLine.data())};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                           SMTO_ABORTIFHUNG, 10000, &answer))
    return 0;
  return static_cast<LRESULT>(answer);
}

std::optional<std::string> SingleInstance::Received(LPARAM lp) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
  if (!data || data->dwData != kTag || data->cbData > kMaxLine || (data->cbData && !data->lpData))
    return std::nullopt;
  return std::string(static_cast<const char*>(data->lpData), data->cbData);
}
