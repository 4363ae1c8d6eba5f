# Compiles one guide; run as cmake -P with
#   CHMCMD, ICONV   the tools
#   SOURCE          help/<language>: the pages and <language>.hhp, .hhc and .hhk
#   STYLESHEET      the stylesheet the pages share
#   STAGE           a scratch folder, emptied first
#   CODE_PAGE       the code page the project, contents and index are converted to
#   GUIDE           the .chm to write; it appears only once everything succeeded
cmake_minimum_required(VERSION 3.25)

get_filename_component(language "${SOURCE}" NAME)
file(REMOVE "${GUIDE}")
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")

file(GLOB pages "${SOURCE}/*.html")
file(COPY ${pages} "${STYLESHEET}" DESTINATION "${STAGE}")
foreach(extension hhp hhc hhk)
    set(name ${language}.${extension})
    execute_process(COMMAND "${ICONV}" -f UTF-8 -t ${CODE_PAGE} "${SOURCE}/${name}"
        OUTPUT_FILE "${STAGE}/${name}"
        RESULT_VARIABLE result
        ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${SOURCE}/${name} cannot be written in ${CODE_PAGE}: ${error}")
    endif()
endforeach()

# chmcmd says "Error" and still succeeds when the contents or the project is missing, and
# notes a missing page with a warning (or dies on it): any of these fails the build.
execute_process(COMMAND "${CHMCMD}" --no-html-scan ${language}.hhp
    WORKING_DIRECTORY "${STAGE}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
set(compiled "${STAGE}/${language}.chm")
if(NOT result EQUAL 0 OR output MATCHES "Error|Warning|exception|Can't" OR NOT EXISTS "${compiled}")
    message(FATAL_ERROR "chmcmd could not compile ${language}.hhp (exit ${result}):\n${output}")
endif()

# The little-endian number of `count` bytes at byte `offset` of a hex dump.
function(read_number hex offset count out)
    set(value 0)
    math(EXPR last "${count} - 1")
    foreach(index RANGE ${last} 0 -1)
        math(EXPR at "(${offset} + ${index}) * 2")
        string(SUBSTRING "${hex}" ${at} 2 byte)
        math(EXPR value "${value} * 256 + 0x${byte}")
    endforeach()
    set(${out} ${value} PARENT_SCOPE)
endfunction()

# The number stored in the directory's variable-length form at byte `offset` (seven bits a
# byte, the most significant first, the top bit set on every byte but the last), and the
# offset just past it.
function(read_directory_number hex offset out next)
    set(value 0)
    while(TRUE)
        math(EXPR at "${offset} * 2")
        string(SUBSTRING "${hex}" ${at} 2 byte)
        math(EXPR byte "0x${byte}")
        math(EXPR value "${value} * 128 + (${byte} & 127)")
        math(EXPR offset "${offset} + 1")
        if(byte LESS 128)
            break()
        endif()
    endwhile()
    set(${out} ${value} PARENT_SCOPE)
    set(${next} ${offset} PARENT_SCOPE)
endfunction()

function(zero_bytes file offset count)
    execute_process(COMMAND dd if=/dev/zero "of=${file}" bs=1 seek=${offset} count=${count}
                            conv=notrunc status=none
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "cannot write ${file}")
    endif()
endfunction()

# chmcmd stamps the compile time into the file's header and into #SYSTEM, the only two
# places where two builds of the same sources differ: both become zero. The header (version
# 3) gives where the directory and the uncompressed section start; the directory entry of
# /#SYSTEM gives where the file lies in that section.
file(READ "${compiled}" header LIMIT 96 HEX)
if(NOT header MATCHES "^4954534603000000")
    message(FATAL_ERROR "${compiled} is not a version 3 CHM file: ${header}")
endif()
read_number("${header}" 72 8 directory_offset)
read_number("${header}" 80 8 directory_length)
read_number("${header}" 88 8 section_offset)
file(READ "${compiled}" directory OFFSET ${directory_offset} LIMIT ${directory_length} HEX)
string(FIND "${directory}" "082f2353595354454d" entry)
math(EXPR odd "${entry} % 2")
if(entry EQUAL -1 OR odd)
    message(FATAL_ERROR "${compiled} has no /#SYSTEM in its directory")
endif()
math(EXPR cursor "${entry} / 2 + 9")
read_directory_number("${directory}" ${cursor} section cursor)
read_directory_number("${directory}" ${cursor} system_offset cursor)
math(EXPR system_at "${section_offset} + ${system_offset}")
file(READ "${compiled}" system_start OFFSET ${system_at} LIMIT 8 HEX)
# Version 3, then the time stamp's entry: code 10, four bytes long.
if(NOT section EQUAL 0 OR NOT system_start STREQUAL "030000000a000400")
    message(FATAL_ERROR "${compiled}: /#SYSTEM does not start with its time stamp")
endif()
zero_bytes("${compiled}" 16 4)
math(EXPR stamp_at "${system_at} + 8")
zero_bytes("${compiled}" ${stamp_at} 4)

file(COPY_FILE "${compiled}" "${GUIDE}")
