// End-to-end harness: the real Gleisora.exe in the Wine prefix, driven as a user would.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace e2e {

inline const char kFullKey[] = "Software\\Software Untergrund\\EEXP";  // under HKCR
inline const char kMarkers[] = "Software\\Gleisora Tests\\Components";  // the test component's

std::string FixtureDir();  // built fixtures

// Polls until `done` holds; the timeout only guards against hanging.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 60000);
bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);  // empty when missing
std::string IniRead(const std::string& path, const std::string& section, const std::string& key);
std::optional<std::string> RegString(HKEY root, const std::string& path, const std::string& name);
bool SetRegString(HKEY root, const std::string& path, const std::string& name,
                  const std::string& value);
std::string Text(HWND h);  // a window's text, also in another process
// A message box saying `text`, of any process; nullptr once `alive` fails first.
HWND WaitForBox(const std::string& text, const std::function<bool()>& alive = [] { return true; });
enum class Mouse { Left, Double, Right };
bool Click(POINT at, Mouse how = Mouse::Left);  // at a screen point

// A fresh program folder C:\GleisoraE2E\<name> with Gleisora.exe and DEFAULT.ini, and
// a registry without installations; stand-in simulators are ended on leaving.
class Scene {
 public:
  explicit Scene(const std::string& name);
  ~Scene();
  std::string Path(const std::string& file) const { return dir_ + "\\" + file; }
  std::string AddInstallation(const std::string& name) const;  // stand-in and component

 private:
  std::string dir_;
};

// One running Gleisora.exe; closed (or ended) on destruction.
class App {
 public:
  explicit App(const Scene& scene);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  bool Running() const;
  HWND Main() const;         // shown or not yet
  bool WaitForMain() const;  // shown and idle
  HWND Button(const std::string& caption) const;
  std::string LogText() const;
  int RowCount() const;
  std::string RowText(int row, int sub = 0) const;
  bool RowChecked(int row) const;
  bool ClickRow(int row, Mouse how = Mouse::Left);  // on the row's text
  bool PressKey(WORD key);
  HWND WaitForBox(const std::string& text) const;  // a message box saying `text`
  static bool Answer(HWND box, const std::string& button);  // as labelled, "&Yes"
  bool Close();  // true when the program then ends

 private:
  HWND List() const;
  PROCESS_INFORMATION pi_{};
};

}  // namespace e2e
