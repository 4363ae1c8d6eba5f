# Windows build with mingw-w64: Unicode, statically linked (no mingw DLL beside the exe).
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
add_link_options(-static -static-libgcc -static-libstdc++)

# GoogleTest for the Windows test programs, built from Debian's googletest sources.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# A folder of this machine as the Windows programs under Wine see it.
function(tarnwick_windows_path out path)
    if(CMAKE_CROSSCOMPILING)
        set(path "Z:${path}")
    endif()
    string(REPLACE "/" "\\" path "${path}")
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

tarnwick_windows_path(TARNWICK_DIST_WINDOWS_PATH "${CMAKE_SOURCE_DIR}/dist/Tarnwick")

# The installer that scripts/package.sh makes beside the portable folder, named by the version.
file(STRINGS "${CMAKE_SOURCE_DIR}/app/version.h" TARNWICK_VERSION_LINE
    REGEX "^#define TARNWICK_VERSION_TEXT ")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" TARNWICK_VERSION "${TARNWICK_VERSION_LINE}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/app/version.h")
tarnwick_windows_path(TARNWICK_SETUP_WINDOWS_PATH
    "${CMAKE_SOURCE_DIR}/dist/Tarnwick-${TARNWICK_VERSION}-x64-setup.exe")
