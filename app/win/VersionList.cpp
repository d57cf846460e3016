#include "app/win/VersionList.h"

#include <commctrl.h>

#include "app/win/Controls.h"

namespace ui {
namespace {
struct ColumnDesign {
  const char* text;
  long width;  // twips
};
const ColumnDesign kColumns[] = {{"Bezeichnung", 5292}, {"Typ", 2540}, {"Pfad", 2540}};
}  // namespace

void VersionList::Attach(HWND list, const Scale& scale) {
  list_ = list;
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const auto& c : kColumns) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<char*>(c.text);
    col.cx = scale.Px(c.width);
    col.iSubItem = index;
    SendMessageA(list_, LVM_INSERTCOLUMNA, index++, reinterpret_cast<LPARAM>(&col));
  }
}

int VersionList::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string VersionList::ColumnText(int column) const {
  return ItemText<LVCOLUMNA>(list_, LVM_GETCOLUMNA, column - 1, LVCF_TEXT);
}

void VersionList::SetColumnText(int column, const std::string& text) {
  SetItemText<LVCOLUMNA>(list_, LVM_SETCOLUMNA, column - 1, LVCF_TEXT, text);
}

void VersionList::SetColumnWidth(int index, int widthCode) {
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, index, MAKELPARAM(widthCode, 0));
}

int VersionList::Count() const {
  return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

void VersionList::Add(const std::string& text, const std::string& type, const std::string& folder) {
  settingChecks_ = true;
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = Count();
  item.pszText = const_cast<char*>(text.c_str());
  const int row =
      static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (row >= 0) {
    const std::string* subs[] = {&type, &folder};
    for (int s = 1; s <= 2; ++s) {
      LVITEMA si{};
      si.iSubItem = s;
      si.pszText = const_cast<char*>(subs[s - 1]->c_str());
      SendMessageA(list_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&si));
    }
  }
  settingChecks_ = false;
}

void VersionList::Remove(int row) {
  if (row >= 0 && row < Count()) SendMessageA(list_, LVM_DELETEITEM, row, 0);
}

bool VersionList::Checked(int row) const {
  const auto state =
      static_cast<UINT>(SendMessageA(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void VersionList::SetChecked(int row, bool checked) {
  // Index -1 would mean every row to the list view.
  if (row < 0 || row >= Count()) return;
  settingChecks_ = true;
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  settingChecks_ = false;
}

int VersionList::Selected() const {
  return static_cast<int>(
      SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void VersionList::Select(int row) {
  if (row < 0 || row >= Count()) return;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageA(list_, LVM_ENSUREVISIBLE, row, FALSE);
}

VersionList::Event VersionList::Notified(const NMHDR& hdr) const {
  if (hdr.hwndFrom != list_) return {};
  if (hdr.code == NM_DBLCLK) return {Event::kDoubleClick};
  if (hdr.code != LVN_ITEMCHANGED) return {};
  const auto& nm = reinterpret_cast<const NMLISTVIEW&>(hdr);
  if (nm.iItem < 0 || !(nm.uChanged & LVIF_STATE) || settingChecks_) return {};
  const UINT before = (nm.uOldState & LVIS_STATEIMAGEMASK) >> 12;
  const UINT after = (nm.uNewState & LVIS_STATEIMAGEMASK) >> 12;
  // Image 0 -> 1 is a new item receiving its check box, not a toggle.
  if (before == after || before == 0 || after == 0) return {};
  return {Event::kToggled, nm.iItem};
}

}  // namespace ui
