# Run as a script: writes OUTPUT, the Debian copyright files of the packages whose static
# libraries the compiler COMPILER links into every program (the C++ runtime, libgcc, the
# mingw-w64 C runtime and winpthreads), each file once, with Windows line ends.
cmake_minimum_required(VERSION 3.25)
set(copyrights "")
foreach(library libstdc++.a libgcc.a libwinpthread.a libmsvcrt.a)
  execute_process(COMMAND ${COMPILER} -print-file-name=${library} OUTPUT_VARIABLE path
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  file(REAL_PATH ${path} path)
  execute_process(COMMAND dpkg-query --search ${path} OUTPUT_VARIABLE owner OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX REPLACE ":.*" "" package "${owner}")
  file(REAL_PATH /usr/share/doc/${package}/copyright copyright)
  string(MAKE_C_IDENTIFIER ${copyright} key)
  list(APPEND copyrights ${copyright})
  list(APPEND libraries_${key} ${library})
endforeach()
list(REMOVE_DUPLICATES copyrights)

set(text "Third-party notices\n\nkivo.exe contains parts of the following libraries, which are under these terms.\n")
foreach(copyright IN LISTS copyrights)
  string(MAKE_C_IDENTIFIER ${copyright} key)
  list(JOIN libraries_${key} ", " names)
  file(READ ${copyright} terms)
  string(APPEND text "\n\n==== ${names}: ${copyright} ====\n\n${terms}")
endforeach()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
