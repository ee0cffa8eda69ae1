# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KOV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KOV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KOV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KOV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Executables carry their C and C++ runtimes, so they need no MinGW DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
