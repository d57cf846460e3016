#include "app/win/RowMenu.h"

#include <commctrl.h>

namespace ui {
namespace {

void Fill(HMENU menu, const std::vector<MenuItem>& items, std::vector<const MenuItem*>& commands) {
  for (const MenuItem& item : items) {
    if (item.text.empty()) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const UINT state = item.enabled ? MF_ENABLED : MF_GRAYED;
    if (!item.sub.empty()) {
      // Destroying the top menu destroys the menus attached to it.
      HMENU sub = CreatePopupMenu();
      Fill(sub, item.sub, commands);
      AppendMenuA(menu, MF_POPUP | state, reinterpret_cast<UINT_PTR>(sub), item.text.c_str());
    } else {
      commands.push_back(&item);
      AppendMenuA(menu, MF_STRING | state, commands.size(), item.text.c_str());
    }
  }
}

struct PopupMenu {
  HMENU handle = CreatePopupMenu();
  ~PopupMenu() {
    if (handle) DestroyMenu(handle);
  }
};

}  // namespace

void ShowMenu(HWND owner, POINT at, const std::vector<MenuItem>& items,
              const std::function<void(const std::function<void()>&)>& run) {
  if (items.empty()) return;
  PopupMenu menu;
  if (!menu.handle) return;
  std::vector<const MenuItem*> commands;
  Fill(menu.handle, items, commands);
  const auto chosen = static_cast<std::size_t>(
      TrackPopupMenu(menu.handle, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                     at.x, at.y, 0, owner, nullptr));
  if (chosen >= 1 && chosen <= commands.size() && commands[chosen - 1]->run)
    run(commands[chosen - 1]->run);
}

POINT MenuPlace(HWND list, LPARAM lp, int& row) {
  POINT at{0, 0};
  if (lp == -1) {
    row = static_cast<int>(
        SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    RECT r{};
    r.left = LVIR_LABEL;
    if (row >= 0 && SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)))
      at = {r.left, r.bottom};
    ClientToScreen(list, &at);
    return at;
  }
  at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  LVHITTESTINFO hit{};
  hit.pt = at;
  ScreenToClient(list, &hit.pt);
  row = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!(hit.flags & LVHT_ONITEM)) row = -1;
  return at;
}

}  // namespace ui
