// The Win32 main window: creates the controls from the design layout (twips, scaled
// by the system DPI), forwards their events to frmMain and implements IMainView.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/MainView.h"
#include "app/win/Controls.h"
#include "app/win/Taskbar.h"
#include "app/win/Window.h"
#include "platform/Platform.h"
#include "support/LanguageFile.h"

class frmMain;

class MainWindow : public IMainView, public ui::Window {
 public:
  MainWindow(const plat::Platform& platform, LanguageFile& texts);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls (hidden); false when Windows refuses.
  bool Create(HINSTANCE instance);
  void Attach(frmMain* form) { form_ = form; }
  static const char* ClassName();
  // Runs a command line a second start handed over, once the window is free for it.
  void OnCommand(std::function<void(const std::string&)> run) { command_ = std::move(run); }
  void Show(int showCommand);
  // Dialog-style keyboard handling (Tab order, Space on buttons) for one message.
  bool PreTranslate(MSG& msg);

  // IMainView
  std::string Caption() override;
  void SetCaption(const std::string& text) override;
  void SetHourglass(bool on) override;
  long OuterHeight() override;
  long ClientHeight() override;
  void SetOuterHeight(long twips) override;
  long ControlTop(Ctl c) override;
  long ControlHeight(Ctl c) override;
  void SetEnabled(Ctl c, bool enabled) override;
  bool Enabled(Ctl c) override;
  std::string ControlCaption(Ctl c) override;
  void SetControlCaption(Ctl c, const std::string& text) override;
  std::string ToolTip(Ctl c) override;
  void SetToolTip(Ctl c, const std::string& text) override;
  int ColumnCount() override;
  std::string ColumnText(int column) override;
  void SetColumnText(int column, const std::string& text) override;
  void SetColumnWidth(int index, int widthCode) override;
  int RowCount() override;
  void AddRow(const std::string& key, const std::string& text, const std::string& sub1,
              const std::string& sub2) override;
  int FindRow(const std::string& key) override;
  std::string RowKey(int row) override;
  std::string RowText(int row) override;
  std::string RowSubItem(int row, int sub) override;
  bool RowChecked(int row) override;
  void SetRowChecked(int row, bool checked) override;
  void RemoveRow(int row) override;
  int SelectedRow() override;
  void SelectRow(int row) override;
  std::string LogText() override;
  void SetLogText(const std::string& text) override;
  void AppendLogText(const std::string& text) override;
  void FlushLog();
  void FillLog();
  void BlockShutdown(bool on);
  void DoEvents() override;
  int MsgBox(const std::string& text, unsigned style, const std::string& title) override;
  void ShowAbout() override;

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
  LRESULT OnNotify(const NMHDR& hdr);
  template <class F>
  void Run(F&& handler);  // runs a handler of frmMain; nothing escapes the window procedure

  HWND Control(Ctl c) const;
  std::string RowText(int row, int sub);

  const plat::Platform& platform_;
  LanguageFile& texts_;
  frmMain* form_ = nullptr;
  ui::Scale scale_{96};
  std::optional<ui::Font> font_;
  ui::Controls controls_;
  ui::ToolTips tips_;
  ui::BusyBar busyBar_;
  ui::Taskbar taskbar_;
  HWND lastFocus_ = nullptr;  // restored when the window is activated again
  HWND list_ = nullptr, log_ = nullptr;
  // The whole log; the box holds logText_[shownFrom_, shownTo_) in shownLines_ lines.
  std::string logText_;
  std::size_t shownFrom_ = 0, shownTo_ = 0;
  int shownLines_ = 0;
  DWORD lastLogFlush_ = 0;
  DWORD logFlushCost_ = 0;  // ms the last insert into the log box took
  DWORD lastPump_ = 0;
  std::vector<HBITMAP> banner_;
  HICON iconBig_ = nullptr, iconSmall_ = nullptr;
  bool hourglass_ = false;
  bool settingChecks_ = false;            // the program is changing check marks itself
  std::vector<std::string> keys_;         // row key = keys_[item lParam]
  std::function<void(const std::string&)> command_;
  std::optional<std::string> handedOver_;  // taken, not yet run
};
