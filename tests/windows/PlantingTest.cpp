// The program runs as administrator: DLLs planted beside it under the names of system
// DLLs must never be used, not at start, not in the About window, not during a switch.
// Wine's own user32 imports version.dll, so under Wine a planted version.dll is always
// loaded at start; what shows that the program does not use it is its caption, which
// it builds from its version resource through version.dll's functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "tests/windows/E2eHarness.h"

namespace {

const char* const kPlanted[] = {"version.dll", "psapi.dll"};

using OwnerSearch = std::pair<HWND, HWND>;  // owner, the window found

BOOL CALLBACK FindOwned(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<OwnerSearch*>(p);
  if (GetWindow(h, GW_OWNER) == s->first && IsWindowVisible(h)) s->second = h;
  return s->second == nullptr;
}

// The visible top-level window that `owner` owns: a modal window it opened.
HWND OwnedWindow(HWND owner) {
  OwnerSearch search{owner, nullptr};
  EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(Planting, TheFixtureLeavesItsMarkWhenLoaded) {
  e2e::Scene scene("PlantingProbe");
  const std::string probe = scene.Path("probe.dll");
  ASSERT_TRUE(CopyFileA((e2e::FixtureDir() + "\\planted\\version.dll").c_str(), probe.c_str(), FALSE));
  HMODULE module = LoadLibraryA(probe.c_str());
  ASSERT_NE(nullptr, module);
  FreeLibrary(module);
  EXPECT_TRUE(Exists(probe + ".loaded"));
}

TEST(Planting, NoPlantedDllIsLoadedAtStartInTheAboutWindowOrDuringASwitch) {
  e2e::Scene scene("Planting");
  for (const char* dll : kPlanted)
    ASSERT_TRUE(CopyFileA((e2e::FixtureDir() + "\\planted\\" + dll).c_str(), scene.Path(dll).c_str(), FALSE));
  // Two installations of the stand-in, A active, each with a component to register.
  const std::string dirs[2] = {scene.AddInstallation("EEP A"), scene.AddInstallation("EEP B")};
  ASSERT_TRUE(e2e::SetRegString(HKEY_CLASSES_ROOT, e2e::kFullKey, "AppPath", dirs[0] + "\\eep.exe"));
  ASSERT_TRUE(e2e::WriteTextFile(scene.Path("EEP6003.ini"),
                                 "[Registry Keys]\r\nHKCR\\Software\\Software Untergrund\\EEXP=1\r\n"
                                 "[Register]\r\n{AppDir}\\comp_a.dll=1\r\n"
                                 "[Unregister]\r\n{AppDir}\\comp_a.dll=1\r\n"));
  std::string catalogue = "[Settings]\r\nCount=2\r\n";
  for (int i = 0; i < 2; ++i)
    catalogue += "[EEP_" + std::to_string(i + 1) + "]\r\nDescription=EEP " + "AB"[i] + "\r\nAppDir=" +
                 dirs[i] + "\r\nAppPath=" + dirs[i] + "\\eep.exe\r\nRegType=EEP6003\r\n";
  ASSERT_TRUE(e2e::WriteTextFile(scene.Path("Gleisora.ini"), catalogue));

  // CTest sets it: Wine then searches for these names as Windows does, beside the
  // program first, instead of taking its own builtin DLLs.
  char overrides[512] = "";
  GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  ASSERT_NE(nullptr, strstr(overrides, "version,psapi=n,b")) << "run it through CTest";
  e2e::App app(scene);
  ASSERT_TRUE(app.WaitForMain());
  ASSERT_EQ(2, app.RowCount());
  EXPECT_EQ("Gleisora v1.10", e2e::Text(app.Main()));

  ASSERT_TRUE(app.ClickRow(1));
  ASSERT_TRUE(app.PressKey(VK_SPACE));
  EXPECT_TRUE(e2e::WaitFor([&] {
    return app.LogText().find("Register: comp_a.dll...ok") != std::string::npos &&
           IsWindowEnabled(app.Button("Info"));
  })) << app.LogText();
  PostMessageA(app.Button("Info"), BM_CLICK, 0, 0);
  HWND about = nullptr;
  ASSERT_TRUE(e2e::WaitFor([&] { return (about = OwnedWindow(app.Main())) != nullptr; }));
  PostMessageA(about, WM_CLOSE, 0, 0);
  ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowEnabled(app.Main()) != FALSE; }));
  EXPECT_TRUE(app.Close());
  EXPECT_FALSE(Exists(scene.Path("psapi.dll.loaded")));
}

}  // namespace
