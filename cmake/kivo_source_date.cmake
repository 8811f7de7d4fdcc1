# Run by cpack before it packs (see KivoSourceDate.cmake). cpack takes every time it writes from
# SOURCE_DATE_EPOCH; outside a git checkout, CHANGELOG.md's time stands in for the last commit's.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C ${CPACK_KIVO_SOURCE_DIR} log -1 --format=%ct OUTPUT_VARIABLE epoch
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(failed OR NOT epoch)
    file(TIMESTAMP ${CPACK_KIVO_SOURCE_DIR}/CHANGELOG.md epoch %s UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
