// PNG files through libpng's simplified interface, which keeps its error
// handling to itself (no longjmp across our frames).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "resx/damage.h"
#include "resx/picture.h"

// The largest PNG image decoded, in pixels: more than any icon holds, and
// little enough memory for a thumbnailer.
inline constexpr std::uint64_t kMaxPngPixels = 1024 * 1024;

// How hard a PNG is compressed: as tightly as the library's defaults go,
// or quickly, for files read back many times and never handed on (a file
// manager's thumbnails: larger by a few kB, made in three quarters the time).
enum class PngCompression { Tight, Fast };

// The picture's pixels as a PNG file with its alpha channel. Flaw::IconImage
// when its pixels do not fill its size.
Read<std::string> EncodePng(const TPicture& picture, PngCompression compression = PngCompression::Tight);

// Decodes a PNG image into straight-alpha ARGB pixels. Flaw::IconImage
// when it is damaged or holds more than kMaxPngPixels.
Damage DecodePng(std::span<const std::uint8_t> png, TPicture& out);
