// Where the program's DLLs come from. The program runs as administrator and is often
// started from a download folder: besides the few system DLLs it imports, every
// library is loaded from the system folder by its full path, and no later load
// searches the program's or the current folder.
#pragma once
#include <windows.h>

namespace win32 {

// Call first thing: takes the program's and the current folder out of the DLL search
// (SetDefaultDllDirectories where Windows has it, else SetDllDirectoryA("")).
void RestrictDllSearch();

// Whether LoadLibraryExA knows the LOAD_LIBRARY_SEARCH_* flags (Windows 8, or Vista
// and 7 with KB2533623).
bool HasSearchFlags();

// Restores Windows' own search for a program about to be started, and takes it back
// (on systems without the flags) once the start is done.
class DefaultDllSearch {
 public:
  DefaultDllSearch();
  ~DefaultDllSearch();
  DefaultDllSearch(const DefaultDllSearch&) = delete;
  DefaultDllSearch& operator=(const DefaultDllSearch&) = delete;
};

// A function of kernel32 or user32 that older Windows versions may lack; null when
// absent.
FARPROC KernelFunction(const char* name);
FARPROC UserFunction(const char* name);

// A library of the system folder, loaded by its full path and freed on destruction.
class SystemLibrary {
 public:
  explicit SystemLibrary(const char* fileName);
  ~SystemLibrary();
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  FARPROC Function(const char* name) const;

 private:
  HMODULE module_ = nullptr;
};

// FARPROC to the function type it really has.
template <class F>
F As(FARPROC proc) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(proc));
}

}  // namespace win32
