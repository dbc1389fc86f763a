# Writes the README of the release package (OUT) from the project's README.md
# (IN): a title with the version (VERSION), the opening paragraph, and the
# sections for the people who ship and run updates, in the README's order.
# A section missing from README.md stops the build, rather than shipping less.
# Run by the build: cmake -DIN=... -DOUT=... -DVERSION=... -P UserReadme.cmake
set(wanted
    "What the user sees"
    "Unattended runs, for administrators"
    "Writing `Update.up`"
    "Checking an update script"
    "Releasing"
    "License")

file(READ "${IN}" text)

# The opening paragraph: after the title line, up to the first blank line.
string(FIND "${text}" "\n\n" start)
math(EXPR start "${start} + 2")
string(SUBSTRING "${text}" ${start} -1 rest)
string(FIND "${rest}" "\n\n" end)
string(SUBSTRING "${rest}" 0 ${end} intro)
set(out "# Velkast ${VERSION}\n\n${intro}\n")

# Every level-2 section runs from its heading to the next one.
set(found "")
string(FIND "${text}" "\n## " at)
while(at GREATER_EQUAL 0)
    math(EXPR at "${at} + 1")
    string(SUBSTRING "${text}" ${at} -1 text)
    string(FIND "${text}" "\n" eol)
    string(SUBSTRING "${text}" 3 ${eol} heading)
    string(REGEX REPLACE "\n.*" "" heading "${heading}")
    string(FIND "${text}" "\n## " at)
    if(at LESS 0)
        set(section "${text}")
    else()
        string(SUBSTRING "${text}" 0 ${at} section)
    endif()
    list(FIND wanted "${heading}" index)
    if(index GREATER_EQUAL 0)
        string(REGEX REPLACE "\n+$" "\n" section "${section}")
        string(APPEND out "\n${section}")
        list(APPEND found "${heading}")
    endif()
endwhile()

foreach(heading IN LISTS wanted)
    list(FIND found "${heading}" index)
    if(index LESS 0)
        message(FATAL_ERROR "README.md has no section \"## ${heading}\"")
    endif()
endforeach()
file(WRITE "${OUT}" "${out}")
