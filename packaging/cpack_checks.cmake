# Read by cpack: the programs of a package must look for the catalogues where
# the package puts them.
if(NOT CPACK_VARNEL_DATA_DIR STREQUAL CPACK_VARNEL_PACKAGED_DATA_DIR)
  message(FATAL_ERROR "The programs look for the catalogues in ${CPACK_VARNEL_DATA_DIR}, the "
                      "package installs them in ${CPACK_VARNEL_PACKAGED_DATA_DIR}: configure with "
                      "-DVARNEL_DATA_DIR=${CPACK_VARNEL_PACKAGED_DATA_DIR} (scripts/package.sh does).")
endif()
