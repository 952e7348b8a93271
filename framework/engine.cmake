# The original framework's behaviours that need no widgets: the formats,
# the number conversions, the settings file and the registry accessor.
# Included by the program's build and by the engines that stand on it.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/../platform/engine.cmake)
set(OVLIX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
add_library(ovlix_framework_engine STATIC
  ${OVLIX_ROOT}/framework/convert.cpp
  ${OVLIX_ROOT}/framework/format.cpp
  ${OVLIX_ROOT}/framework/ini_file.cpp
  ${OVLIX_ROOT}/framework/registry_access.cpp
)
target_link_libraries(ovlix_framework_engine PUBLIC ovlix_platform)
