# Test programs of the cross build run under Wine, each as one ctest entry: listing the
# tests of every program would start Wine once per test.
set(KIVO_WINE_SESSION ${CMAKE_BINARY_DIR}/wine-session)
set(kivo_wine_session_script ${CMAKE_CURRENT_LIST_DIR}/wine-session.sh)

add_test(NAME wine_session_start COMMAND ${kivo_wine_session_script} start ${KIVO_WINE_SESSION})
add_test(NAME wine_session_stop COMMAND ${kivo_wine_session_script} stop ${KIVO_WINE_SESSION})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 120)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session)

function(kivo_add_gtest target)
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES
    FIXTURES_REQUIRED wine_session
    ENVIRONMENT "KIVO_WINE_SESSION=${KIVO_WINE_SESSION}")
endfunction()
