// One switch for the faults a disk and a registry show only now and then. Every call
// asks one rule, which sees the operation, its path and how many calls of that
// operation came before, and may fail the call, refuse it (it reports success and does
// nothing, as a write to a file another program holds open can), or alter what it
// carries: the path or name it goes to, the bytes it writes. It wraps the fakes and
// the real services alike.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace fault {

enum class Act { Pass, Fail, Refuse };

struct Call {
  Call(std::string o, std::string p, std::string nm = "", std::string* d = nullptr)
      : op(std::move(o)), path(std::move(p)), name(std::move(nm)), data(d) {}
  std::string op;    // the interface's function: "ReadAll", "WriteAllAtomic", "SetValue", ...
  std::string path;  // the file, or the key as "HKCU\Software\..."
  std::string name;  // the value, subkey or machine the call names, if any
  int n = 0;         // 1 for the first call of `op`, and so on
  std::string* data;  // the bytes a write or SetValue hands on
};
using Rule = std::function<Act(Call&)>;

// Fails (or refuses) the n-th call of `op`; n = 0: every call.
Rule Nth(const std::string& op, int n, Act act = Act::Fail);

// Counts the calls by operation; the wrappers below share it.
struct Switch {
  Rule rule;
  std::map<std::string, int> calls;
  std::shared_ptr<void> keep;  // the wrapped service, when the wrapper owns it
  Act Ask(Call& c);

 protected:
  template <class R, class F>
  R Run(Call c, R failed, R refused, F&& call);
};

// Failed calls answer as a missing file would; refused changes as if done.
class Files : public plat::IFileSystem, public Switch {
 public:
  explicit Files(plat::IFileSystem& inner, Rule r = {}) : in_(inner) { rule = std::move(r); }
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool WriteAllAtomic(const std::string& path, const std::string& data) override;
  plat::FileStamp Stamp(const std::string& path) override;
  std::optional<plat::FoundEntry> FindFirst(const std::string& pattern) override;
  bool SetCurrentDir(const std::string& dir) override;
  bool SetCurrentDrive(char letter) override { return in_.SetCurrentDrive(letter); }
  std::string CurrentDir() override { return in_.CurrentDir(); }
  bool CreateDir(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& pattern) override;
  plat::LocalTime Now() override { return in_.Now(); }

 private:
  plat::IFileSystem& in_;
};

// Failed calls give ERROR_ACCESS_DENIED (an expansion 0); refused changes ERROR_SUCCESS.
class Registry : public plat::IRegistryApi, public plat::IEnvironment, public Switch {
 public:
  Registry(plat::IRegistryApi& inner, plat::IEnvironment& env, Rule r = {}) : in_(inner), env_(env) {
    rule = std::move(r);
  }
  long OpenKey(plat::RegKey parent, const std::string& subKey, std::uint32_t access,
               plat::RegKey& out) override;
  long CreateKey(plat::RegKey parent, const std::string& subKey, std::uint32_t access,
                 plat::RegKey& out) override;
  long CloseKey(plat::RegKey key) override;
  long QueryValue(plat::RegKey key, const std::string& name, std::uint32_t* type,
                  std::uint8_t* data, std::uint32_t* size) override;
  long SetValue(plat::RegKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override;
  long DeleteValue(plat::RegKey key, const std::string& name) override;
  long DeleteKey(plat::RegKey parent, const std::string& subKey) override;
  long EnumValue(plat::RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) override;
  long EnumKey(plat::RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
  long QueryInfoKey(plat::RegKey key, std::uint32_t* maxValueNameLen) override;
  long ConnectRegistry(const std::string& machine, plat::RegKey root, plat::RegKey& out) override;
  long KeyName(plat::RegKey key, std::string& name) override { return in_.KeyName(key, name); }
  long FlushKey(plat::RegKey key) override;
  std::uint32_t ExpandStrings(const std::string& src, char* dst, std::uint32_t size) override;

 private:
  std::string PathOf(plat::RegKey key) const;
  long Open(const char* op, plat::RegKey parent, const std::string& sub, plat::RegKey& out,
            const std::function<long(const std::string&)>& call);
  plat::IRegistryApi& in_;
  plat::IEnvironment& env_;
  std::map<plat::RegKey, std::string> open_;  // key -> its path, while open
};

}  // namespace fault
