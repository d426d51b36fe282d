#include "video/colour_reduction.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>

namespace vivuvev {

namespace {

constexpr uint32_t CellCount = 1u << 15;

uint16_t CellKey(const uint8_t* p) {
  return static_cast<uint16_t>(((p[0] >> 3) << 10) | ((p[1] >> 3) << 5) | (p[2] >> 3));
}

// A cell's coordinate along red (0), green (1) or blue (2), from 0 to 31.
int Coordinate(uint16_t key, int channel) { return (key >> (10 - 5 * channel)) & 31; }

// A run of cells in ColourCells::used, and the channel along which its cells
// spread furthest.
struct Box {
  uint32_t begin = 0, end = 0;
  uint64_t count = 0;
  int channel = 0;
  int range = 0;
};

Box Measure(const ColourCells& s, uint32_t begin, uint32_t end) {
  Box box{begin, end, 0, 0, 0};
  int low[3] = {31, 31, 31}, high[3] = {0, 0, 0};
  for (uint32_t i = begin; i < end; ++i) {
    const uint16_t key = s.used[i];
    box.count += s.cells[key].count;
    for (int c = 0; c < 3; ++c) {
      low[c] = std::min(low[c], Coordinate(key, c));
      high[c] = std::max(high[c], Coordinate(key, c));
    }
  }
  for (int c = 0; c < 3; ++c) {
    if (high[c] - low[c] > box.range) {
      box.range = high[c] - low[c];
      box.channel = c;
    }
  }
  return box;
}

// The box most worth splitting: the widest spread weighted by how many
// pixels it holds. Boxes of one cell cannot be split; returns -1 when no box
// can.
int WidestBox(const Box* boxes, int count) {
  int best = -1;
  uint64_t bestScore = 0;
  for (int i = 0; i < count; ++i) {
    const uint64_t score = boxes[i].count * static_cast<uint64_t>(boxes[i].range);
    if (boxes[i].end - boxes[i].begin >= 2 && score > bestScore) {
      best = i;
      bestScore = score;
    }
  }
  return best;
}

// Splits the box at the median pixel along its widest channel; both halves
// keep at least one cell.
void Split(ColourCells* s, Box* boxes, int which, int* count) {
  const Box box = boxes[which];
  const int c = box.channel;
  std::sort(s->used.begin() + box.begin, s->used.begin() + box.end, [c](uint16_t a, uint16_t b) {
    const int ca = Coordinate(a, c), cb = Coordinate(b, c);
    return ca != cb ? ca < cb : a < b;
  });
  uint64_t below = 0;
  uint32_t at = box.begin;
  while (at + 1 < box.end && below + s->cells[s->used[at]].count <= box.count / 2) {
    below += s->cells[s->used[at]].count;
    ++at;
  }
  at = std::max(at, box.begin + 1);
  boxes[which] = Measure(*s, box.begin, at);
  boxes[(*count)++] = Measure(*s, at, box.end);
}

uint32_t MeanColour(const ColourCells& s, const Box& box) {
  uint64_t red = 0, green = 0, blue = 0;
  for (uint32_t i = box.begin; i < box.end; ++i) {
    const ColourCells::Cell& cell = s.cells[s.used[i]];
    red += cell.red;
    green += cell.green;
    blue += cell.blue;
  }
  const uint64_t n = box.count, half = n / 2;
  return 0xFF000000u | static_cast<uint32_t>((red + half) / n) << 16 |
         static_cast<uint32_t>((green + half) / n) << 8 | static_cast<uint32_t>((blue + half) / n);
}

uint8_t NearestEntry(const uint32_t* palette, int entries, const ColourCells::Cell& cell) {
  const uint64_t half = cell.count / 2;
  const int32_t r = static_cast<int32_t>((cell.red + half) / cell.count);
  const int32_t g = static_cast<int32_t>((cell.green + half) / cell.count);
  const int32_t b = static_cast<int32_t>((cell.blue + half) / cell.count);
  int best = 0;
  int32_t bestDistance = INT32_MAX;
  for (int i = 0; i < entries; ++i) {
    const int32_t dr = r - static_cast<int32_t>((palette[i] >> 16) & 0xFF);
    const int32_t dg = g - static_cast<int32_t>((palette[i] >> 8) & 0xFF);
    const int32_t db = b - static_cast<int32_t>(palette[i] & 0xFF);
    const int32_t distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

void ReduceColours(const uint8_t* rgb, int32_t width, int32_t height, int32_t rgbPitch,
                   uint8_t* indices, int32_t indexPitch, uint32_t palette[256], ColourCells* s) {
  s->cells.resize(CellCount);
  for (uint16_t key : s->used) s->cells[key] = ColourCells::Cell{};
  s->used.clear();
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* p = rgb + static_cast<ptrdiff_t>(y) * rgbPitch;
    for (int32_t x = 0; x < width; ++x, p += 3) {
      ColourCells::Cell& cell = s->cells[CellKey(p)];
      if (cell.count++ == 0) s->used.push_back(CellKey(p));
      cell.red += p[0];
      cell.green += p[1];
      cell.blue += p[2];
    }
  }

  std::array<Box, 256> boxes;
  int count = 0;
  if (!s->used.empty()) boxes[count++] = Measure(*s, 0, static_cast<uint32_t>(s->used.size()));
  for (int widest; count < 256 && (widest = WidestBox(boxes.data(), count)) >= 0;) {
    Split(s, boxes.data(), widest, &count);
  }
  for (int i = 0; i < 256; ++i) palette[i] = i < count ? MeanColour(*s, boxes[i]) : 0xFF000000u;
  for (uint16_t key : s->used) s->cells[key].index = NearestEntry(palette, count, s->cells[key]);

  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* p = rgb + static_cast<ptrdiff_t>(y) * rgbPitch;
    uint8_t* out = indices + static_cast<ptrdiff_t>(y) * indexPitch;
    for (int32_t x = 0; x < width; ++x, p += 3) out[x] = s->cells[CellKey(p)].index;
  }
}

}  // namespace vivuvev
