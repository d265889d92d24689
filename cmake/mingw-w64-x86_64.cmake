# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads).
# Only what cross-compiling needs lives here; how the program is linked is
# the project's business (platform/win32/CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VINTARO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VINTARO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VINTARO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VINTARO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VINTARO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
