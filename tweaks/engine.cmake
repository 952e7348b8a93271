# The desktop tweaks' picture conversion (JPEG or BMP to BMP, with libjpeg),
# no Qt. Included by the program's build and by the fuzz targets.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/../platform/engine.cmake)
set(OVLIX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
include(${OVLIX_ROOT}/cmake/dependencies.cmake)
find_package(JPEG QUIET)
ovlix_require_found(JPEG_FOUND libjpeg libjpeg-dev)
add_library(ovlix_tweaks_engine STATIC
  ${OVLIX_ROOT}/tweaks/picture_conversion.cpp
)
target_link_libraries(ovlix_tweaks_engine PUBLIC ovlix_platform JPEG::JPEG)
