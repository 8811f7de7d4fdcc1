# The packages give every file, and themselves, one time: SOURCE_DATE_EPOCH where the environment
# sets it, else the time of the source tree's last commit, so that two builds of one commit pack
# the same bytes. cpack runs kivo_source_date.cmake as it starts, to read the commit then.
set(CPACK_KIVO_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/kivo_source_date.cmake)
