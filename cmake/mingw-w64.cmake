# Cross-build for 64-bit Windows with Debian's mingw-w64 (scripts/install-deps installs it), the
# tests run under Wine:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The "-posix" compilers: their C++ library has std::thread and std::mutex, which the "-win32"
# ones lack.
set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)

# Headers and libraries from the cross toolchain's own tree only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Linked statically, the C++ and threads libraries included: an .exe needs no mingw DLL beside it,
# on a workstation or under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Programs of the build run under Wine (Debian's wine64), through a script that keeps Wine's
# server up between two of them.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/lance_wine)
