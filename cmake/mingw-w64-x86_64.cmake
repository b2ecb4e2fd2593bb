# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model, so that
# std::thread, std::mutex and std::condition_variable work).
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TRV810_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TRV810_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRV810_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TRV810_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRV810_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs that need no DLL beyond Windows' own: the C++ runtime, libgcc and
# winpthreads are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The optimised build's programs are shipped: without their symbols they are half the size.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# The tests run under Wine (see cmake/wine-run.sh); ctest and gtest_discover_tests
# start every Windows program through it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
