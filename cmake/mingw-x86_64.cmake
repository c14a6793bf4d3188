# 64-bit Windows: the same sources, for test machines that cannot execute
# 32-bit code (there 32-bit Wine cannot start).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTREL_TRIPLE x86_64-w64-mingw32)
set(KESTREL_WINE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
set(KESTREL_WIDL_TARGET --win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
