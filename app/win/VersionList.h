// The list of installations: a report list view with check boxes and the design's
// three columns. It shows the rows the form hands it and reports what the user does
// to them; the rows' data stays with the form.
#pragma once
#include <windows.h>

#include <string>

#include "app/win/Window.h"

namespace ui {

class VersionList {
 public:
  // Takes over a created list view: check boxes, full-row selection, the columns.
  void Attach(HWND list, const Scale& scale);
  HWND Handle() const { return list_; }

  // Columns are 1-based, as their headers are numbered.
  int ColumnCount() const;
  std::string ColumnText(int column) const;
  void SetColumnText(int column, const std::string& text);
  // LVM_SETCOLUMNWIDTH for the 0-based index with the given width code.
  void SetColumnWidth(int index, int widthCode);

  // Rows are 0-based; a new row goes below the others.
  int Count() const;
  void Add(const std::string& text, const std::string& type, const std::string& folder);
  void Remove(int row);
  bool Checked(int row) const;
  void SetChecked(int row, bool checked);  // raises no Toggled
  int Selected() const;                    // -1 when none
  void Select(int row);

  // What a notification from the list means to the form.
  struct Event {
    enum Kind { kNone, kToggled, kDoubleClick } kind = kNone;
    int row = -1;  // the toggled row
  };
  Event Notified(const NMHDR& hdr) const;

 private:
  HWND list_ = nullptr;
  bool settingChecks_ = false;  // the program is changing check marks itself
};

}  // namespace ui
