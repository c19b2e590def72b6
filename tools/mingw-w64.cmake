# CMake toolchain for the Windows build of the core and the command line on Debian: the MinGW-w64
# cross compiler with POSIX threads (g++-mingw-w64-x86-64-posix), run under Wine by `make test`.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake -DHARMO_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Run the test programs the build makes through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
