// Subjects of the INI contract tests under Windows: the real profile functions, and
// the INI engine on the real file system, each on its own file in the temp folder.
#include <windows.h>

#include "platform/win32/FileSystemWin32.h"
#include "tests/contract/IniContract.h"
#include "tests/windows/E2eHarness.h"

namespace {

std::string TestFile(const char* name) {
  char dir[MAX_PATH];
  const std::string folder = std::string(dir, GetTempPathA(MAX_PATH, dir)) + "gleisora-ini-contract";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\" + name;
}

const char* P(const ini::Text& t) { return t ? t->c_str() : nullptr; }

class RealFileSubject : public IniSubject {
 public:
  explicit RealFileSubject(const char* name) : path_(TestFile(name)) {}
  ~RealFileSubject() override { DeleteFileA(path_.c_str()); }
  void PutFile(const std::optional<std::string>& bytes) override {
    DeleteFileA(path_.c_str());
    if (bytes) e2e::WriteTextFile(path_, *bytes);
  }
  std::optional<std::string> FileBytes() override { return files_.ReadAll(path_); }

 protected:
  std::string path_;
  FileSystemWin32 files_;
};

class ProfileFunctions : public RealFileSubject {
 public:
  ProfileFunctions() : RealFileSubject("profile.ini") {}
  std::string Name() const override { return "Windows profile functions"; }
  bool RewritesWholeFile() const override { return true; }
  void PutFile(const std::optional<std::string>& bytes) override {
    RealFileSubject::PutFile(bytes);
    Forget();
  }
  Read Get(const ini::Text& section, const ini::Text& key, const ini::Text& def,
           std::uint32_t size) override {
    Forget();
    std::string buf(size + 16, '#');
    DWORD n = GetPrivateProfileStringA(P(section), P(key), P(def), buf.data(), size, path_.c_str());
    return {buf.substr(0, n), n < size && buf[n] == '\0'};
  }
  std::int32_t Write(const ini::Text& section, const ini::Text& key,
                     const ini::Text& value) override {
    Forget();
    BOOL ok = WritePrivateProfileStringA(P(section), P(key), P(value), path_.c_str());
    Forget();
    return ok;
  }

 private:
  // Windows reads the file anew on every call; Wine keeps a parse in memory, which
  // this drops so that both behave alike.
  void Forget() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str()); }
};

class EngineOnRealFiles : public RealFileSubject {
 public:
  EngineOnRealFiles() : RealFileSubject("engine.ini") {}
  std::string Name() const override { return "engine on the real file system"; }
  Read Get(const ini::Text& section, const ini::Text& key, const ini::Text& def,
           std::uint32_t size) override {
    return {ini::GetString(files_, section, key, def, size, path_), true};
  }
  std::int32_t Write(const ini::Text& section, const ini::Text& key,
                     const ini::Text& value) override {
    return ini::WriteString(files_, section, key, value, path_);
  }
};

}  // namespace

std::vector<std::unique_ptr<IniSubject>> MakeIniSubjects() {
  std::vector<std::unique_ptr<IniSubject>> v;
  v.push_back(std::make_unique<ProfileFunctions>());
  v.push_back(std::make_unique<EngineOnRealFiles>());
  return v;
}
