// Program entry: the real platform, the main window and its logic, the message loop.
#include <windows.h>

#include <commctrl.h>

#include "app/frmMain.h"
#include "app/win/MainWindow.h"
#include "platform/win32/LibraryApiWin32.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Platform.h"
#include "support/IniStore.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  // Before anything loads a library: the program runs as administrator.
  win32::RestrictDllSearch();
  // A component registration started by the program itself: no window, no second start.
  if (const auto exitCode = LibraryApiWin32::ChildRequest(commandLine)) return *exitCode;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                           ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  Win32Platform win32;
  plat::Platform platform = win32.Get();
  ini::IniStore iniFiles(*platform.files);
  platform.ini = &iniFiles;
  LanguageFile texts(platform);
  MainWindow window(platform, texts);
  if (!window.Create(instance)) return 1;
  frmMain form(platform, texts, window);
  window.Attach(&form);
  // The window appears once loaded, already localised and collapsed.
  form.Form_Load();
  window.Show(showCommand);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (window.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  window.Attach(nullptr);
  return static_cast<int>(msg.wParam);
}
