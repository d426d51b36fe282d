#include "tools/png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace vivuvev {

namespace {

// libpng reports errors by longjmp; nothing with a destructor may live in the
// frame that calls setjmp.
bool Encode(FILE* file, int32_t width, int32_t height, int channels, const uint8_t* pixels) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(channels);
  for (int32_t y = 0; y < height; ++y) {
    png_write_row(png, pixels + static_cast<size_t>(y) * rowBytes);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, int32_t width, int32_t height, int channels,
              const std::vector<uint8_t>& pixels, std::string* error) {
  const std::string partial = path + ".partial";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool encoded = Encode(file, width, height, channels, pixels.data());
  const bool closed = std::fclose(file) == 0;
  if (!encoded || !closed || std::rename(partial.c_str(), path.c_str()) != 0) {
    std::remove(partial.c_str());
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace vivuvev
