# Release builds, and so the package, are hardened as Debian hardens its own
# packages: the flags dpkg-buildflags gives with every hardening feature on
# (fortified glibc calls, strong stack protector, format checks, full RELRO
# with immediate binding), position-independent executables, and the two
# protections this dpkg does not list yet but Debian's later ones do (stack
# clash, control flow). The build type keeps its own optimisation and debug
# information. Debug builds (fortification needs an optimising compiler) and
# sanitizer builds keep their own flags.
option(SORABE_HARDEN "Harden release builds with Debian's build flags" ON)
if(NOT SORABE_HARDEN OR SORABE_SANITIZE OR NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  return()
endif()

find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(FATAL_ERROR "dpkg-buildflags (package dpkg-dev) is needed for a hardened build; "
                      "configure with -DSORABE_HARDEN=OFF to build without it")
endif()

function(sorabe_buildflags out variable)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${DPKG_BUILDFLAGS} --get ${variable}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  # Optimisation, debug information and path mapping are the build type's.
  list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

sorabe_buildflags(hardening_cppflags CPPFLAGS)
sorabe_buildflags(hardening_cxxflags CXXFLAGS)
sorabe_buildflags(hardening_ldflags LDFLAGS)

include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "HAVE${flag}" have)
  check_cxx_compiler_flag(${flag} ${have})
  if(${have})
    list(APPEND hardening_cxxflags ${flag})
  endif()
endforeach()

add_compile_options(${hardening_cppflags} ${hardening_cxxflags})
add_link_options(${hardening_ldflags})

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
list(JOIN hardening_cppflags " " shown_cpp)
list(JOIN hardening_cxxflags " " shown_cxx)
list(JOIN hardening_ldflags " " shown_ld)
message(STATUS "Hardened build: ${shown_cpp} ${shown_cxx} ${shown_ld} -pie")
