# The version of this build, from the project's VERSION, in one generated
# header: the version resource of Velkast.exe and velkast-check --version
# include it (link velkast_version). A part that VERSION leaves out is 0.
set(VELKAST_COPYRIGHT "Copyright (c) 2026 Velkast contributors")
foreach(_part MAJOR MINOR PATCH TWEAK)
    if(PROJECT_VERSION_${_part} STREQUAL "")
        set(VELKAST_VERSION_${_part} 0)
    else()
        set(VELKAST_VERSION_${_part} ${PROJECT_VERSION_${_part}})
    endif()
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/VelkastVersion.h.in ${CMAKE_BINARY_DIR}/generated/VelkastVersion.h @ONLY)
add_library(velkast_version INTERFACE)
target_include_directories(velkast_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
