# The papers that go beside the program on Linux, made from the files kept in the repository:
# the release date and the Debian changelog from CHANGELOG.md, the copyright file from LICENSE,
# the man page from the program's own help.

# The date of this version's entry in CHANGELOG.md; a version without one fails the configure.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md release REGEX "^## ${PROJECT_VERSION} \\(")
if(NOT release MATCHES "\\(([0-9]+-[0-9]+-[0-9]+)\\)")
  message(FATAL_ERROR "CHANGELOG.md has no entry '## ${PROJECT_VERSION} (<yyyy-mm-dd>)'")
endif()
set(KIVO_RELEASE_DATE ${CMAKE_MATCH_1})
# Dates written into generated files are the release's, so two builds of one commit agree.
execute_process(COMMAND date -u -d ${KIVO_RELEASE_DATE} +%s OUTPUT_VARIABLE KIVO_RELEASE_EPOCH
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# CHANGELOG.md's lines as a list. A semicolon would split a line in two, so it stands as
# %SEMICOLON% until the text is written out.
function(kivo_changelog_lines markdown out)
  file(READ ${markdown} text)
  string(REPLACE ";" "%SEMICOLON%" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# This version's entry in CHANGELOG.md as the items of an AppStream list, for the metainfo's release.
kivo_changelog_lines(${PROJECT_SOURCE_DIR}/CHANGELOG.md lines)
set(KIVO_RELEASE_NOTES "")
set(in_release FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^## ")
    string(FIND "${line}" "## ${PROJECT_VERSION} (" start)
    string(COMPARE EQUAL "${start}" "0" in_release)
  elseif(in_release AND line MATCHES "^(- |  +)(.*)")
    string(REPLACE "&" "&amp;" text "${CMAKE_MATCH_2}")
    string(REPLACE "<" "&lt;" text "${text}")
    if(CMAKE_MATCH_1 STREQUAL "- ")
      string(APPEND KIVO_RELEASE_NOTES "</li>\n          <li>${text}")
    else()
      string(APPEND KIVO_RELEASE_NOTES " ${text}")
    endif()
  endif()
endforeach()
string(REGEX REPLACE "^</li>\n *" "" KIVO_RELEASE_NOTES "${KIVO_RELEASE_NOTES}</li>")
string(REPLACE "%SEMICOLON%" ";" KIVO_RELEASE_NOTES "${KIVO_RELEASE_NOTES}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                                                              ${PROJECT_SOURCE_DIR}/LICENSE)

# The machine-readable Debian copyright file, with the MIT licence (Debian's name: Expat) and the
# copyright line as LICENSE has them.
function(kivo_debian_copyright license output)
  file(READ ${license} text)
  string(REGEX REPLACE "^Copyright \\(c\\) " "" holder "${KIVO_COPYRIGHT}")
  string(REGEX REPLACE "^MIT License\n\n[^\n]*\n\n" "" terms "${text}")
  string(REGEX REPLACE "\n+$" "" terms "${terms}")
  string(REGEX REPLACE "\n\n" "\n.\n" terms "${terms}")
  string(REGEX REPLACE "\n" "\n " terms "${terms}")
  file(WRITE ${output} "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Kivo
Source: ${PROJECT_HOMEPAGE_URL}

Files: *
Copyright: ${holder}
License: Expat
 ${terms}
")
endfunction()

# CHANGELOG.md's entries as a Debian changelog, compressed as Debian policy asks.
function(kivo_debian_changelog markdown output)
  kivo_changelog_lines(${markdown} lines)
  set(entries "")
  set(entry "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^## ([^ ]+) \\(([0-9-]+)\\)")
      string(APPEND entries "${entry}")
      execute_process(COMMAND date -u -R -d ${CMAKE_MATCH_2} OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE
                      COMMAND_ERROR_IS_FATAL ANY)
      string(APPEND entries "kivo (${CMAKE_MATCH_1}) unstable; urgency=medium\n\n")
      set(entry "\n -- ${KIVO_CONTACT}  ${date}\n\n")
    elseif(entry AND line MATCHES "^- (.*)")
      string(APPEND entries "  * ${CMAKE_MATCH_1}\n")
    elseif(entry AND line MATCHES "^  +(.*)")
      string(APPEND entries "    ${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  string(APPEND entries "${entry}")
  string(REGEX REPLACE "\n+$" "\n" entries "${entries}")
  string(REPLACE "%SEMICOLON%" ";" entries "${entries}")
  string(REGEX REPLACE "\\.gz$" "" plain ${output})
  file(WRITE ${plain} "${entries}")
  execute_process(COMMAND gzip -9nf ${plain} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# kivo.1.gz from `kivo --help`, `kivo --version` and the hand-written sections in the include file.
function(kivo_man_page target include output)
  find_program(KIVO_HELP2MAN help2man REQUIRED)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${KIVO_HELP2MAN} -DPROGRAM=$<TARGET_FILE:${target}> -DINCLUDE=${include}
            -DOUTPUT=${output} -DEPOCH=${KIVO_RELEASE_EPOCH} -P ${PROJECT_SOURCE_DIR}/cmake/kivo_man_page.cmake
    DEPENDS ${target} ${include} ${PROJECT_SOURCE_DIR}/cmake/kivo_man_page.cmake
    VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS ${output})
endfunction()
