// Program entry: the real platform, the main window and its logic, the message loop;
// a command of the command line, and the hand-over of a second start.
#include <windows.h>

#include <commctrl.h>

#include "app/CommandLine.h"
#include "app/frmMain.h"
#include "app/win/MainWindow.h"
#include "app/win/ProgressWindow.h"
#include "app/win/SingleInstance.h"
#include "platform/win32/LibraryApiWin32.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Platform.h"
#include "support/IniStore.h"

namespace {
int Say(LanguageFile& texts, const char* key, const char* deflt, UINT icon, int exitCode) {
  MessageBoxA(nullptr, texts.GetText("Messages", key, deflt).c_str(), "Gleisora", MB_OK | icon);
  return exitCode;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  // Before anything loads a library: the program runs as administrator.
  win32::RestrictDllSearch();
  // A component registration started by the program itself: no window, no second start.
  if (const auto exitCode = LibraryApiWin32::ChildRequest(commandLine)) return *exitCode;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                           ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);

  Win32Platform win32;
  plat::Platform platform = win32.Get();
  ini::IniStore iniFiles(*platform.files);
  platform.ini = &iniFiles;
  LanguageFile texts(platform);

  const std::string args = commandLine ? commandLine : "";
  const cli::Request request = cli::Parse(args);
  if (request.action == cli::Action::Usage || request.action == cli::Action::Bad) {
    const bool bad = request.action == cli::Action::Bad;
    std::string text = texts.GetText(
        "Messages", "USAGE",
        "Aufruf:\\n\\nGleisora.exe /start <Eintrag>\\nschaltet auf die Installation um und "
        "startet EEP.\\n\\nGleisora.exe /switch <Eintrag>\\nschaltet nur um.\\n\\n<Eintrag> ist "
        "die Nummer des Eintrags (z. B. EEP_2, wie in den Verknüpfungen), die Bezeichnung oder "
        "der Ordner der Installation.");
    if (bad)
      text = texts.GetText("Messages", "BAD_CALL", "Gleisora versteht diesen Aufruf nicht:") +
             " '" + args + "'\r\n\r\n" + text;
    MessageBoxA(nullptr, text.c_str(), "Gleisora",
                MB_OK | (bad ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
    return bad ? cli::kBadUsage : cli::kDone;
  }
  SingleInstance single;
  if (!single.First()) {
    if (SingleInstance::HandOver(MainWindow::ClassName(), args) == SingleInstance::kTaken)
      return cli::kDone;
    return Say(texts, "GLEISORA_BUSY",
               "Gleisora ist schon geöffnet und gerade beschäftigt.\\nBitte versuchen Sie es "
               "gleich noch einmal.",
               MB_ICONEXCLAMATION, cli::kOtherBusy);
  }

  MainWindow window(platform, texts);
  if (!window.Create(instance)) return cli::kNoWindow;
  frmMain form(platform, texts, window);
  window.Attach(&form);
  window.OnCommand([&](const std::string& line) {
    const cli::Request handed = cli::Parse(line);
    if (handed.action == cli::Action::Switch || handed.action == cli::Action::Start)
      form.RunCommand(handed);
  });
  int exitCode = cli::kDone;
  if (request.action == cli::Action::Window) {
    // The window appears once loaded, already localised and collapsed.
    form.Form_Load();
    window.Show(showCommand);
  } else {
    // The main window stays hidden unless a question or an error needs the user; it
    // then stays open, as after a start without arguments.
    bool shown = false;
    ProgressWindow progress;
    progress.Create(instance, "Gleisora",
                    texts.GetText("Messages", "COMMAND_PROGRESS",
                                  "Gleisora bereitet EEP vor. Bitte warten Sie einen Moment!"));
    form.BeforeFirstMessage([&] {
      progress.Hide();
      window.Show(SW_SHOWNORMAL);
      shown = true;
    });
    form.Form_Load();
    exitCode = form.RunCommand(request);
    if (!shown) {
      window.Attach(nullptr);
      return exitCode;
    }
  }

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (window.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  window.Attach(nullptr);
  return request.action == cli::Action::Window ? static_cast<int>(msg.wParam) : exitCode;
}
