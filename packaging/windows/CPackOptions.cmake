# Read by cpack once per generator: the zip unpacks into a folder of its own, and
# the setup program is named for what it is.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
elseif(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "Veloran-${CPACK_PACKAGE_VERSION}-setup")
endif()
