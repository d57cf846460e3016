set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)
# The -posix thread model for the test builds: GoogleTest needs std::mutex. The
# shipped program uses the -win32 one (mingw-i686-release.cmake).
if(NOT GLEISORA_THREAD_MODEL)
  set(GLEISORA_THREAD_MODEL posix)
endif()
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-${GLEISORA_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-${GLEISORA_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# --32: 32-bit programs may not run here; the tests are then reported skipped.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh --32)
