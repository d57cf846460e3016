// The Win32 main window: creates the controls from the design layout (twips, scaled
// by the system DPI), routes their events to frmMain and implements IMainView on the
// list (VersionList) and the log box (LogBox).
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/MainView.h"
#include "app/win/Controls.h"
#include "app/win/LogBox.h"
#include "app/win/Taskbar.h"
#include "app/win/VersionList.h"
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
  std::string ControlCaption(Ctl c) override;
  void SetControlCaption(Ctl c, const std::string& text) override;
  std::string ToolTip(Ctl c) override;
  void SetToolTip(Ctl c, const std::string& text) override;
  int ColumnCount() override { return list_.ColumnCount(); }
  std::string ColumnText(int column) override { return list_.ColumnText(column); }
  void SetColumnText(int column, const std::string& t) override { list_.SetColumnText(column, t); }
  void SetColumnWidth(int index, int code) override { list_.SetColumnWidth(index, code); }
  void AddRow(const CatalogueRow& row) override;
  void RemoveRow(int row) override { list_.Remove(row); }
  bool RowChecked(int row) override { return list_.Checked(row); }
  void SetRowChecked(int row, bool checked) override { list_.SetChecked(row, checked); }
  int SelectedRow() override { return list_.Selected(); }
  void SelectRow(int row) override { list_.Select(row); }
  void SetLogText(const std::string& text) override { log_.SetText(text); }
  void AppendLogText(const std::string& text) override { log_.Append(text); }
  void DoEvents() override { log_.DoEvents(); }
  int MsgBox(const std::string& text, unsigned style, const std::string& title) override;
  void ShowAbout() override;

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
  LRESULT OnNotify(const NMHDR& hdr);
  template <class F>
  void Run(F&& handler);  // runs a handler of frmMain; nothing escapes the window procedure

  HWND Control(Ctl c) const;
  void BlockShutdown(bool on);
  void FitCaption(HWND button);
  void PaintBannerFrame(HDC dc) const;

  const plat::Platform& platform_;
  LanguageFile& texts_;
  frmMain* form_ = nullptr;
  ui::Scale scale_{96};
  std::optional<ui::Font> font_;
  // Smaller fonts where a text does not fit its control in font_: the log's
  // separator lines, and a button's caption.
  std::optional<ui::Font> logFont_;
  std::map<HWND, std::unique_ptr<ui::Font>> captionFonts_;
  ui::Controls controls_;
  ui::ToolTips tips_;
  ui::BusyBar busyBar_;
  ui::Taskbar taskbar_;
  HWND lastFocus_ = nullptr;  // restored when the window is activated again
  ui::VersionList list_;
  ui::LogBox log_;
  std::vector<HBITMAP> banner_;
  HICON iconBig_ = nullptr, iconSmall_ = nullptr;
  bool hourglass_ = false;
  std::function<void(const std::string&)> command_;
  std::optional<std::string> handedOver_;  // taken, not yet run
};
