// What the main window's logic needs of the real window: controls, list rows and
// check marks, the log text, message boxes, the pointer and the message loop.
#pragma once
#include <string>

#include "support/UserPrompt.h"

enum class Ctl { picVersions, lvwVersions, cmdStartEEP, cmdReset, cmdDefault, cmdInfo,
                 cmdDetails, txtLog };


class IMainView {
 public:
  virtual ~IMainView() = default;

  // Window.
  virtual std::string Caption() = 0;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetHourglass(bool on) = 0;
  virtual long OuterHeight() = 0;   // twips
  virtual long ClientHeight() = 0;  // twips
  virtual void SetOuterHeight(long twips) = 0;

  // Controls (positions in twips, as laid out).
  virtual long ControlTop(Ctl c) = 0;
  virtual long ControlHeight(Ctl c) = 0;
  virtual void SetEnabled(Ctl c, bool enabled) = 0;
  virtual bool Enabled(Ctl c) = 0;
  virtual std::string ControlCaption(Ctl c) = 0;
  virtual void SetControlCaption(Ctl c, const std::string& text) = 0;
  virtual std::string ToolTip(Ctl c) = 0;
  virtual void SetToolTip(Ctl c, const std::string& text) = 0;

  // List: columns are 1-based (as their headers are numbered), rows 0-based.
  virtual int ColumnCount() = 0;
  virtual std::string ColumnText(int column) = 0;
  virtual void SetColumnText(int column, const std::string& text) = 0;
  // LVM_SETCOLUMNWIDTH for the 0-based column index with the given width code.
  virtual void SetColumnWidth(int index, int widthCode) = 0;
  virtual int RowCount() = 0;
  virtual void AddRow(const std::string& key, const std::string& text, const std::string& sub1,
                      const std::string& sub2) = 0;
  virtual int FindRow(const std::string& key) = 0;  // -1 when there is none
  virtual std::string RowKey(int row) = 0;
  virtual std::string RowText(int row) = 0;
  virtual std::string RowSubItem(int row, int sub) = 0;  // sub 1 or 2
  virtual bool RowChecked(int row) = 0;
  // Changing a check mark from the program never raises the user's ItemCheck.
  virtual void SetRowChecked(int row, bool checked) = 0;
  virtual void RemoveRow(int row) = 0;  // the other rows keep their keys
  virtual int SelectedRow() = 0;  // -1 when none
  virtual void SelectRow(int row) = 0;

  // Log.
  virtual std::string LogText() = 0;
  virtual void SetLogText(const std::string& text) = 0;
  // Same text as SetLogText(LogText() + text), without copying the whole log each time.
  virtual void AppendLogText(const std::string& text) = 0;
  // Processes all pending window messages, then returns.
  virtual void DoEvents() = 0;

  // Dialogs.
  virtual int MsgBox(const std::string& text, unsigned style, const std::string& title) = 0;
  virtual void ShowAbout() = 0;  // modal, owned by the main window
};
