# Run by CPack before it packs the Windows programs: says for each whether it
# carries an Authenticode signature (a certificate table in its PE header).
foreach(_program Velkast.exe velkast-check.exe)
    file(GLOB_RECURSE _file "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${_program}")
    if(NOT _file)
        message(FATAL_ERROR "CPack: ${_program} is not in the package")
    endif()
    file(READ "${_file}" _offset OFFSET 60 LIMIT 4 HEX)
    string(REGEX REPLACE "(..)(..)(..)(..)" "0x\\4\\3\\2\\1" _offset "${_offset}")
    # PE32+: the signature, data directory 4, is 8 bytes at 24 + 144 from the header; its size last.
    math(EXPR _size_at "${_offset} + 24 + 144 + 4")
    file(READ "${_file}" _size OFFSET ${_size_at} LIMIT 4 HEX)
    if(_size STREQUAL "00000000")
        message(STATUS "CPack: ${_program} is NOT signed (scripts/sign.sh signs it before the package is made)")
    else()
        message(STATUS "CPack: ${_program} is signed")
    endif()
endforeach()
