# Cross-compiling for 64-bit Windows with Debian's MinGW-w64.
# The -posix variants use winpthreads, which std::thread and std::mutex need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZOP_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZOP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZOP_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZOP_MINGW_TRIPLE}-windres)
set(CMAKE_AR           ${ZOP_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${ZOP_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

# Headers and libraries come from the MinGW sysroot (and the prefixes added to
# CMAKE_FIND_ROOT_PATH, such as the cross-built Qt); programs from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZOP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
