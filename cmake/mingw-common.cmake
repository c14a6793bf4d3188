# Shared part of the MinGW-w64 cross toolchains. Expects KESTREL_TRIPLE and
# KESTREL_WINE_DIR (Wine's PE folder for this architecture, for stdole2.tlb).
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${KESTREL_TRIPLE}-gcc-posix ${KESTREL_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KESTREL_TRIPLE}-g++-posix ${KESTREL_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KESTREL_TRIPLE}-windres REQUIRED)
find_program(KESTREL_WIDL NAMES ${KESTREL_TRIPLE}-widl widl REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTREL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The standard IDL files (oaidl.idl, ...) come with Wine's development files;
# the MinGW packages ship none. stdole2.tlb comes with Wine itself.
set(KESTREL_IDL_INCLUDE_DIR /usr/include/wine/wine/windows CACHE PATH "Folder with oaidl.idl")
set(KESTREL_STDOLE_DIR ${KESTREL_WINE_DIR} CACHE PATH "Folder with stdole2.tlb")
