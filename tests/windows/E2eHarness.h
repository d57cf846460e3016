// End-to-end harness: runs the real Gleisora.exe from a fresh program folder in the
// Wine prefix and drives it from outside as a user would (buttons, list rows, check
// boxes, message boxes), reading back its windows, files and the registry.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// A Unix path as Wine sees it: "Z:" and backslashes.
std::string WinePath(const std::string& unixPath);
std::string ExeDir();      // where the build put Gleisora.exe
std::string FixtureDir();  // built fixtures
std::string SourceDir();   // the source tree

// Polls `done` until it holds or `timeoutMs` has passed; returns its last result.
// Only a guard against hanging: tests assert on the result, never on the time taken.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000);

// Pixels for a length in twips at the display's DPI.
int Px(long twips);

// Whole-file and INI helpers (ANSI, Windows-1252 text).
bool WriteTextFile(const std::string& path, const std::string& text);
std::optional<std::string> ReadTextFile(const std::string& path);
std::string IniRead(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& deflt = "");
bool IniWrite(const std::string& path, const std::string& section, const std::string& key,
              const std::string& value);

// Registry helpers on the prefix's registry.
bool SetRegistryString(HKEY root, const std::string& path, const std::string& name,
                  const std::string& value);
std::optional<std::string> RegistryString(HKEY root, const std::string& path,
                                        const std::string& name);
void DeleteRegistryTree(HKEY root, const std::string& path);

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
  bool CopyIn(const std::string& from, const std::string& file);

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

// One running Gleisora.exe.
class App {
 public:
  App() = default;
  ~App();  // closes the program, terminating it if it does not end
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Starts the program and waits until it shows its main window or, while still
  // loading, a message box (answer it, then call WaitForMain).
  bool Start(const ProgramFolder& folder);
  bool WaitForMain(int timeoutMs = 20000);
  HWND Main() const { return main_; }
  DWORD Pid() const { return pi_.dwProcessId; }
  bool Running() const;

  // Controls of the main window.
  HWND Button(const std::string& caption) const;  // nullptr when none has this caption
  std::vector<HWND> Buttons() const;              // in window order
  HWND List() const;
  HWND Log() const;
  static std::string Text(HWND h);
  static bool Enabled(HWND h) { return h && IsWindowEnabled(h); }
  std::string Caption() const { return Text(main_); }
  std::string LogText() const { return Text(Log()); }
  int ClientHeight() const;  // pixels
  HWND Focus() const;         // the control with the keyboard focus in the program

  // Presses a button without waiting for what it does (a modal box may follow).
  static void Click(HWND button);

  // The list, read from the program's memory.
  int RowCount() const;
  ListRow Row(int row) const;
  std::vector<ListRow> Rows() const;
  std::vector<std::string> ColumnTexts() const;
  // Toggles a row's check box with a mouse click on it, as a user does.
  bool ToggleCheck(int row);
  // Selects a row and presses the space bar in the list.
  bool ToggleCheckByKeyboard(int row);
  bool DoubleClickRow(int row);

  // A rectangle that a window of the program fills in for an index (LVM_GETITEMRECT,
  // TCM_GETITEMRECT, ...); `left` is what the message expects in RECT.left beforehand.
  std::optional<RECT> ItemRect(HWND target, UINT msg, WPARAM index, LONG left = 0) const;
  // The captions of a tab strip's tabs.
  std::vector<std::string> TabCaptions(HWND tabs) const;

  // Message boxes and other windows of the process.
  std::optional<MessageBoxInfo> FindMessageBox() const;
  std::optional<MessageBoxInfo> WaitForMessageBox(int timeoutMs = 20000) const;
  static bool Answer(const MessageBoxInfo& box, const std::string& buttonCaption);
  HWND FindWindowOfClass(const std::string& className) const;  // visible, top-level

  // Brings the window to the front and clicks at a point of a window's client area.
  bool ClickAt(HWND target, POINT client, bool twice = false);
  // Presses a key with modifiers (VK codes) through the keyboard input queue.
  bool PressKeys(HWND foreground, const std::vector<WORD>& modifiers, WORD key);

  // Asks the main window to close and waits for the process to end.
  bool Close(int timeoutMs = 20000);
  bool WaitForExit(int timeoutMs = 20000);

 private:
  PROCESS_INFORMATION pi_{};
  bool ClickStateIcon(int row);
  HWND main_ = nullptr;
};

}  // namespace e2e
