// video_probe: decodes a video that vivuvev-render wrote, for the end-to-end
// test to judge.
//   video_probe VIDEO                  frames, size, the span from the first
//                                      frame's start to the last's, in µs
//   video_probe VIDEO INDEX PNG        how far frame INDEX (from 0) lies from
//                                      PNG: mean absolute difference per
//                                      channel; for a palette, how much further
//                                      each pixel lies than the frame's nearest
//                                      colour, and the error of a uniform cube
//   video_probe VIDEO INDEX OUT.ppm    writes frame INDEX for a person to look at
// MP4, WebM and GIF are read with FFmpeg's libraries; animated WebP, which
// they cannot read, with libwebp's own demuxer.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}
#include <webp/demux.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

struct Decoded {
  int frames = 0;
  int width = 0, height = 0;
  int64_t spanMicroseconds = 0;
  bool opaque = true;
  Picture kept;  // the frame asked for
};

[[noreturn]] void Die(const std::string& message) {
  std::fprintf(stderr, "video_probe: %s\n", message.c_str());
  std::exit(1);
}

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

Picture ToRgb(const AVFrame* f) {
  Picture p{f->width, f->height, std::vector<uint8_t>(static_cast<size_t>(f->width) * f->height * 3)};
  SwsContext* s = sws_getContext(f->width, f->height, static_cast<AVPixelFormat>(f->format), f->width,
                                 f->height, AV_PIX_FMT_RGB24, SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
                                 nullptr, nullptr, nullptr);
  if (s == nullptr) Die("no conversion to RGB");
  // YUV back to RGB by the matrix and range the stream is tagged with.
  const int space = f->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_ITU601;
  const int* table = sws_getCoefficients(space);
  sws_setColorspaceDetails(s, table, f->color_range == AVCOL_RANGE_JPEG, table, 1, 0, 1 << 16, 1 << 16);
  uint8_t* rows[1] = {p.rgb.data()};
  const int pitch[1] = {p.width * 3};
  sws_scale(s, f->data, f->linesize, 0, f->height, rows, pitch);
  sws_freeContext(s);
  return p;
}

// Everything but WebP, and PNG files, through libavformat and libavcodec.
Decoded DecodeWithLibav(const std::string& path, int keep) {
  AVFormatContext* format = nullptr;
  // "file:" keeps a name with a colon (a:b.mp4) a local file.
  if (avformat_open_input(&format, ("file:" + path).c_str(), nullptr, nullptr) < 0) Die("cannot open " + path);
  if (avformat_find_stream_info(format, nullptr) < 0) Die("no stream info in " + path);
  const AVCodec* codec = nullptr;
  const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
  if (index < 0) Die("no video stream in " + path);
  const AVStream* stream = format->streams[index];
  AVCodecContext* decoder = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(decoder, stream->codecpar);
  if (avcodec_open2(decoder, codec, nullptr) < 0) Die("cannot open the decoder for " + path);
  Decoded d;
  int64_t first = 0, last = 0;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&]() {
    while (avcodec_receive_frame(decoder, frame) >= 0) {
      const int64_t pts = frame->best_effort_timestamp;
      if (d.frames == 0) first = pts;
      last = pts;
      d.width = frame->width;
      d.height = frame->height;
      if (d.frames == keep) d.kept = ToRgb(frame);
      ++d.frames;
    }
  };
  while (av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == index) {
      avcodec_send_packet(decoder, packet);
      drain();
    }
    av_packet_unref(packet);
  }
  avcodec_send_packet(decoder, nullptr);
  drain();
  d.spanMicroseconds = av_rescale_q(last - first, stream->time_base, AVRational{1, 1000000});
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&decoder);
  avformat_close_input(&format);
  return d;
}

Decoded DecodeWebP(const std::string& path, int keep) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const WebPData data{bytes.data(), bytes.size()};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_RGBA;
  WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
  if (decoder == nullptr) Die("cannot read " + path + " as animated WebP");
  WebPAnimInfo info;
  WebPAnimDecoderGetInfo(decoder, &info);
  Decoded d;
  d.width = static_cast<int>(info.canvas_width);
  d.height = static_cast<int>(info.canvas_height);
  // Timestamps are when each frame ends; the first frame's end is the
  // second's start.
  int firstEnd = 0, lastEnd = 0;
  while (WebPAnimDecoderHasMoreFrames(decoder)) {
    uint8_t* rgba = nullptr;
    int end = 0;
    if (!WebPAnimDecoderGetNext(decoder, &rgba, &end)) Die("broken frame in " + path);
    if (d.frames == 0) firstEnd = end;
    lastEnd = end;
    const size_t pixels = static_cast<size_t>(d.width) * d.height;
    for (size_t i = 0; i < pixels; ++i) d.opaque = d.opaque && rgba[i * 4 + 3] == 255;
    if (d.frames == keep) {
      d.kept = Picture{d.width, d.height, std::vector<uint8_t>(pixels * 3)};
      for (size_t i = 0; i < pixels; ++i) std::copy_n(rgba + i * 4, 3, d.kept.rgb.data() + i * 3);
    }
    ++d.frames;
  }
  WebPAnimDecoderDelete(decoder);
  d.spanMicroseconds = int64_t{lastEnd - firstEnd} * 1000;
  return d;
}

