# veloran_renderer_scenarios(PLATFORM OUT): the cases of scenarios.sh that PLATFORM
# runs, as NAME:SIZE (the screen size to start with; "none" for no display, "dual"
# for two 1280x1024 outputs side by side on Xorg's dummy driver, "wayland" for
# XWayland in weston), read from the first line of each scenario.
function(veloran_renderer_scenarios platform out)
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/scenarios.sh)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
  file(STRINGS ${script} lines REGEX "^scenario_[a-z_]+\\(\\) {  # ")
  set(cases)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^scenario_([a-z_]+).*" "\\1" name "${line}")
    string(REGEX MATCH " ${platform}:[0-9a-z]+" size "${line}")
    if(size)
      string(REPLACE " ${platform}:" "" size "${size}")
      list(APPEND cases ${name}:${size})
    endif()
  endforeach()
  set(${out} ${cases} PARENT_SCOPE)
endfunction()
