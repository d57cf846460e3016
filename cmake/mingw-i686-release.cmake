# The shipped program: the -win32 thread model, whose runtime needs nothing newer
# than Windows XP (the -posix one brings winpthreads and GetTickCount64).
set(GLEISORA_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