Decoded Decode(const std::string& path, int keep) {
  return EndsWith(path, ".webp") ? DecodeWebP(path, keep) : DecodeWithLibav(path, keep);
}

uint32_t Packed(const uint8_t* p) { return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]; }

double Distance(uint32_t a, uint32_t b) {
  double sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double d = static_cast<double>((a >> shift) & 0xFF) - static_cast<double>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return std::sqrt(sum);
}

// The nearest level of a uniform scale of `levels` steps from 0 to 255.
int CubeLevel(int value, int levels) {
  const double step = 255.0 / (levels - 1);
  return static_cast<int>(std::lround(std::lround(value / step) * step));
}

// The PNG as an HD-tagged 4:2:0 stream carries it with no compression at
// all: through YUV with a quarter of the chroma and back.
Picture Sampled420(const Picture& png) {
  AVFrame* yuv = av_frame_alloc();
  yuv->format = AV_PIX_FMT_YUV420P;
  yuv->width = png.width;
  yuv->height = png.height;
  yuv->colorspace = AVCOL_SPC_BT709;
  yuv->color_range = AVCOL_RANGE_MPEG;
  av_frame_get_buffer(yuv, 0);
  SwsContext* s = sws_getContext(png.width, png.height, AV_PIX_FMT_RGB24, png.width, png.height,
                                 AV_PIX_FMT_YUV420P, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP,
                                 nullptr, nullptr, nullptr);
  const int* table = sws_getCoefficients(SWS_CS_ITU709);
  sws_setColorspaceDetails(s, table, 1, table, 0, 0, 1 << 16, 1 << 16);
  const uint8_t* rows[1] = {png.rgb.data()};
  const int pitch[1] = {png.width * 3};
  sws_scale(s, rows, pitch, 0, png.height, yuv->data, yuv->linesize);
  sws_freeContext(s);
  Picture back = ToRgb(yuv);
  av_frame_free(&yuv);
  return back;
}

void PrintMeanDifferences(const char* name, const Picture& a, const Picture& b) {
  double sum[3] = {0, 0, 0};
  for (size_t i = 0; i < a.rgb.size(); ++i) sum[i % 3] += std::abs(a.rgb[i] - b.rgb[i]);
  const double pixels = static_cast<double>(a.rgb.size() / 3);
  std::printf("%s %.3f %.3f %.3f\n", name, sum[0] / pixels, sum[1] / pixels, sum[2] / pixels);
}

void Compare(const Picture& video, const Picture& png) {
  if (video.width != png.width || video.height != png.height) Die("the frame and the PNG differ in size");
  PrintMeanDifferences("mad", video, png);
  PrintMeanDifferences("sampled_mad", video, Sampled420(png));
  // As a palette would: how much further each pixel lies than the nearest
  // colour the frame holds, and the error of a uniform 6x7x6 cube.
  std::set<uint32_t> colours;
  for (size_t i = 0; i < video.rgb.size(); i += 3) colours.insert(Packed(&video.rgb[i]));
  std::map<uint32_t, double> nearest;
  double excess = 0, cube = 0;
  const int levels[3] = {6, 7, 6};
  for (size_t i = 0; i < png.rgb.size(); i += 3) {
    const uint32_t p = Packed(&png.rgb[i]);
    auto found = nearest.find(p);
    if (found == nearest.end()) {
      double best = 1e9;
      for (uint32_t c : colours) best = std::min(best, Distance(p, c));
      found = nearest.emplace(p, best).first;
    }
    excess = std::max(excess, Distance(p, Packed(&video.rgb[i])) - found->second);
    for (int c = 0; c < 3; ++c) cube += std::abs(CubeLevel(png.rgb[i + c], levels[c]) - png.rgb[i + c]) / 3.0;
  }
  std::printf("palette_excess %.3f\ncube_mad %.3f\n", excess, cube / static_cast<double>(png.rgb.size() / 3));
}

void WritePpm(const Picture& p, const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) Die("cannot write " + path);
  std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
  std::fwrite(p.rgb.data(), 1, p.rgb.size(), f);
  std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  av_log_set_level(AV_LOG_ERROR);
  if (argc != 2 && argc != 4) Die("usage: video_probe VIDEO [INDEX PNG|OUT.ppm]");
  const int keep = argc == 4 ? std::atoi(argv[2]) : -1;
  const Decoded d = Decode(argv[1], keep);
  if (argc == 2) {
    std::printf("frames %d\nsize %dx%d\nspan_us %lld\nopaque %d\n", d.frames, d.width, d.height,
                static_cast<long long>(d.spanMicroseconds), d.opaque ? 1 : 0);
    return 0;
  }
  if (d.kept.rgb.empty()) Die("there is no frame " + std::string(argv[2]));
  const std::string other = argv[3];
  if (EndsWith(other, ".ppm")) {
    WritePpm(d.kept, other);
  } else {
    Compare(d.kept, DecodeWithLibav(other, 0).kept);
  }
  return 0;
}
