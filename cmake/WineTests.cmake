# Runs the cross-built tests through Wine, in a prefix of the build tree's own.
# scripts/test.sh provides the X display and keeps a wineserver alive.

set(KESTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of the tests")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(KESTREL_WINEARCH win64)
else()
  set(KESTREL_WINEARCH win32)
endif()

set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;${KESTREL_WINEPREFIX};${KESTREL_WINEARCH})

# GoogleTest from the Debian source package, built with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# A Windows path of a file of the build tree as Wine sees it (drive Z: is /).
function(kestrel_wine_path out path)
  string(REPLACE "/" "\\" windows "${path}")
  set(${out} "Z:${windows}" PARENT_SCOPE)
endfunction()
