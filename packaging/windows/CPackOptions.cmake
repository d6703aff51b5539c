# Read by cpack once per generator: the setup program is named for what it is.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "Veloran-${CPACK_PACKAGE_VERSION}-setup")
endif()
