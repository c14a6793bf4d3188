# The shipped build: 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KESTREL_TRIPLE i686-w64-mingw32)
set(KESTREL_WINE_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
set(KESTREL_WIDL_TARGET --win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
