// The list rows' context menu as a Win32 pop-up menu.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "app/frmMain.h"

namespace ui {

// Shows the items at the screen point and, once the menu is closed, hands the chosen
// item's command to `run`; nothing when the menu is dismissed.
void ShowMenu(HWND owner, POINT at, const std::vector<MenuItem>& items,
              const std::function<void(const std::function<void()>&)>& run);

// Where the menu of a WM_CONTEXTMENU from the list opens, and for which row: under the
// mouse, or for the keyboard (lParam -1) below the focused row. Row -1: no row.
POINT MenuPlace(HWND list, LPARAM lp, int& row);

}  // namespace ui
