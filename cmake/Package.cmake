# What a release ships, and its package (CPack, `--target package`):
# - Windows: Velkast-<version>-win64.zip with Velkast.exe, velkast-check.exe,
#   the README part for users and script authors, LICENSE, the screenshots
#   that README shows, a sample update and SHA256SUMS;
# - host: velkast-check-<version>-linux-<processor>.tar.gz, the same with the
#   Linux velkast-check, for publishers who check their scripts in CI.
# The shipped programs are linked without symbols in Release and installed as
# built, never stripped on the way: a signature put on them in the build folder
# (scripts/sign.sh, after the build, before the package) is what the package
# holds.

if(WIN32)
    set(_shipped Velkast velkast-check)
    set(CPACK_PACKAGE_NAME Velkast)
    set(CPACK_SYSTEM_NAME win64)
    set(CPACK_GENERATOR ZIP)
else()
    set(_shipped velkast-check)
    set(CPACK_PACKAGE_NAME velkast-check)
    string(TOLOWER "linux-${CMAKE_SYSTEM_PROCESSOR}" CPACK_SYSTEM_NAME)
    set(CPACK_GENERATOR TGZ)
endif()
foreach(_target IN LISTS _shipped)
    target_link_options(${_target} PRIVATE $<$<CONFIG:Release>:-s>)
endforeach()
if(NOT WIN32)
    # Runs on any Linux with the build machine's C library or a newer one.
    target_link_options(velkast-check PRIVATE $<$<CONFIG:Release>:-static-libstdc++ -static-libgcc>)
endif()

# The README part and the sample update, made from their sources by the build.
set(_release ${CMAKE_BINARY_DIR}/release)
add_custom_command(OUTPUT ${_release}/README.md
    COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/README.md -DOUT=${_release}/README.md
        -DVERSION=${PROJECT_VERSION} -P ${CMAKE_CURRENT_LIST_DIR}/UserReadme.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/UserReadme.cmake
    COMMENT "Writing the package's README.md"
    VERBATIM)
file(GLOB_RECURSE _sample_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/scripts/demo/package/*)
add_custom_command(OUTPUT ${_release}/sample.stamp
    COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/sample-package.sh ${_release}/sample
    COMMAND ${CMAKE_COMMAND} -E touch ${_release}/sample.stamp
    DEPENDS ${CMAKE_SOURCE_DIR}/scripts/sample-package.sh ${_sample_sources}
    COMMENT "Writing the sample update"
    VERBATIM)
add_custom_target(velkast_release_files ALL DEPENDS ${_release}/README.md ${_release}/sample.stamp)

install(TARGETS ${_shipped} RUNTIME DESTINATION .)
install(FILES ${_release}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs FILES_MATCHING PATTERN "*.png")
install(DIRECTORY ${_release}/sample/ DESTINATION sample)
# Last: the sums of everything installed above, as `sha256sum -c` reads them.
install(CODE [[
    set(_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    set(_files ${CMAKE_INSTALL_MANIFEST_FILES})
    list(SORT _files)
    set(_sums "")
    foreach(_file IN LISTS _files)
        file(RELATIVE_PATH _name "${_root}" "${_file}")
        file(SHA256 "${_file}" _sum)
        string(APPEND _sums "${_sum}  ${_name}\n")
    endforeach()
    message(STATUS "Installing: ${_root}/SHA256SUMS")
    file(WRITE "${_root}/SHA256SUMS" "${_sums}")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_root}/SHA256SUMS")
]])

set(CPACK_PACKAGE_VENDOR "Velkast contributors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A small Windows updater with a Japanese user interface")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES OFF)
if(WIN32)
    # Says whether the programs are signed, so that an unsigned package is never made unnoticed.
    set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageSignatures.cmake)
endif()
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build/" "/out/")
include(CPack)
