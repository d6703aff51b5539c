# End-to-end cases of the Windows host under Wine (one private environment each),
# with the real programs.
add_executable(win_probe win_probe.cpp)
set_target_properties(win_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

foreach(name run_and_escape renderer_missing guard single_character preview)
  add_test(NAME host_wine.${name}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-wine-env --root ${CMAKE_BINARY_DIR}/wine
            bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e_wine.sh ${name}
            ${VELORAN_BIN_DIR} $<TARGET_FILE:win_probe>)
  set_tests_properties(host_wine.${name} PROPERTIES TIMEOUT 300)
endforeach()
