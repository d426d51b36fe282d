#include "tools/png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include "video/partial_file.h"

namespace vivuvev {

namespace {

struct PngOutput {
  const PartialFile* file;
  int writeError;        // errno of a failed write
  char complaint[128];  // libpng's message for any other failure
};

void WriteBytes(png_structp png, png_bytep bytes, png_size_t size) {
  auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
  if (!WritePartialFile(*output->file, bytes, size)) {
    output->writeError = errno;
    png_error(png, "write failed");
  }
}

void FlushNothing(png_structp) {}

[[noreturn]] void Complain(png_structp png, png_const_charp message) {
  auto* output = static_cast<PngOutput*>(png_get_error_ptr(png));
  // The message may live in a frame that the jump leaves.
  if (output->complaint[0] == '\0') std::snprintf(output->complaint, sizeof output->complaint, "%s", message);
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp; nothing with a destructor may live in the
// frame that calls setjmp.
bool Encode(PngOutput* output, int32_t width, int32_t height, int channels, uint8_t* row,
            const PngRowSource& rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, output, Complain, IgnoreWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, output, WriteBytes, FlushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < height; ++y) {
    rows(y, row);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, int32_t width, int32_t height, int channels,
              const PngRowSource& rows, std::string* error) {
  std::vector<uint8_t> row;
  try {
    row.resize(static_cast<size_t>(width) * static_cast<size_t>(channels));
  } catch (const std::bad_alloc&) {
    *error = "cannot allocate a row of '" + path + "'";
    return false;
  }
  PartialFile file;
  if (!CreatePartialFile(path, &file, error)) return false;
  PngOutput output{&file, 0, {}};
  if (!Encode(&output, width, height, channels, row.data(), rows)) {
    if (output.writeError != 0) {
      *error = CannotWrite(path, output.writeError);
    } else {
      *error = output.complaint[0] != '\0' ? "cannot write '" + path + "': " + output.complaint
                                            : "cannot allocate libpng's records for '" + path + "'";
    }
    DiscardPartialFile(&file);
    return false;
  }
  return CompletePartialFile(&file, error);
}

}  // namespace vivuvev
