# Run as a script: writes OUTPUT, the notices of the runtime libraries that the compiler COMPILER
# links statically into kivo.exe, for a Windows user to read: the GCC runtime (libstdc++, libgcc)
# and the mingw-w64 runtime (its C runtime and winpthreads). Each licence is there in full and
# once, as the Debian packages of this machine's compiler carry it, with Windows line ends.
cmake_minimum_required(VERSION 3.25)

# The Debian package that holds the file the compiler finds under this name, and its version.
function(kivo_owner name package version)
  execute_process(COMMAND ${COMPILER} -print-file-name=${name} OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REAL_PATH ${path} path)
  execute_process(COMMAND dpkg-query --search ${path} OUTPUT_VARIABLE owner OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX REPLACE ":.*" "" owner "${owner}")
  execute_process(COMMAND dpkg-query -W -f=\${Version} ${owner} OUTPUT_VARIABLE number COMMAND_ERROR_IS_FATAL ANY)
  set(${package} ${owner} PARENT_SCOPE)
  set(${version} ${number} PARENT_SCOPE)
endfunction()

function(kivo_read_or_fail path pattern out)
  file(READ ${path} text)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${path} no longer holds what the notices take from it")
  endif()
  set(${out} "${CMAKE_MATCH_0}" PARENT_SCOPE)
endfunction()

# The GCC runtime: the GPL, version 3, with the runtime library exception, and the permission
# notice of the template library's oldest headers.
kivo_owner(libstdc++.a gcc_package gcc_version)
file(REAL_PATH /usr/share/doc/${gcc_package}/copyright gcc_copyright)
kivo_read_or_fail(${gcc_copyright} "GCC RUNTIME LIBRARY EXCEPTION\n.*requirements of the license of GCC\\.\n" exception)
kivo_read_or_fail(/usr/share/common-licenses/GPL-3 ".*" gpl)
execute_process(COMMAND ${COMPILER} -print-file-name=include/c++/bits/stl_algo.h OUTPUT_VARIABLE stl_algo
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
kivo_read_or_fail(${stl_algo} " \\* Copyright \\(c\\) 1994\n.*without express or implied warranty\\.\n" stl)
string(REGEX REPLACE "(^|\n) \\* ?" "\\1" stl "${stl}")

# The mingw-w64 runtime: of its machine-readable copyright file, the paragraphs of the C runtime
# and of winpthreads, without the profiler and the tests, which no program contains, and the
# text of each licence they name.
kivo_owner(libmsvcrt.a crt_package crt_version)
file(READ /usr/share/doc/${crt_package}/copyright text)
string(REPLACE ";" "<semicolon>" text "${text}")
string(REGEX REPLACE "\n[ \t]*\n" ";" paragraphs "${text}")
set(runtime "")
set(named "")
foreach(paragraph IN LISTS paragraphs)
  if(paragraph MATCHES "^Files: \\*\n" OR (paragraph MATCHES "^Files: [^\n]*(mingw-w64-crt/|winpthreads/)"
                                           AND NOT paragraph MATCHES "/profile/|tests_pthread"))
    string(APPEND runtime "${paragraph}\n\n")
    string(REGEX MATCH "\nLicense: [^\n]*" names "${paragraph}")
    string(REGEX REPLACE "\nLicense: | and | or " ";" names "${names}")
    list(APPEND named ${names})
  elseif(paragraph MATCHES "^License: ([^\n]*)")
    string(MAKE_C_IDENTIFIER "${CMAKE_MATCH_1}" key)
    set(licence_${key} "${paragraph}")
  endif()
endforeach()
list(REMOVE_DUPLICATES named)
foreach(name IN LISTS named)
  string(MAKE_C_IDENTIFIER "${name}" key)
  if(DEFINED licence_${key})
    string(APPEND runtime "${licence_${key}}\n\n")
  endif()
endforeach()
string(REPLACE "<semicolon>" ";" runtime "${runtime}")

set(rule "================================================================================")
file(WRITE ${OUTPUT} "Third-party notices

kivo.exe contains parts of two runtime libraries, which the compiler links into every program it
makes. Kivo itself is under the MIT licence in LICENSE.txt.

1. The GCC runtime (libstdc++ and libgcc), from Debian's GCC ${gcc_version}.
   Copyright (C) the Free Software Foundation, Inc.
   Under the GNU General Public License, version 3 or later, with the GCC Runtime Library
   Exception, version 3.1; parts of libstdc++'s headers under the Hewlett-Packard and Silicon
   Graphics notices below.

2. The mingw-w64 runtime (its C runtime and winpthreads), from Debian's mingw-w64 ${crt_version}.
   Under the licences below, file by file as its authors give them.

${rule}
1. The GCC runtime
${rule}

${exception}
${rule}

${stl}
${rule}

${gpl}
${rule}
2. The mingw-w64 runtime
${rule}

${runtime}")
file(READ ${OUTPUT} text)
string(REGEX REPLACE "\n+$" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
