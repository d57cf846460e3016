#include <windows.h>

#include "platform/win32/EnvironmentWin32.h"
#include "platform/win32/FileSystemWin32.h"
#include "platform/win32/RegistryWin32.h"
#include "tests/contract/FileContract.h"
#include "tests/contract/RegistryContract.h"

RegistrySubject MakeRegistrySubject() {
  SetEnvironmentVariableA("GLEISORA_CT", "Wert");
  SetEnvironmentVariableA("GLEISORA_NOPE", nullptr);
  return {std::make_shared<RegistryWin32>(), std::make_shared<EnvironmentWin32>()};
}

FileSubject MakeFileSubject() {
  char temp[MAX_PATH];
  const std::string dir = std::string(temp, GetTempPathA(MAX_PATH, temp)) + "gleisora-file-contract";
  for (const char* name : {"b.reg", "c.txt"}) DeleteFileA((dir + "\\Backups\\" + name).c_str());
  RemoveDirectoryA((dir + "\\Backups\\d.reg").c_str());
  RemoveDirectoryA((dir + "\\Backups").c_str());
  CreateDirectoryA(dir.c_str(), nullptr);
  return {std::make_shared<FileSystemWin32>(), dir};
}
