// The About window: modal, owned by the main window, built afresh at every opening.
#pragma once
#include <windows.h>

#include "platform/Platform.h"
#include "support/LanguageFile.h"

// Returns when the window has been closed.
void ShowAboutWindow(HWND owner, const plat::Platform& platform, LanguageFile& texts);
