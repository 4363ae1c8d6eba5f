# The Win32 side of each subsystem, and Tarnwick.exe.
add_library(tarnwick_win STATIC
    app/commands.cpp
    app/dpi.cpp
    app/main_window.cpp
    app/settings.cpp
    app/shared_placement.cpp
    app/startup.cpp
    app/window_modes.cpp
    app/window_procedure.cpp
    document/document_path.cpp
    document/document_title.cpp
    document/encoding_io.cpp
    document/file_commands.cpp
    document/file_io.cpp
    document/file_reading.cpp
    document/local_drive.cpp
    document/recent_files.cpp
    document/safe_write.cpp
    document/system_recent.cpp
    document/typing.cpp
    document/view_guard.cpp
    language/about_box.cpp
    language/dialog_placement.cpp
    language/language_change.cpp
    language/language_library.cpp
    language/language_menus.cpp
    language/message_box.cpp
    print/page_setup.cpp
    print/print_job.cpp
    print/printing.cpp
    search/find_commands.cpp
    search/go_to_line.cpp
    search/replace_all.cpp
    search/search_context.cpp
    search/search_report.cpp
    tools/selection_commands.cpp
    tools/text_tools.cpp
    view/edit_host.cpp
    view/fonts.cpp
    view/status_bar.cpp
    view/status_refresh.cpp
)
target_link_libraries(tarnwick_win PUBLIC tarnwick_logic comctl32 comdlg32 shell32 gdi32)
tarnwick_warnings(tarnwick_win)

add_executable(Tarnwick WIN32 app/main.cpp app/tarnwick.rc)
target_link_libraries(Tarnwick PRIVATE tarnwick_win)
target_link_options(Tarnwick PRIVATE -municode)
set_source_files_properties(app/tarnwick.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/app/tarnwick.ico;${CMAKE_SOURCE_DIR}/app/tarnwick.manifest;${CMAKE_SOURCE_DIR}/app/version.h")
target_include_directories(Tarnwick PRIVATE ${CMAKE_SOURCE_DIR})
tarnwick_warnings(Tarnwick)
# The statically linked mingw-w64 runtime (its C library and threads) brings its debug
# information into the link. It is kept beside the build as Tarnwick.exe.debug, which a debugger
# finds through the exe's .gnu_debuglink, for reading a crash; the exe itself is shipped without
# it or its symbols.
add_custom_command(TARGET Tarnwick POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:Tarnwick> $<TARGET_FILE:Tarnwick>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:Tarnwick>.debug
            $<TARGET_FILE:Tarnwick>
    VERBATIM)

install(TARGETS Tarnwick RUNTIME DESTINATION .)

add_subdirectory(bench/wine)
