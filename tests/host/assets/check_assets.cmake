# Runs the picture generator into WORK_DIR and compares every file with SOURCE_DIR.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${GENERATOR}" "${WORK_DIR}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "generate_assets failed: ${rc}")
endif()
foreach(name texture_ring texture_stars preview
             button_normal button_highlight button_highlightselect button_selected
             button_pressed button_disable radio_off radio_on metal_strip hand_cursor window_icon)
  foreach(ext bmp png)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                            "${WORK_DIR}/${name}.${ext}" "${SOURCE_DIR}/${name}.${ext}" RESULT_VARIABLE diff)
    if(NOT diff EQUAL 0)
      message(FATAL_ERROR "host/assets/${name}.${ext} differs from what generate_assets draws")
    endif()
  endforeach()
endforeach()
message(STATUS "all host pictures match the generator")
