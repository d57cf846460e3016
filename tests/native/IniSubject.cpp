// The INI engine on the fake file system, for the INI contract tests.
#include "support/IniStore.h"
#include "tests/contract/FileContract.h"
#include "tests/contract/IniContract.h"
#include "tests/fakes/FakeFileSystem.h"

namespace {
class FakeFileSubject : public IniSubject {
 public:
  FakeFileSubject() { files_.AddDir("C:\\Contract"); }
  std::string Name() const override { return "engine on the fake file system"; }
  void PutFile(const std::optional<std::string>& bytes) override {
    if (bytes) files_.AddFile(kPath, *bytes);
    else files_.Remove(kPath);
  }
  std::optional<std::string> FileBytes() override {
    return files_.Exists(kPath) ? std::optional(files_.Content(kPath)) : std::nullopt;
  }
  std::string Get(const ini::Text& section, const ini::Text& key, const ini::Text& def,
                  std::uint32_t size) override {
    return store_.GetString(section, key, def, size, kPath);
  }
  std::int32_t Write(const ini::Text& section, const ini::Text& key, const ini::Text& value) override {
    return store_.WriteString(section, key, value, kPath);
  }

 private:
  static constexpr const char* kPath = "C:\\Contract\\test.ini";
  FakeFileSystem files_;
  ini::IniStore store_{files_};
};
}  // namespace

std::vector<std::unique_ptr<IniSubject>> MakeIniSubjects() {
  std::vector<std::unique_ptr<IniSubject>> v;
  v.push_back(std::make_unique<FakeFileSubject>());
  return v;
}

FileSubject MakeFileSubject() {
  auto fake = std::make_shared<FakeFileSystem>();
  fake->AddDir("C:\\Contract");
  return {fake, "C:\\Contract"};
}
