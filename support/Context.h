// What every service of the program receives: the Windows services, the language
// file, the activity log and a way to ask the user.
#pragma once
#include "platform/Platform.h"
#include "support/ActivityLog.h"
#include "support/LanguageFile.h"
#include "support/UserPrompt.h"

struct Context {
  const plat::Platform& platform;
  LanguageFile& texts;
  ActivityLog& log;
  AskUser ask;
};
