// What an icon or cursor image holds, and choosing an image of a group by
// size and depth: for thumbnails, PNG export and scripts, which must not
// go by the images' names (8-bit and 32-bit images are named alike).
#pragma once

#include <cstdint>

#include "resx/ExeImage.h"
#include "resx/picture.h"

struct IconImageInfo {
  int width = 0;
  int height = 0;
  std::uint32_t colors = 0;  // palette entries: 2, 16, 256, or 0 above 8 bits
  int bits = 0;              // bits per pixel, alpha included
  bool png = false;
};

// Read from the image's own header (a PNG's IHDR, or the DIB header), not
// from its group; Flaw::IconImage when the header is damaged.
Read<IconImageInfo> DescribeIconImage(TIconResEntry& image);

// The image of the group's list closest to `size`: the smallest at least
// that large, else the largest; among equal sizes the deepest. A `size` of
// 0 takes the largest. Images that cannot be read, or that are larger than
// `maxSide`, are passed over; nullptr when none is left.
TIconResEntry* ChooseIconImage(TResourceList& images, int size, int maxSide);

// The image's pixels, a PNG image decoded: what a thumbnail is made from.
// Flaw::IconImage when it does not decode.
Damage IconPixels(TIconResEntry& image, TPicture& out);

// The pixels of the group's image closest to `size` whose pixels can be
// read: an image whose header reads but whose pixels are damaged gives way
// to the next best. nullptr when none can be read.
TIconResEntry* ReadableIconPixels(TResourceList& images, int size, int maxSide, TPicture& out);
