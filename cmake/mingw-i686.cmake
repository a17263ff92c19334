# Cross-compile the product's 32-bit Windows programs with mingw-w64. The win32 thread model
# compilers: the posix ones link winpthreads, which imports functions that Windows 98, Me,
# 2000 and XP lack (GetTickCount64, AddVectoredExceptionHandler, ...), and none of our
# programs would load there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)

# Subsystem and OS version 4.0 in every PE header: the loaders of Windows 98 and NT 4-era
# systems refuse images that ask for a later one (the linker's default is 5.1 / 6.0).
set(pe_versions "-Wl,--major-subsystem-version,4,--minor-subsystem-version,0,--major-os-version,4,--minor-os-version,0")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${pe_versions}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${pe_versions}")
