// Subjects of the INI contract tests under Windows: the real profile functions, and
// the INI engine on the real file system, each on its own file in the temp folder.
#include <windows.h>

#include "platform/win32/FileSystemWin32.h"
#include "support/IniStore.h"
#include "tests/contract/IniContract.h"

namespace {

const char* P(const ini::Text& t) { return t ? t->c_str() : nullptr; }

template <bool kReal>
class Subject : public IniSubject {
 public:
  Subject() {
    char dir[MAX_PATH];
    path_ = std::string(dir, GetTempPathA(MAX_PATH, dir)) + (kReal ? "gleisora-profile.ini" : "gleisora-engine.ini");
  }
  ~Subject() override { DeleteFileA(path_.c_str()); }
  std::string Name() const override { return kReal ? "Windows profile functions" : "engine on real files"; }
  void PutFile(const std::optional<std::string>& bytes) override {
    DeleteFileA(path_.c_str());
    if (bytes) files_.WriteAllAtomic(path_, *bytes);
    Forget();
  }
  std::optional<std::string> FileBytes() override { return files_.ReadAll(path_); }
  std::string Get(const ini::Text& section, const ini::Text& key, const ini::Text& def,
                  std::uint32_t size) override {
    if (!kReal) return store_.GetString(section, key, def, size, path_);
    Forget();
    std::string buf(size + 16, '#');
    DWORD n = GetPrivateProfileStringA(P(section), P(key), P(def), buf.data(), size, path_.c_str());
    return n < size && buf[n] == '\0' ? buf.substr(0, n) : "<unterminated>";
  }
  std::int32_t Write(const ini::Text& section, const ini::Text& key, const ini::Text& value) override {
    if (!kReal) return store_.WriteString(section, key, value, path_);
    Forget();
    const BOOL ok = WritePrivateProfileStringA(P(section), P(key), P(value), path_.c_str());
    Forget();
    return ok;
  }

 private:
  // Windows reads the file anew on every call; Wine keeps a parse in memory, which
  // this drops so that both behave alike.
  void Forget() {
    if (kReal) WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
  }
  std::string path_;
  FileSystemWin32 files_;
  ini::IniStore store_{files_};
};

}  // namespace

std::vector<std::unique_ptr<IniSubject>> MakeIniSubjects() {
  std::vector<std::unique_ptr<IniSubject>> v;
  v.push_back(std::make_unique<Subject<true>>());
  v.push_back(std::make_unique<Subject<false>>());
  return v;
}
