# Cross-building the Windows box with Debian's mingw-w64 (posix threads, for
# std::thread and std::jthread). Every program is linked statically, so it needs
# no DLL beside the system's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TANDREL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TANDREL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TANDREL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TANDREL_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TANDREL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
