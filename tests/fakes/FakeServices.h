// Fakes of the process list, component libraries, shell and version resources, and
// the bundle of every fake as one platform.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/IniStore.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/Faults.h"

class FakeProcessApi : public plat::IProcessApi {
 public:
  struct Proc {
    std::uint32_t pid;
    std::string path;     // full executable path
    bool readable = true; // can be opened with query + read access
  };
  std::uint32_t platformId = 2;
  std::vector<Proc> processes;
  std::vector<std::uint32_t> enumBufferSizes;  // cb of every EnumProcessIds call

  void Add(const std::string& path, bool readable = true) {
    processes.push_back({static_cast<std::uint32_t>(processes.size() * 4 + 8), path, readable});
  }
  bool PlatformId(std::uint32_t& id) override { id = platformId; return true; }
  bool SnapshotExeFiles(std::vector<std::string>& exeFiles) override;
  bool EnumProcessIds(std::uint32_t* ids, std::uint32_t cb, std::uint32_t& needed) override;
  plat::ProcHandle Open(std::uint32_t access, std::uint32_t pid) override;
  bool FirstModule(plat::ProcHandle process, std::uint32_t count, std::uintptr_t& module) override;
  std::uint32_t ModuleFileName(plat::ProcHandle process, std::uintptr_t module, char* buf,
                               std::uint32_t size) override;
  std::string ImageName(std::uint32_t pid) override;
  void Close(plat::ProcHandle) override { ++closed; }
  int closed = 0;

 private:
  const Proc* ByPid(std::uint32_t pid) const;
};

class FakeLibraryApi : public plat::ILibraryApi {
 public:
  struct Library {
    // Entry name -> what it does; one that throws a RunResult ends the child that way.
    std::map<std::string, std::function<void()>> exports;
  };
  std::map<std::string, Library> libraries;  // by upper-case full path
  std::vector<std::string> calls;            // "path!entry" for each entry run
  std::uint32_t lastTimeoutMs = 0;
  int childrenStarted = 0;
  bool childRunning = false;

  RunResult RunInChild(const std::string& path, bool doRegister, std::uint32_t timeoutMs,
                       const Yield& yield) override;
  void EndChild(const Yield&) override { childRunning = false; }
};

class FakeShell : public plat::IShell {
 public:
  struct Call {
    std::string verb, file, params, dir;
    int show;
  };
  std::vector<Call> executed;
  std::vector<std::string> started;
  // Execute's answer (default: 42, or 2 when file is empty); a program starts when it
  // answers above 32 for the verb "start".
  std::function<std::intptr_t(const Call&)> result;
  std::string desktop = "C:\\Desktop";  // "": Windows names no desktop folder
  std::vector<std::string> links;       // each shortcut made: name|target|arguments|folder|icon
  std::optional<std::string> chosen;    // the file the user picks in the file dialog
  int notified = 0;                     // association changes announced

  std::intptr_t Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                        const std::string& params, const std::string& dir, int show) override;
  bool StartProgram(const std::string& path) override;
  void NotifyAssociationsChanged() override { ++notified; }
  std::string CreateDesktopShortcut(const plat::Shortcut& l) override {
    links.push_back(l.name + "|" + l.target + "|" + l.arguments + "|" + l.workingDir + "|" + l.iconPath);
    return desktop.empty() ? "" : desktop + "\\" + l.name + ".lnk";
  }
  std::optional<std::string> ChooseFile(const std::string&, const std::string&, const std::string&) override {
    return chosen;
  }
};

// Version resources of fake files, described by their items.
struct VersionSpec {
  std::uint16_t fileVersion[4] = {1, 0, 0, 0};
  std::uint16_t productVersion[4] = {1, 0, 0, 0};
  std::uint32_t fileFlags = 0, fileOS = 0x40004, fileType = 1, fileSubtype = 0;
  std::uint16_t language = 0x0407, codePage = 0x04E4;
  bool translation = true;
  std::map<std::string, std::string> strings;  // entry name -> value; no table when empty
  // Further string tables: (language, code page) -> entries.
  std::map<std::pair<std::uint16_t, std::uint16_t>, std::map<std::string, std::string>> extraTables;
};

// Version resources of fake files, answered from a table of sub-block paths.
class FakeVersionApi : public plat::IVersionApi {
 public:
  explicit FakeVersionApi(FakeFileSystem& files) : files_(files) {}
  // Gives the file at `path` (created in the file system if missing) a version resource.
  void SetVersion(const std::string& path, const VersionSpec& vi);
  // Replaces one item's bytes as the query hands them out ("\" is the fixed record).
  void SetItem(const std::string& path, const std::string& subBlock, const std::string& bytes);

  std::uint32_t FullPathName(const std::string& path, std::uint32_t bufLen, char* buf) override;
  std::uint32_t InfoSize(const std::string& path) override;
  bool InfoData(const std::string& path, std::uint32_t size, void* data) override;
  bool QueryValue(const void* block, const std::string& subBlock, const void** out,
                  std::uint32_t* len) override;
  std::uint32_t LanguageName(std::uint32_t lang, char* buf, std::uint32_t len) override;

  // Display names by language identifier; others have none.
  std::map<std::uint32_t, std::string> languageNames = {
      {0x0000, "Language Neutral"}, {0x0407, "German (Germany)"}, {0x0409, "English (United States)"}};

 private:
  using Items = std::map<std::string, std::string>;  // upper-case sub-block -> bytes
  FakeFileSystem& files_;
  std::map<std::string, Items> resources_;  // by upper-case path
};

// Every fake, bundled as the platform the logic runs on. The registry and the files
// are reached through the fault switch, which also counts every call.
struct FakePlatform {
  FakeRegistry registry;
  FakeFileSystem files;
  fault::Registry registryFaults{registry, registry};
  fault::Files fileFaults{files};
  ini::IniStore ini{fileFaults};
  FakeVersionApi version{files};
  FakeProcessApi process;
  FakeLibraryApi library;
  FakeShell shell;
  plat::Platform platform;

  explicit FakePlatform(const std::string& appDir = "C:\\Gleisora");
};
