# Start-up and mode dispatch (platform-free logic), and the runtime layer under the
# host for this platform.

# The program folder (which the settings file also needs), for this platform.
if(WIN32)
  add_library(veloran_program_folder STATIC ${CMAKE_CURRENT_LIST_DIR}/win32/program_folder.cpp)
else()
  add_library(veloran_program_folder STATIC ${CMAKE_CURRENT_LIST_DIR}/linux/program_folder.cpp)
endif()
target_include_directories(veloran_program_folder PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# Whatever links the settings file's helpers gets the program folder they call.
target_link_libraries(veloran_settings INTERFACE veloran_program_folder)

add_library(veloran_startup STATIC ${CMAKE_CURRENT_LIST_DIR}/startup.cpp)
target_include_directories(veloran_startup PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# Main hands over to the saver-run and preview forms, which read the module's state.
target_link_libraries(veloran_startup PUBLIC veloran_saver veloran_settings veloran_program_folder veloran_assets veloran_common)

if(WIN32)
  add_library(veloran_runtime STATIC
    ${CMAKE_CURRENT_LIST_DIR}/win32/runtime_win32.cpp)
  target_link_libraries(veloran_runtime PUBLIC veloran_startup gdi32 user32)
else()
  # Debian's FLTK package configuration insists on the separate fluid program, which
  # the host does not need: find the library and headers directly.
  find_path(FLTK_INCLUDE_DIR FL/Fl.H REQUIRED)
  find_library(FLTK_BASE_LIBRARY fltk REQUIRED)
  find_package(X11 REQUIRED)
  add_library(veloran_runtime STATIC
    ${CMAKE_CURRENT_LIST_DIR}/x11/runtime_x11.cpp)
  target_include_directories(veloran_runtime PRIVATE ${FLTK_INCLUDE_DIR})
  target_link_libraries(veloran_runtime PUBLIC veloran_startup ${FLTK_BASE_LIBRARY} X11::X11)
endif()
target_include_directories(veloran_runtime PUBLIC
  ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/${VELORAN_PLATFORM})
