// What the main window's logic needs of the real window: controls, the list's shown
// rows and check marks, the log text, message boxes, the pointer and the message loop.
// The rows' data stays with the form; the window only shows it.
#pragma once
#include <string>

#include "catalogue/Catalogue.h"
#include "support/UserPrompt.h"

enum class Ctl {
  picVersions,
  lvwVersions,
  cmdStartEEP,
  cmdReset,
  cmdDefault,
  cmdInfo,
  cmdDetails,
  txtLog
};

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
  // Shows the row below the others: description, type, folder.
  virtual void AddRow(const CatalogueRow& row) = 0;
  virtual void RemoveRow(int row) = 0;
  // The user's tick, read in the handler of that tick and of a double click.
  virtual bool RowChecked(int row) = 0;
  // Changing a check mark from the program never raises the user's ItemCheck.
  virtual void SetRowChecked(int row, bool checked) = 0;
  virtual int SelectedRow() = 0;  // -1 when none
  virtual void SelectRow(int row) = 0;

  // Log.
  virtual void SetLogText(const std::string& text) = 0;
  // Adds to the end, without copying the whole log each time.
  virtual void AppendLogText(const std::string& text) = 0;
  // Processes all pending window messages, then returns.
  virtual void DoEvents() = 0;

  // Dialogs.
  virtual int MsgBox(const std::string& text, unsigned style, const std::string& title) = 0;
  virtual void ShowAbout() = 0;  // modal, owned by the main window
};
