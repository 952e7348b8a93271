# What the build needs from the system, each found by its own means and, when
# missing, named by the Debian package that brings it (README.md lists them).
include_guard(GLOBAL)

# ovlix_require_module(PREFIX MODULE DEBIAN-PACKAGE): a pkg-config module as
# the imported target PkgConfig::PREFIX.
function(ovlix_require_module prefix module package)
  find_package(PkgConfig QUIET)
  if(NOT PKG_CONFIG_FOUND)
    message(FATAL_ERROR "pkg-config is missing; on Debian: apt-get install pkg-config")
  endif()
  pkg_check_modules(${prefix} QUIET IMPORTED_TARGET GLOBAL ${module})
  if(NOT ${prefix}_FOUND)
    message(FATAL_ERROR "${module} is missing; on Debian: apt-get install ${package}")
  endif()
endfunction()

# ovlix_require_found(FOUND-VARIABLE WHAT DEBIAN-PACKAGE): stops with the
# package's name after a quiet find_package.
function(ovlix_require_found found what package)
  if(NOT ${found})
    message(FATAL_ERROR "${what} is missing; on Debian: apt-get install ${package}")
  endif()
endfunction()
