# Debian's hardening for the native build: the flags dpkg-buildflags gives
# with every hardening feature on (stack protector, fortified C library calls,
# format checks, relocations read-only and bound at start-up), and
# position-independent executables. Only these flags are taken from it; the
# optimisation and debugging flags stay the preset's.
#
# Sanitizer builds go without: fortified calls want optimisation, which the
# asan preset turns off, and they get in the way of the sanitizers' own
# interceptors. The compile flags are left out of Debug builds too, where
# fortifying cannot work without optimisation.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()

find_program(VIVUVEV_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT VIVUVEV_DPKG_BUILDFLAGS)
  message(WARNING "dpkg-buildflags (package dpkg-dev) not found: building without Debian's hardening flags")
  return()
endif()

foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${VIVUVEV_DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags INCLUDE REGEX "^(-fstack-|-fcf-protection|-D_FORTIFY_SOURCE|-Wformat|-Werror=format|-Wl,-z,)")
  foreach(flag IN LISTS flags)
    if(kind STREQUAL LDFLAGS)
      add_link_options(${flag})
    else()
      add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
    endif()
  endforeach()
endforeach()
