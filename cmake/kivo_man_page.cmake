# Run as a script: writes the man page OUTPUT (gzip-compressed) with help2man. The help names the
# settings file of whoever runs it, so the program runs with a stand-in home (no hyphen, which
# help2man would escape) that the page shows as ~. The help's last paragraph says how keys would
# be typed on the desktop it runs on; the page's WAYLAND section says it for every desktop instead.
cmake_minimum_required(VERSION 3.25)
set(home /KIVOHOME)
string(REGEX REPLACE "\\.gz$" "" page ${OUTPUT})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=XDG_CONFIG_HOME --unset=WAYLAND_DISPLAY HOME=${home} SOURCE_DATE_EPOCH=${EPOCH}
          ${HELP2MAN} --no-info --no-discard-stderr --include=${INCLUDE} --output=${page} ${PROGRAM}
  COMMAND_ERROR_IS_FATAL ANY)
file(READ ${page} text)
string(REPLACE "${home}" "~" text "${text}")
string(REGEX REPLACE "\\.PP\nKeys are typed through [^\n]*\n" "" text "${text}")
file(WRITE ${page} "${text}")
execute_process(COMMAND gzip -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
