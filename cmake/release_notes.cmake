# The releases as NEWS in the source keeps them, the one place for a
# release: "VERSION (YYYY-MM-DD)", then the notes, each "  * …" continued on
# lines indented by four blanks. Included before project(), which takes its
# version from here.
include_guard(GLOBAL)

# ovlix_read_releases(FILE): OVLIX_RELEASES (the versions, newest first),
# and for each version V: OVLIX_RELEASE_DATE_V (YYYY-MM-DD) and
# OVLIX_RELEASE_NOTES_V (the notes, one a list element, lines joined by
# "\n").
macro(ovlix_read_releases file)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(STRINGS ${file} _lines ENCODING UTF-8)
  set(OVLIX_RELEASES)
  set(_version)
  foreach(_line IN LISTS _lines)
    if(_line MATCHES "^([0-9]+\\.[0-9]+\\.[0-9]+) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)$")
      set(_version ${CMAKE_MATCH_1})
      list(APPEND OVLIX_RELEASES ${_version})
      set(OVLIX_RELEASE_DATE_${_version} ${CMAKE_MATCH_2})
      set(OVLIX_RELEASE_NOTES_${_version})
    elseif(_version AND _line MATCHES "^  \\* (.+)$")
      list(APPEND OVLIX_RELEASE_NOTES_${_version} "${CMAKE_MATCH_1}")
    elseif(_version AND _line MATCHES "^    (.+)$" AND OVLIX_RELEASE_NOTES_${_version})
      list(POP_BACK OVLIX_RELEASE_NOTES_${_version} _note)
      list(APPEND OVLIX_RELEASE_NOTES_${_version} "${_note}\n${CMAKE_MATCH_1}")
    elseif(_version AND NOT _line STREQUAL "")
      message(FATAL_ERROR "${file}: a release's note is \"  * …\", continued by four blanks: ${_line}")
    endif()
  endforeach()
  if(NOT OVLIX_RELEASES)
    message(FATAL_ERROR "${file} names no release (a line \"VERSION (YYYY-MM-DD)\")")
  endif()
endmacro()

# ovlix_debian_date(VAR YYYY-MM-DD): the date as the Debian changelog
# writes it (RFC 5322), at noon UTC.
function(ovlix_debian_date var date)
  string(REGEX MATCH "^([0-9]+)-0?([0-9]+)-0?([0-9]+)$" _ ${date})
  set(y ${CMAKE_MATCH_1})
  set(m ${CMAKE_MATCH_2})
  set(d ${CMAKE_MATCH_3})
  # Sakamoto's weekday, 0 for Sunday
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR index "${m} - 1")
  list(GET offsets ${index} offset)
  if(m LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${d}) % 7")
  set(days Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET days ${weekday} day)
  list(GET months ${index} month)
  string(REGEX MATCH "^[0-9]+" year ${date})
  if(d LESS 10)
    set(d 0${d})
  endif()
  set(${var} "${day}, ${d} ${month} ${year} 12:00:00 +0000" PARENT_SCOPE)
endfunction()

# ovlix_write_release_files(DEBIAN-CHANGELOG APPSTREAM-RELEASES-VAR): the
# Debian changelog as a file, the AppStream <releases> element into a
# variable for the metadata's template.
function(ovlix_write_release_files changelog releases_var)
  set(debian "")
  set(xml "<releases>\n")
  foreach(version IN LISTS OVLIX_RELEASES)
    set(date ${OVLIX_RELEASE_DATE_${version}})
    ovlix_debian_date(debian_date ${date})
    string(APPEND debian "ovlix (${version}) unstable; urgency=medium\n\n")
    string(APPEND xml "    <release version=\"${version}\" date=\"${date}\">\n      <description>\n        <ul>\n")
    foreach(note IN LISTS OVLIX_RELEASE_NOTES_${version})
      string(REPLACE "\n" "\n    " item "${note}")
      string(APPEND debian "  * ${item}\n")
      string(REPLACE "&" "&amp;" text "${note}")
      string(REPLACE "<" "&lt;" text "${text}")
      string(REPLACE ">" "&gt;" text "${text}")
      string(REPLACE "\n" " " text "${text}")
      string(APPEND xml "          <li>${text}</li>\n")
    endforeach()
    string(APPEND debian "\n -- The Ovlix developers <dev@ovlix.org>  ${debian_date}\n\n")
    string(APPEND xml "        </ul>\n      </description>\n    </release>\n")
  endforeach()
  string(APPEND xml "  </releases>")
  string(STRIP "${debian}" debian)
  file(WRITE ${changelog} "${debian}\n")
  set(${releases_var} "${xml}" PARENT_SCOPE)
endfunction()
