#include "tools/render_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vivuvev {

const char RenderUsage[] =
    "usage: vivuvev-render [--size WxH] [--bits 32|16] [--seed N] [--frames N] [--every K]\n"
    "                      [--canvas] [--cycles FILE] [--out DIR]\n";

namespace {

// A whole decimal number in [low, high]; nothing else may follow it.
bool ParseNumber(const char* text, uint64_t low, uint64_t high, uint64_t* value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

bool ParseSize(const char* text, int32_t* width, int32_t* height) {
  const char* x = text ? std::strchr(text, 'x') : nullptr;
  if (x == nullptr) return false;
  const std::string w(text, x);
  uint64_t parsedWidth = 0, parsedHeight = 0;
  if (!ParseNumber(w.c_str(), 1, MaxRenderSide, &parsedWidth) ||
      !ParseNumber(x + 1, 1, MaxRenderSide, &parsedHeight)) {
    return false;
  }
  *width = static_cast<int32_t>(parsedWidth);
  *height = static_cast<int32_t>(parsedHeight);
  return true;
}

}  // namespace

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions* options,
                        std::string* error) {
  RenderOptions parsed;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--canvas") {
      parsed.canvas = true;
      continue;
    }
    const bool takesValue = option == "--size" || option == "--bits" || option == "--seed" ||
                            option == "--frames" || option == "--every" ||
                            option == "--cycles" || option == "--out";
    if (!takesValue) {
      *error = "unknown option '" + option + "'";
      return false;
    }
    if (i + 1 >= argc) {
      *error = "option " + option + " needs a value";
      return false;
    }
    const char* value = argv[++i];
    uint64_t number = 0;
    if (option == "--size") {
      if (!ParseSize(value, &parsed.width, &parsed.height)) {
        *error = "--size must be WxH with each side from 1 to 16384, not '" + std::string(value) + "'";
        return false;
      }
    } else if (option == "--bits") {
      if (std::strcmp(value, "32") != 0 && std::strcmp(value, "16") != 0) {
        *error = "--bits must be 32 or 16, not '" + std::string(value) + "'";
        return false;
      }
      parsed.bits = value[0] == '3' ? 32 : 16;
    } else if (option == "--seed") {
      if (!ParseNumber(value, 0, UINT32_MAX, &number)) {
        *error = "--seed must be a number from 0 to 4294967295, not '" + std::string(value) + "'";
        return false;
      }
      parsed.seed = static_cast<uint32_t>(number);
    } else if (option == "--frames" || option == "--every") {
      if (!ParseNumber(value, 1, UINT32_MAX - 1, &number)) {
        *error = option + " must be a whole number of at least 1, not '" + std::string(value) + "'";
        return false;
      }
      (option == "--frames" ? parsed.frames : parsed.every) = static_cast<uint32_t>(number);
    } else if (option == "--cycles" || option == "--out") {
      if (*value == '\0') {
        *error = option + " needs a path";
        return false;
      }
      (option == "--cycles" ? parsed.cyclesFile : parsed.outDir) = value;
    }
  }
  *options = parsed;
  return true;
}

}  // namespace vivuvev
