# A folder skin's look, read from its Options.dat, without Qt. Included by
# the program's build.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/../platform/engine.cmake)
set(OVLIX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
add_library(ovlix_skin_engine STATIC
  ${OVLIX_ROOT}/skin/skin_look.cpp
)
target_link_libraries(ovlix_skin_engine PUBLIC ovlix_platform)
