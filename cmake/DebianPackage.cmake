# Installing the X11 programs and packaging them as a .deb that follows
# Debian's policy: programs under names of their own, stripped; the module
# where XScreenSaver looks for hacks, with its config file and the desktop
# file screensaver front-ends read; manual pages; the copyright file and the
# changelog.
include(GNUInstallDirs)

set(VIVUVEV_MAINTAINER "Vivuvev developers <vivuvev@example.org>" CACHE STRING
    "The .deb's maintainer, as \"Name <address>\"")

# A program target installed under another name. install(TARGETS) cannot
# rename, so the stripping it would do (cmake --install --strip, and CPack
# with CPACK_STRIP_FILES) is done here.
function(vivuvev_install_program target name)
  install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION ${VIVUVEV_PROGRAM_DIR} RENAME ${name})
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VIVUVEV_PROGRAM_DIR}/${name}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endfunction()

vivuvev_install_program(saver vivuvev-saver)
vivuvev_install_program(standalone vivuvev-standalone)
install(TARGETS vivuvev-render RUNTIME DESTINATION ${VIVUVEV_PROGRAM_DIR})
install(TARGETS vivuvev-video LIBRARY DESTINATION ${VIVUVEV_VIDEO_PLUGIN_DIR})
install(TARGETS vivuvev RUNTIME DESTINATION ${VIVUVEV_MODULE_DIR})
install(FILES data/vivuvev.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES data/standalone.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME vivuvev.desktop)
install(FILES data/screensaver.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers
        RENAME vivuvev.desktop)

# Every manual page in data/man and the changelog (which carries the
# maintainer set at configure time), compressed as Debian ships them: gzip -9n
# leaves no name or time stamp in the header, so the same text gives the same
# bytes.
set(generated ${CMAKE_BINARY_DIR}/package)
set(compressed_files)
function(vivuvev_install_compressed source destination)
  get_filename_component(name ${source} NAME)
  set(compressed ${generated}/${name}.gz)
  add_custom_command(OUTPUT ${compressed} COMMAND gzip -9nc ${source} > ${compressed} DEPENDS ${source})
  install(FILES ${compressed} DESTINATION ${destination})
  set(compressed_files ${compressed_files} ${compressed} PARENT_SCOPE)
endfunction()

file(GLOB manual_pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/man/*.6)
foreach(page IN LISTS manual_pages)
  vivuvev_install_compressed(${page} ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()
configure_file(data/changelog.in ${generated}/changelog @ONLY)
vivuvev_install_compressed(${generated}/changelog ${CMAKE_INSTALL_DOCDIR})
add_custom_target(compressed_docs ALL DEPENDS ${compressed_files})

# The licence in Debian's machine-readable copyright format.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
string(FIND "${licence}" "Permission is hereby granted" start)
string(SUBSTRING "${licence}" ${start} -1 permission)
string(STRIP "${permission}" permission)
string(REPLACE "\n\n" "\n.\n" permission "${permission}")
string(REPLACE "\n" "\n " permission "${permission}")
file(WRITE ${generated}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Vivuvev

Files: *
Copyright: 2026 The Vivuvev developers
License: Expat

License: Expat
 ${permission}
")
install(FILES ${generated}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vivuvev)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VIVUVEV_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen animation of coloured rings, also a screensaver")
set(CPACK_PACKAGE_DESCRIPTION
"Vivuvev fills the screen with coloured rings. In every cycle one ring grows
out of a random centre in one colour while another shrinks towards it in a
second, and the picture follows them with a soft trail.

The package holds vivuvev-standalone, which runs the animation until Escape;
vivuvev-saver, which runs it as a screensaver does, until any key or mouse
movement; the vivuvev module for XScreenSaver with its settings file; and
vivuvev-render, which draws the animation without a display and writes its
frames as PNG images, for stills and wallpapers, or as one video (--video:
MP4, WebM, animated WebP or GIF, at the rate --fps sets). The module can
record its first frames into a video too. Videos are written through
FFmpeg's libraries, which only the video writer's plugin loads.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)

# The programs' libraries are dependencies; FFmpeg's, which only the video
# writer's plugin links, are recommended (cmake/DebianDependencies.cmake,
# run by cpack over the built files).
file(GENERATE OUTPUT ${generated}/dependencies.cmake CONTENT "
set(VIVUVEV_PROGRAM_FILES $<TARGET_FILE:saver> $<TARGET_FILE:standalone> $<TARGET_FILE:vivuvev-render> $<TARGET_FILE:vivuvev>)
set(VIVUVEV_PLUGIN_FILES $<TARGET_FILE:vivuvev-video>)
set(VIVUVEV_SHLIBDEPS_DIR ${generated}/shlibdeps)
include(${CMAKE_SOURCE_DIR}/cmake/DebianDependencies.cmake)
")
set(CPACK_PROJECT_CONFIG_FILE ${generated}/dependencies.cmake)
include(CPack)
