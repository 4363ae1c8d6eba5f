# A language library: a resource-only DLL made from one UTF-8 .rc file, with no code and no
# entry point. Further arguments are preprocessor symbols defined for the .rc file.
function(tarnwick_language_library name source)
    set(defines)
    foreach(symbol ${ARGN})
        list(APPEND defines -D${symbol})
    endforeach()
    set(object ${CMAKE_CURRENT_BINARY_DIR}/${name}.res.o)
    set(library ${CMAKE_CURRENT_BINARY_DIR}/${name}.dll)
    add_custom_command(OUTPUT ${object}
        COMMAND ${CMAKE_RC_COMPILER} -c 65001 -I ${CMAKE_SOURCE_DIR}/language -I ${CMAKE_SOURCE_DIR}
                ${defines} -O coff -i ${source} -o ${object}
        DEPENDS ${source} ${CMAKE_SOURCE_DIR}/language/resource_ids.h
        VERBATIM)
    add_custom_command(OUTPUT ${library}
        COMMAND ${CMAKE_C_COMPILER} -shared -nostdlib -s -Wl,-e,0 -o ${library} ${object}
        DEPENDS ${object}
        VERBATIM)
    add_custom_target(${name}_library ALL DEPENDS ${library})
    set(${name}_LIBRARY_PATH ${library} PARENT_SCOPE)
endfunction()
