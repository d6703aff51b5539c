# The program Veloran.scr, beside Veloran.dll in the build's bin folder.
if(WIN32)
  add_executable(veloran_scr WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/startup/win32/main.cpp)
else()
  add_executable(veloran_scr ${CMAKE_CURRENT_SOURCE_DIR}/startup/x11/main.cpp)
endif()
target_link_libraries(veloran_scr PRIVATE veloran_runtime)
set_target_properties(veloran_scr PROPERTIES OUTPUT_NAME Veloran SUFFIX .scr)
