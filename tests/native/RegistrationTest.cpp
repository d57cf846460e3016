// Registering one component, and the "Register"/"Unregister" lists of a definition file.
#include <gtest/gtest.h>

#include <optional>

#include "switching/Operations.h"
#include "switching/mdlRegister.h"
#include "tests/native/Rig.h"

namespace {
struct Registration : ::testing::Test, Rig {
  Operations switching{ctx};
  void Register(bool doRegister) {
    switching.RegisterComponents(ReadInstallation(fp.platform, "EEP_1"), doRegister);
  }
  Registration() {
    File("Gleisora.ini", "[EEP_1]\r\nAppDir=C:\\EEP6\r\n");
    for (const char* name : {"a.dll", "b.dll", "noentry.dll"}) AddComponent("C:\\EEP6", name);
    AddComponent("C:\\Other", "c.dll");
    fp.library.libraries.erase("C:\\EEP6\\NOENTRY.DLL");
    fp.library.libraries["C:\\EEP6\\NOENTRY.DLL"];  // a library without entry points
    fp.files.AddFile("C:\\EEP6\\text.dll", "not a library");
  }
  void AddComponent(const std::string& dir, const std::string& name) {
    fp.files.AddFile(dir + "\\" + name, "MZ");
    std::string key = dir + "\\" + name;
    for (auto& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    fp.library.libraries[key].exports["DllRegisterServer"] = [] {};
    fp.library.libraries[key].exports["DllUnregisterServer"] = [] {};
  }
};

}  // namespace

TEST_F(Registration, ResultCodesOfOneComponent) {
  auto& lib = fp.library;
  ComponentChild child(lib, [] {});
  EXPECT_EQ(0, child.Register("C:\\EEP6\\a.dll", true));
  EXPECT_EQ(0, child.Register("C:\\EEP6\\a.dll", false));
  EXPECT_EQ((std::vector<std::string>{"C:\\EEP6\\A.DLL!DllRegisterServer",
                                      "C:\\EEP6\\A.DLL!DllUnregisterServer"}),
            lib.calls);
  EXPECT_EQ(60000u, lib.lastTimeoutMs);
  EXPECT_EQ(-2, child.Register("C:\\EEP6\\text.dll", true));
  EXPECT_EQ(-3, child.Register("C:\\EEP6\\noentry.dll", true));
  using Run = plat::ILibraryApi::RunResult;
  const std::pair<Run, int> ends[] = {
      {Run::NoProcess, -4}, {Run::WaitFailed, -5}, {Run::Crashed, -6}, {Run::TimedOut, -7}};
  for (const auto& [outcome, code] : ends) {
    lib.libraries["C:\\EEP6\\A.DLL"].exports["DllRegisterServer"] = [end = outcome] { throw end; };
    EXPECT_EQ(code, child.Register("C:\\EEP6\\a.dll", true));
  }
}

TEST_F(Registration, ListLogsEachEnabledLineFromItsOwnFolder) {
  File("DEFAULT.ini",
       "[Register]\r\n{AppDir}\\a.dll=1\r\n{AppDir}\\b.dll=0\r\n{AppDir}\\missing.dll=TRUE\r\n"
       "{AppDir}\\noentry.dll=-1\r\n{AppDir}\\text.dll=false\r\n{appdir}\\b.dll=0\r\n"
       "C:\\Other\\c.dll=2\r\n"
       "[Unregister]\r\n{AppDir}\\b.dll=1\r\n");
  Register(true);
  EXPECT_EQ((std::vector<std::string>{"Register: a.dll...ok", "Register: missing.dll...ERROR: -1",
                                      "Register: noentry.dll...ERROR: -3", "Register: c.dll...ok"}),
            LogLines());
  EXPECT_EQ((std::vector<std::string>{"C:\\EEP6\\A.DLL!DllRegisterServer",
                                      "C:\\OTHER\\C.DLL!DllRegisterServer"}),
            fp.library.calls);
  EXPECT_EQ("C:\\Other", fp.files.CurrentDir());
  EXPECT_TRUE(boxes.empty());

  logText.clear();
  Register(false);
  EXPECT_EQ(std::vector<std::string>{"Unregister: b.dll...ok"}, LogLines());
  EXPECT_EQ("C:\\EEP6\\B.DLL!DllUnregisterServer", fp.library.calls.back());
}

// One child for the list, a fresh one after a component that failed in it (-2 is no
// failure of the child: nothing was loaded), and none left once the list is done.
TEST_F(Registration, OneChildPerListAndAFreshOneAfterEachFailure) {
  File("DEFAULT.ini",
       "[Register]\r\n{AppDir}\\a.dll=1\r\n{AppDir}\\noentry.dll=1\r\n{AppDir}\\missing.dll=1\r\n"
       "{AppDir}\\text.dll=1\r\n{AppDir}\\b.dll=1\r\n"
       "[Unregister]\r\n{AppDir}\\a.dll=1\r\n{AppDir}\\b.dll=1\r\n");
  using Run = plat::ILibraryApi::RunResult;
  const struct {
    bool doRegister;
    std::optional<Run> outcome;
    int children;
  } calls[] = {{true, {}, 2}, {false, {}, 1}, {false, Run::Crashed, 2}, {false, Run::TimedOut, 2}};
  for (const auto& call : calls) {
    fp.library.childrenStarted = 0;
    for (auto& [path, lib] : fp.library.libraries)
      for (auto& [name, entry] : lib.exports)
        if (call.outcome) entry = [end = *call.outcome] { throw end; };
    Register(call.doRegister);
    EXPECT_EQ(call.children, fp.library.childrenStarted) << call.doRegister;
    EXPECT_FALSE(fp.library.childRunning);
  }
}

TEST_F(Registration, RunTimeErrorShowsMessageAndEndsList) {
  const std::pair<std::string, std::string> cases[] = {
      {"{AppDir}\\b.dll=yes", "Type mismatch\r\n(Runtime-Error: 13)"},
      {"{AppDir}\\b.dll=", "Type mismatch\r\n(Runtime-Error: 13)"},
      {"{AppDir}\\NoDir\\b.dll=1", "Path not found\r\n(Runtime-Error: 76)"},
      {"Q:\\b.dll=1", "Device unavailable\r\n(Runtime-Error: 68)"},
  };
  for (const auto& [line, message] : cases) {
    File("DEFAULT.ini", "[Register]\r\n{AppDir}\\a.dll=1\r\n" + line + "\r\n{AppDir}\\c.dll=1\r\n");
    logText.clear();
    boxes.clear();
    Register(true);
    EXPECT_EQ(std::vector<std::string>{"Register: a.dll...ok"}, LogLines()) << line;
    ASSERT_EQ(1u, boxes.size()) << line;
    EXPECT_EQ(message, boxes[0].text);
    EXPECT_EQ(mb::kOk | mb::kIconStop, boxes[0].style);
  }
}

TEST_F(Registration, UnknownDefinitionFileRegistersNothing) {
  File("Gleisora.ini", "[EEP_1]\r\nRegType=NOSUCH\r\nAppDir=C:\\EEP6\r\n");
  File("DEFAULT.ini", "[Register]\r\n{AppDir}\\a.dll=1\r\n");
  Register(true);
  EXPECT_EQ("", logText);
  EXPECT_TRUE(fp.library.calls.empty());
}
