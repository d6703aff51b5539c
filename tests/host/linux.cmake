# End-to-end cases of the Linux host, each on its own Xvfb, with the real programs.
find_package(X11 REQUIRED)
add_executable(host_x11_probe x11_probe.cpp)
target_link_libraries(host_x11_probe PRIVATE X11::X11)
set_target_properties(host_x11_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

foreach(name run_and_escape renderer_missing guard single_character preview)
  add_test(NAME host_linux.${name}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-xvfb --size 1024x768
            bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e_linux.sh ${name}
            ${VELORAN_BIN_DIR} $<TARGET_FILE:host_x11_probe>)
  set_tests_properties(host_linux.${name} PROPERTIES TIMEOUT 240)
endforeach()
