# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix-threads flavour, which
# std::thread and Qt need). Used both to build Qt for Windows (scripts/winqt.sh) and to build
# Scrawlix against it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(scrawlix_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${scrawlix_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${scrawlix_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${scrawlix_mingw}-windres)

# Libraries, headers and packages come from the target's side only: MinGW's own folder and the
# folders given in CMAKE_FIND_ROOT_PATH (Scrawlix's build gives its Qt for Windows there).
# Programs (moc, rcc, the host tools of this build) come from the host's.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${scrawlix_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
