// End-to-end harness: runs the real Gleisora.exe from a fresh program folder in the
// Wine prefix and drives it from outside as a user would.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

inline const char kFullKey[] = "Software\\Software Untergrund\\EEXP";
inline const char kDemoKey[] = "Software\\Software Untergrund Demo\\EEXP";
inline const char kMarkers[] = "Software\\Gleisora Tests\\Components";  // test components

std::string ExeDir();      // where the build put Gleisora.exe
std::string FixtureDir();  // built fixtures
std::string SourceDir();   // the source tree

// Polls until `done` holds; the timeout only guards against hanging.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000);
int Px(long twips);  // at the display's DPI

bool WriteTextFile(const std::string& path, const std::string& text);
std::optional<std::string> ReadTextFile(const std::string& path);
std::string IniRead(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& deflt = "");
bool IniWrite(const std::string& path, const std::string& section, const std::string& key,
              const std::string& value);

bool SetRegistryString(HKEY root, const std::string& path, const std::string& name,
                       const std::string& value);
std::optional<std::string> RegistryString(HKEY root, const std::string& path,
                                          const std::string& name);
void DeleteRegistryTree(HKEY root, const std::string& path);
void CloseSimulators();  // every running stand-in simulator

// A fresh program folder C:\GleisoraE2E\<name> holding Gleisora.exe and DEFAULT.ini.
class ProgramFolder {
 public:
  explicit ProgramFolder(const std::string& name);
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  bool Ready() const { return ready_; }
  const std::string& Dir() const { return dir_; }
  std::string Path(const std::string& file) const { return dir_ + "\\" + file; }
  std::string Exe() const { return Path("Gleisora.exe"); }
  std::string LanguageFile() const { return Path("Gleisora.lng"); }
  std::string LauncherIni() const { return Path("Gleisora.ini"); }

 private:
  std::string dir_;
  bool ready_ = false;
};

struct ListRow {
  std::string text, sub1, sub2;
  bool checked = false;
  bool selected = false;
};

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::string title, text;
  std::vector<std::string> buttons;
};

// One running Gleisora.exe; closed (or terminated) on destruction.
class App {
 public:
  App() = default;
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Waits for the main window or, while still loading, a message box (answer it,
  // then call WaitForMain).
  bool Start(const ProgramFolder& folder);
  bool WaitForMain(int timeoutMs = 20000);
  HWND Main() const { return main_; }
  bool Running() const;

  HWND Button(const std::string& caption) const;  // nullptr when none has this caption
  std::vector<HWND> Buttons() const;
  HWND List() const;
  HWND Log() const;
  static std::string Text(HWND h);
  static bool Enabled(HWND h) { return h && IsWindowEnabled(h); }
  std::string Caption() const { return Text(main_); }
  std::string LogText() const { return Text(Log()); }
  int ClientHeight() const;
  static void Click(HWND button);  // does not wait: a modal box may follow

  int RowCount() const;
  ListRow Row(int row) const;
  std::vector<ListRow> Rows() const;
  std::vector<std::string> ColumnTexts() const;
  bool ToggleCheck(int row);  // a mouse click on the row's check box
  bool DoubleClickRow(int row);

  // A rectangle a window fills in for an index (LVM_GETITEMRECT, TCM_GETITEMRECT);
  // `left` is what the message expects in RECT.left beforehand.
  std::optional<RECT> ItemRect(HWND target, UINT msg, WPARAM index, LONG left = 0) const;
  std::vector<std::string> TabCaptions(HWND tabs) const;

  std::optional<MessageBoxInfo> FindMessageBox() const;
  std::optional<MessageBoxInfo> WaitForMessageBox(int timeoutMs = 20000) const;
  // Presses the button whose caption, without its accelerator mark, is `caption`.
  static bool Answer(const MessageBoxInfo& box, const std::string& caption);
  HWND FindWindowOfClass(const std::string& className) const;  // visible, top-level

  bool ClickAt(HWND target, POINT client, bool twice = false);
  bool PressKeys(HWND foreground, const std::vector<WORD>& modifiers, WORD key);
  bool Close(int timeoutMs = 20000);  // WM_CLOSE, then waits for the process to end

 private:
  bool ClickStateIcon(int row);
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

}  // namespace e2e
