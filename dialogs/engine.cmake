# What the dialogs read and do without Qt: the tips' rich text and the folder
# lock (shared with the lock tool). Included by the program's build and by
# the fuzz targets.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/../platform/engine.cmake)
set(OVLIX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
add_library(ovlix_dialogs_engine STATIC
  ${OVLIX_ROOT}/dialogs/folder_lock.cpp
  ${OVLIX_ROOT}/dialogs/rich_text.cpp
)
target_link_libraries(ovlix_dialogs_engine PUBLIC ovlix_platform)
