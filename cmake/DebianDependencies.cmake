# Run by cpack as it starts (CPACK_PROJECT_CONFIG_FILE): the package's
# dependencies from the built files, through dpkg-shlibdeps. The libraries of
# VIVUVEV_PROGRAM_FILES go into Depends; those only VIVUVEV_PLUGIN_FILES need
# (FFmpeg's, for the video writer) into Recommends: without them every
# program runs, and only videos are refused. dpkg-shlibdeps wants a
# debian/control where it runs, which may be empty.
file(WRITE ${VIVUVEV_SHLIBDEPS_DIR}/debian/control "")
set(arguments -O)
foreach(file IN LISTS VIVUVEV_PROGRAM_FILES)
  list(APPEND arguments -e${file})
endforeach()
list(APPEND arguments -dRecommends)
foreach(file IN LISTS VIVUVEV_PLUGIN_FILES)
  list(APPEND arguments -e${file})
endforeach()
execute_process(COMMAND dpkg-shlibdeps ${arguments} WORKING_DIRECTORY ${VIVUVEV_SHLIBDEPS_DIR}
                OUTPUT_VARIABLE fields ERROR_VARIABLE warnings RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "dpkg-shlibdeps failed: ${warnings}")
endif()
# A library both need is only in Depends: dpkg-shlibdeps keeps each in the
# strongest field.
string(REGEX MATCH "shlibs:Depends=([^\n]*)" found "${fields}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
string(REGEX MATCH "shlibs:Recommends=([^\n]*)" found "${fields}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "${CMAKE_MATCH_1}")
