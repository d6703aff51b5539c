# veloran_e2e_cases(SCRIPT CASE_REGEX PLATFORM OUT): the cases of an end-to-end script
# that PLATFORM runs, as NAME:HOW. A line matching CASE_REGEX opens a case (its first
# group is the name) and ends with a comment naming the platforms that run it, each
# as PLATFORM or PLATFORM:HOW ("plain" when HOW is left out), for instance
#   scenario_two_monitors() {  # x11:dual wine:dual
#   music_mp3)  # x11:sound wine:sound
# A case that names no platform stops the configuration rather than never running.
function(veloran_e2e_cases script case_regex platform out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
  file(STRINGS ${script} lines REGEX "${case_regex}")
  set(cases)
  foreach(line IN LISTS lines)
    string(REGEX MATCH "${case_regex}" ignored "${line}")
    set(name ${CMAKE_MATCH_1})
    if(NOT line MATCHES "  # ([a-z0-9: ]+)$")
      message(FATAL_ERROR "${script}: the case ${name} names no platform that runs it")
    endif()
    if(" ${CMAKE_MATCH_1} " MATCHES " ${platform}(:([a-z0-9]+))? ")
      if(CMAKE_MATCH_2)
        list(APPEND cases ${name}:${CMAKE_MATCH_2})
      else()
        list(APPEND cases ${name}:plain)
      endif()
    endif()
  endforeach()
  set(${out} ${cases} PARENT_SCOPE)
endfunction()
