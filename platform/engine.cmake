# The Win32 stand-ins in plain C++, no Qt: the layer every library stands on.
# (Those that need Qt are ovlix_platform_qt; the real power, keyboard, disk
# and desktop backends are linked into the program alone.) Included by the
# program's build, by the engines above it and by the fuzz targets.
include_guard(GLOBAL)
set(OVLIX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
add_library(ovlix_platform STATIC
  ${OVLIX_ROOT}/platform/atomic_file.cpp
  ${OVLIX_ROOT}/platform/autostart.cpp
  ${OVLIX_ROOT}/platform/cdrom.cpp
  ${OVLIX_ROOT}/platform/codepage.cpp
  ${OVLIX_ROOT}/platform/confinement.cpp
  ${OVLIX_ROOT}/platform/current_desktop.cpp
  ${OVLIX_ROOT}/platform/desktop_params.cpp
  ${OVLIX_ROOT}/platform/desktop_settings.cpp
  ${OVLIX_ROOT}/platform/desktop_tools.cpp
  ${OVLIX_ROOT}/platform/disk_manager.cpp
  ${OVLIX_ROOT}/platform/drives.cpp
  ${OVLIX_ROOT}/platform/file_uri.cpp
  ${OVLIX_ROOT}/platform/file_view.cpp
  ${OVLIX_ROOT}/platform/gnu_options.cpp
  ${OVLIX_ROOT}/platform/host_path.cpp
  ${OVLIX_ROOT}/platform/hotkeys.cpp
  ${OVLIX_ROOT}/platform/key_names.cpp
  ${OVLIX_ROOT}/platform/keyboard.cpp
  ${OVLIX_ROOT}/platform/library.cpp
  ${OVLIX_ROOT}/platform/mapping_guard.cpp
  ${OVLIX_ROOT}/platform/mci.cpp
  ${OVLIX_ROOT}/platform/mutex.cpp
  ${OVLIX_ROOT}/platform/paths.cpp
  ${OVLIX_ROOT}/platform/power.cpp
  ${OVLIX_ROOT}/platform/profile.cpp
  ${OVLIX_ROOT}/platform/read_batch.cpp
  ${OVLIX_ROOT}/platform/registry.cpp
  ${OVLIX_ROOT}/platform/registry_text.cpp
  ${OVLIX_ROOT}/platform/shell.cpp
  ${OVLIX_ROOT}/platform/spawn.cpp
  ${OVLIX_ROOT}/platform/system_info.cpp
  ${OVLIX_ROOT}/platform/toolhelp.cpp
  ${OVLIX_ROOT}/platform/trash.cpp
  ${OVLIX_ROOT}/platform/tray.cpp
  ${OVLIX_ROOT}/platform/window_messages.cpp
)
target_include_directories(ovlix_platform PUBLIC ${OVLIX_ROOT})
# io_uring, for reading a folder of files in batches
include(${OVLIX_ROOT}/cmake/dependencies.cmake)
ovlix_require_module(URING liburing liburing-dev)
target_link_libraries(ovlix_platform PUBLIC PkgConfig::URING)
