# The same sources give the same programs, byte for byte, in any build folder
# and at any time (scripts/reproducible.sh checks it):
# - nothing that the compiler writes (the file names of traces, debug
#   information) names the machine's folders: the source and build folders are
#   mapped away, the build folder last so that it wins inside the source folder;
# - the PE header holds no link time (and so no changing header checksum):
#   every Windows link goes through cmake/pe-link.sh, which gives the linker
#   SOURCE_DATE_EPOCH as the time stamp when it is set, and 0 otherwise.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
if(WIN32)
    set(CMAKE_C_LINKER_LAUNCHER sh ${CMAKE_CURRENT_LIST_DIR}/pe-link.sh)
    set(CMAKE_CXX_LINKER_LAUNCHER sh ${CMAKE_CURRENT_LIST_DIR}/pe-link.sh)
endif()
