# The settings file and its helpers (veloran_settings). The host's runtime layer
# supplies ProgramFolder().
add_library(veloran_settings STATIC
  ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
)
if(WIN32)
  target_sources(veloran_settings PRIVATE ${CMAKE_CURRENT_LIST_DIR}/win32/profile.cpp)
else()
  target_sources(veloran_settings PRIVATE ${CMAKE_CURRENT_LIST_DIR}/linux/profile.cpp)
endif()
target_include_directories(veloran_settings PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(veloran_settings PUBLIC veloran_common)
