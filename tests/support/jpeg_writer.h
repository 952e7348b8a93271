// Writes small JPEG files for the tests with libjpeg itself.
#pragma once

#include <cstdio>
#include <jpeglib.h>
#include <string>
#include <vector>

// A gradient in RGB; or, with `stored` JCS_CMYK or JCS_YCCK, four inks
// (inverted, as Adobe writes them) kept in that colour space.
inline std::string EncodeTestJpeg(int width, int height, J_COLOR_SPACE stored = JCS_YCbCr) {
  bool cmyk = stored == JCS_CMYK || stored == JCS_YCCK;
  int components = cmyk ? 4 : 3;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(width * height * components));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &pixels[static_cast<std::size_t>((y * width + x) * components)];
      p[0] = static_cast<unsigned char>(x * 255 / width);
      p[1] = static_cast<unsigned char>(y * 255 / height);
      p[2] = static_cast<unsigned char>((x + y) % 256);
      if (cmyk) p[3] = static_cast<unsigned char>(255 - (x * y) % 200);
    }
  jpeg_compress_struct info{};
  jpeg_error_mgr err{};
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = components;
  info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  if (cmyk) jpeg_set_colorspace(&info, stored);
  jpeg_set_quality(&info, 85, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = &pixels[static_cast<std::size_t>(info.next_scanline) * static_cast<std::size_t>(width * components)];
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::string bytes(reinterpret_cast<char*>(out), size);
  jpeg_destroy_compress(&info);
  free(out);
  return bytes;
}
