# The resource extractor's engine: plain C++, no Qt, no other library but
# the plain platform and framework ones, liburing and libpng, so the
# command-line extractor links it alone. Included by the program's build and
# by the fuzz targets.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/../framework/engine.cmake)
set(OVLIX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
add_library(ovlix_resx STATIC
  ${OVLIX_ROOT}/resx/rxtypes.cpp
  ${OVLIX_ROOT}/resx/damage.cpp
  ${OVLIX_ROOT}/resx/ExeImage.cpp
  ${OVLIX_ROOT}/resx/conversions.cpp
  ${OVLIX_ROOT}/resx/json_writer.cpp
  ${OVLIX_ROOT}/resx/listing.cpp
  ${OVLIX_ROOT}/resx/version_info.cpp
  ${OVLIX_ROOT}/resx/manifest_listing.cpp
  ${OVLIX_ROOT}/resx/accelerator_listing.cpp
  ${OVLIX_ROOT}/resx/dialog_listing.cpp
  ${OVLIX_ROOT}/resx/message_table.cpp
  ${OVLIX_ROOT}/resx/menu_listing.cpp
  ${OVLIX_ROOT}/resx/string_table.cpp
  ${OVLIX_ROOT}/resx/dib.cpp
  ${OVLIX_ROOT}/resx/resource_walk.cpp
  ${OVLIX_ROOT}/resx/resource_extract.cpp
  ${OVLIX_ROOT}/resx/hex_dump_model.cpp
  ${OVLIX_ROOT}/resx/icon_group_file.cpp
  ${OVLIX_ROOT}/resx/icon_choice.cpp
  ${OVLIX_ROOT}/resx/image_batch.cpp
  ${OVLIX_ROOT}/resx/language_names.cpp
  ${OVLIX_ROOT}/resx/png_codec.cpp
  ${OVLIX_ROOT}/resx/picture_scale.cpp
)
target_include_directories(ovlix_resx PUBLIC ${OVLIX_ROOT})
# libpng (which brings zlib) for PNG export and thumbnails
include(${OVLIX_ROOT}/cmake/dependencies.cmake)
ovlix_require_module(PNG libpng16 libpng-dev)
target_link_libraries(ovlix_resx PUBLIC ovlix_framework_engine ovlix_platform PkgConfig::PNG)
