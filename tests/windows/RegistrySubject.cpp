#include <windows.h>

#include "platform/win32/EnvironmentWin32.h"
#include "platform/win32/FileSystemWin32.h"
#include "platform/win32/RegistryWin32.h"
#include "tests/contract/FileContract.h"
#include "tests/contract/RegistryContract.h"
#include "tests/fakes/Faults.h"

// The real services, seen through the fault switch that lets the fault tests use them.
RegistrySubject MakeRegistrySubject() {
  SetEnvironmentVariableA("GLEISORA_CT", "Wert");
  SetEnvironmentVariableA("GLEISORA_NOPE", nullptr);
  auto real = std::make_shared<RegistryWin32>();
  auto env = std::make_shared<EnvironmentWin32>();
  auto faulty = std::make_shared<fault::Registry>(*real, *env);
  faulty->keep = real;
  return {faulty, env};
}

FileSubject MakeFileSubject() {
  char temp[MAX_PATH];
  const std::string dir = std::string(temp, GetTempPathA(MAX_PATH, temp)) + "gleisora-file-contract";
  DeleteFileA((dir + "\\a.ini").c_str());
  for (const char* name : {"b.reg", "c.txt"}) DeleteFileA((dir + "\\Backups\\" + name).c_str());
  RemoveDirectoryA((dir + "\\Backups\\d.reg").c_str());
  RemoveDirectoryA((dir + "\\Backups").c_str());
  CreateDirectoryA(dir.c_str(), nullptr);
  auto real = std::make_shared<FileSystemWin32>();
  auto faulty = std::make_shared<fault::Files>(*real);
  faulty->keep = real;
  return {faulty, dir};
}
