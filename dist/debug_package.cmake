# Run by cpack once the packages are made: puts right what cpack (3.25)
# gets wrong in the debug symbols' package, ovlix-dbgsym. Its md5sums name
# the files by their staging path instead of their place in the package,
# and it lacks the copyright and changelog every package carries; as
# Debian's own -dbgsym packages do, its doc folder is a link to the main
# package's.
foreach(package ${CPACK_PACKAGE_FILES})
  if(NOT package MATCHES "\\.ddeb$")
    continue()
  endif()
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-fix)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(STRINGS ${tree}/DEBIAN/md5sums sums)
  set(fixed "")
  foreach(line ${sums})
    string(REGEX REPLACE "^([0-9a-f]+)  .*/(usr/lib/debug/.*)$" "\\1  \\2" line "${line}")
    string(APPEND fixed "${line}\n")
  endforeach()
  file(WRITE ${tree}/DEBIAN/md5sums "${fixed}")
  file(MAKE_DIRECTORY ${tree}/usr/share/doc)
  file(CREATE_LINK ovlix ${tree}/usr/share/doc/ovlix-dbgsym SYMBOLIC)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${package} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
