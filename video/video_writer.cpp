#include "video/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <new>
#include <vector>

#include "video/colour_reduction.h"
#include "video/partial_file.h"

namespace vivuvev {

struct VideoWriter {
  VideoKind kind = VideoKind::Mp4;
  std::string path;
  PartialFile file;
  int writeError = 0;       // errno of the first write to the file that failed
  bool discarding = false;  // the file is gone: writes and seeks are refused
  AVFormatContext* format = nullptr;
  bool headerWritten = false;  // and the trailer not yet: the muxer holds packets
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scale = nullptr;
  int32_t sourceWidth = 0, sourceHeight = 0, sourceBits = 0;
  std::vector<uint8_t> rgb;  // a GIF frame before its colours are reduced
  ColourCells cells;
  int64_t frames = 0;
};

namespace {

struct KindTraits {
  const char* muxer;
  const char* encoder;
  const char* name;
  AVPixelFormat pixels;  // what the encoder takes
};

// In the order of VideoKind. GIF frames are reduced to a palette here (the
// encoder takes indices); WebP is lossless, from BGRA.
const KindTraits Traits[] = {
    {"mp4", "libx264", "H.264", AV_PIX_FMT_YUV420P},
    {"webm", "libvpx-vp9", "VP9", AV_PIX_FMT_YUV420P},
    {"webp", "libwebp_anim", "animated WebP", AV_PIX_FMT_BGRA},
    {"gif", "gif", "GIF", AV_PIX_FMT_PAL8},
};

constexpr int32_t MaxWebPSide = 16383;

const KindTraits& TraitsOf(VideoKind kind) { return Traits[static_cast<int>(kind)]; }

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// Quality for each encoder. MP4 and WebM carry a quarter of the chroma, which
// mutes the rings' pixel-sized colour patterns whatever the quality; above
// that loss the settings keep the codec's own error small.
AVDictionary* EncoderOptions(VideoKind kind) {
  AVDictionary* options = nullptr;
  switch (kind) {
    case VideoKind::Mp4:
      av_dict_set(&options, "preset", "medium", 0);
      av_dict_set(&options, "crf", "18", 0);
      break;
    case VideoKind::WebM:
      av_dict_set(&options, "crf", "24", 0);
      av_dict_set(&options, "deadline", "good", 0);
      av_dict_set(&options, "cpu-used", "4", 0);
      av_dict_set(&options, "row-mt", "1", 0);
      break;
    case VideoKind::WebP:
      // The rings' pixel-sized patterns of few colours are smaller kept
      // exactly than blurred by the lossy coder, and lose nothing.
      av_dict_set(&options, "lossless", "1", 0);
      break;
    case VideoKind::Gif:
      break;
  }
  return options;
}

// The file's bytes go through these rather than through a URL that FFmpeg
// would read as a protocol (pipe:1.gif, tcp://...): the file is the one
// CreatePartialFile made.
int WriteToFile(void* opaque, uint8_t* bytes, int size) {
  auto* v = static_cast<VideoWriter*>(opaque);
  if (v->discarding) return AVERROR(ECANCELED);
  if (WritePartialFile(v->file, bytes, static_cast<size_t>(size))) return size;
  if (v->writeError == 0) v->writeError = errno;
  return AVERROR(errno);
}

int64_t SeekInFile(void* opaque, int64_t offset, int whence) {
  auto* v = static_cast<VideoWriter*>(opaque);
  if (v->discarding) return AVERROR(ECANCELED);
  if (whence == AVSEEK_SIZE) {
    struct stat status;
    return fstat(v->file.descriptor, &status) == 0 ? status.st_size : AVERROR(errno);
  }
  const off_t at = lseek(v->file.descriptor, offset, whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(errno) : at;
}

// A failed write, with errno's reason when the file refused it.
std::string WriteFailure(const VideoWriter* v, int code) {
  if (v->writeError != 0) return CannotWrite(v->path, v->writeError);
  return "cannot write '" + v->path + "': " + AvError(code);
}

void FreeOutput(AVFormatContext* format) {
  if (format == nullptr) return;
  if (format->pb != nullptr) {
    av_freep(&format->pb->buffer);
    avio_context_free(&format->pb);
  }
  avformat_free_context(format);
}

// Releases everything; whatever is unfinished is thrown away. The muxer
// frees some of what it holds (GIF's last frame) only in its trailer, which
// is therefore written into nothing: the file is removed first, and writes
// are refused.
void Release(VideoWriter* video) {
  DiscardPartialFile(&video->file);
  video->discarding = true;
  if (video->headerWritten) av_write_trailer(video->format);
  sws_freeContext(video->scale);
  av_frame_free(&video->frame);
  av_packet_free(&video->packet);
  avcodec_free_context(&video->codec);
  FreeOutput(video->format);
  delete video;
}

bool OpenEncoder(VideoWriter* v, const AVCodec* encoder, int32_t width, int32_t height, uint32_t fps,
                 std::string* error) {
  const KindTraits& traits = TraitsOf(v->kind);
  v->codec = avcodec_alloc_context3(encoder);
  if (v->codec == nullptr) {
    *error = std::string("cannot allocate the ") + traits.name + " encoder";
    return false;
  }
  AVCodecContext* c = v->codec;
  c->width = width;
  c->height = height;
  c->pix_fmt = traits.pixels;
  c->time_base = AVRational{1, static_cast<int>(fps)};
  c->framerate = AVRational{static_cast<int>(fps), 1};
  if (traits.pixels == AV_PIX_FMT_YUV420P) {
    // Tagged as HD video is, so that players turn it back into the same RGB.
    c->color_range = AVCOL_RANGE_MPEG;
    c->colorspace = AVCOL_SPC_BT709;
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_BT709;
  }
  if (v->kind == VideoKind::WebM) c->bit_rate = 0;  // constant quality only
  if (v->format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  AVDictionary* options = EncoderOptions(v->kind);
  const int opened = avcodec_open2(c, encoder, &options);
  av_dict_free(&options);
  if (opened < 0) {
    *error = std::string("the ") + traits.name + " encoder does not take " + std::to_string(width) +
             "x" + std::to_string(height) + " at " + std::to_string(fps) + " frames per second (" +
             AvError(opened) + ")";
    return false;
  }
  v->stream = avformat_new_stream(v->format, nullptr);
  v->frame = av_frame_alloc();
  v->packet = av_packet_alloc();
  if (v->stream == nullptr || v->frame == nullptr || v->packet == nullptr ||
      avcodec_parameters_from_context(v->stream->codecpar, c) < 0) {
    *error = std::string("cannot allocate the ") + traits.name + " stream's records";
    return false;
  }
  v->stream->time_base = c->time_base;
  v->stream->avg_frame_rate = c->framerate;
  v->frame->format = c->pix_fmt;
  v->frame->width = width;
  v->frame->height = height;
  const std::string frameSize = std::to_string(width) + "x" + std::to_string(height);
  if (av_frame_get_buffer(v->frame, 0) < 0) {
    *error = "cannot allocate the encoder's " + frameSize + " frame";
    return false;
  }
  if (v->kind != VideoKind::Gif) return true;
  try {
    v->rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  } catch (const std::bad_alloc&) {
    *error = "cannot allocate the " + frameSize + " RGB frame of the GIF's colour reduction";
    return false;
  }
  return true;
}

constexpr int FileBufferBytes = 1 << 16;

// The partial file, new, and FFmpeg's output over it.
bool OpenFile(VideoWriter* v, std::string* error) {
  if (!CreatePartialFile(v->path, &v->file, error)) return false;
  // The name by which MP4's second pass reads the file again; "file:" keeps
  // it a local file whatever it holds.
  v->format->url = av_strdup(("file:" + v->file.partial).c_str());
  auto* buffer = static_cast<uint8_t*>(av_malloc(FileBufferBytes));
  if (buffer != nullptr) {
    v->format->pb = avio_alloc_context(buffer, FileBufferBytes, 1, v, nullptr, WriteToFile, SeekInFile);
  }
  if (v->format->pb == nullptr) av_free(buffer);
  if (v->format->url == nullptr || v->format->pb == nullptr) {
    *error = "cannot allocate the output records of '" + v->path + "'";
    return false;
  }
  v->format->flags |= AVFMT_FLAG_CUSTOM_IO;
  AVDictionary* options = nullptr;
  // Browsers start playing before the whole file has arrived.
  if (v->kind == VideoKind::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
  const int written = avformat_write_header(v->format, &options);
  av_dict_free(&options);
  if (written < 0) {
    *error = WriteFailure(v, written);
    return false;
  }
  v->headerWritten = true;
  return true;
}

// Sends a frame (null: the end) and writes every packet the encoder has ready.
bool Encode(VideoWriter* v, const AVFrame* frame, std::string* error) {
  int result = avcodec_send_frame(v->codec, frame);
  while (result >= 0) {
    result = avcodec_receive_packet(v->codec, v->packet);
    if (result < 0) break;
    av_packet_rescale_ts(v->packet, v->codec->time_base, v->stream->time_base);
    v->packet->stream_index = v->stream->index;
    result = av_interleaved_write_frame(v->format, v->packet);
  }
  if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
  *error = v->writeError != 0 ? WriteFailure(v, result) : "cannot encode '" + v->path + "': " + AvError(result);
  return false;
}

// The converter from the back buffer's format and size to the frame the
// encoder takes (for GIF, to RGB rows), made again when the buffer changes.
bool PrepareScale(VideoWriter* v, const BackBuffer& buffer) {
  if (v->scale != nullptr && buffer.width == v->sourceWidth && buffer.height == v->sourceHeight &&
      buffer.bitsPerPixel == v->sourceBits) {
    return true;
  }
  sws_freeContext(v->scale);
  // X8R8G8B8 and R5G6B5 words in the machine's byte order.
  const AVPixelFormat source = buffer.bitsPerPixel == 32 ? AV_PIX_FMT_0RGB32 : AV_PIX_FMT_RGB565;
  const AVPixelFormat target = v->kind == VideoKind::Gif ? AV_PIX_FMT_RGB24 : TraitsOf(v->kind).pixels;
  v->scale = sws_getContext(buffer.width, buffer.height, source, v->codec->width, v->codec->height,
                            target, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr,
                            nullptr, nullptr);
  if (v->scale == nullptr) return false;
  if (target == AV_PIX_FMT_YUV420P) {
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(v->scale, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
  }
  v->sourceWidth = buffer.width;
  v->sourceHeight = buffer.height;
  v->sourceBits = buffer.bitsPerPixel;
  return true;
}

}  // namespace

VideoWriter* OpenVideo(const std::string& path, int32_t width, int32_t height, uint32_t fps,
                       std::string* error) {
  VideoKind kind;
  if (!VideoKindOf(path, &kind)) {
    *error = "cannot tell the kind of video from '" + path + "': name it .mp4, .webm, .webp or .gif";
    return nullptr;
  }
  if (!VideoRateFits(kind, fps, error)) return nullptr;
  const KindTraits& traits = TraitsOf(kind);
  // Encoders explain their refusals on the log; the one line here says it.
  av_log_set_level(AV_LOG_QUIET);
  const AVCodec* encoder = avcodec_find_encoder_by_name(traits.encoder);
  if (encoder == nullptr) {
    *error = std::string("the installed FFmpeg libraries have no ") + traits.name + " encoder (" +
             traits.encoder + ")";
    return nullptr;
  }
  if (kind == VideoKind::Mp4 && (width % 2 != 0 || height % 2 != 0)) {
    *error = "H.264 in MP4 needs an even width and height, not " + std::to_string(width) + "x" +
             std::to_string(height);
    return nullptr;
  }
  if (kind == VideoKind::WebP && (width > MaxWebPSide || height > MaxWebPSide)) {
    *error = "WebP pictures are at most 16383 pixels a side, not " + std::to_string(width) + "x" +
             std::to_string(height);
    return nullptr;
  }
  std::error_code code;
  if (std::filesystem::is_directory(path, code)) {
    *error = "cannot write '" + path + "': it is a directory";
    return nullptr;
  }
  VideoWriter* v = new VideoWriter;
  v->kind = kind;
  v->path = path;
  avformat_alloc_output_context2(&v->format, nullptr, traits.muxer, nullptr);
  // MP4's second pass (faststart) reads the file again by its name (see
  // OpenFile): no protocol but the local file's is allowed.
  if (v->format == nullptr || av_opt_set(v->format, "protocol_whitelist", "file", 0) < 0) {
    *error = std::string("the installed FFmpeg libraries cannot write ") + traits.muxer + " files";
    Release(v);
    return nullptr;
  }
  const bool fileOpened = OpenEncoder(v, encoder, width, height, fps, error) && OpenFile(v, error);
  if (!fileOpened) {
    Release(v);
    return nullptr;
  }
  return v;
}

bool AddVideoFrame(VideoWriter* v, const BackBuffer& buffer, std::string* error) {
  if (!PrepareScale(v, buffer) || av_frame_make_writable(v->frame) < 0) {
    *error = "cannot convert a frame for '" + v->path + "'";
    return false;
  }
  const uint8_t* source[1] = {buffer.pixels};
  const int sourcePitch[1] = {buffer.pitch};
  AVFrame* f = v->frame;
  if (v->kind == VideoKind::Gif) {
    uint8_t* rows[1] = {v->rgb.data()};
    const int pitch[1] = {f->width * 3};
    sws_scale(v->scale, source, sourcePitch, 0, buffer.height, rows, pitch);
    try {
      ReduceColours(v->rgb.data(), f->width, f->height, pitch[0], f->data[0], f->linesize[0],
                    reinterpret_cast<uint32_t*>(f->data[1]), &v->cells);
    } catch (const std::bad_alloc&) {
      *error = "cannot allocate the colour cells of the GIF's colour reduction";
      return false;
    }
  } else {
    sws_scale(v->scale, source, sourcePitch, 0, buffer.height, f->data, f->linesize);
  }
  f->pts = v->frames++;
  return Encode(v, f, error);
}

bool FinishVideo(VideoWriter* v, std::string* error) {
  bool done = Encode(v, nullptr, error);
  if (done) {
    const int trailer = av_write_trailer(v->format);
    v->headerWritten = false;
    avio_flush(v->format->pb);
    const int written = trailer < 0 ? trailer : v->format->pb->error;
    if (written < 0) *error = WriteFailure(v, written);
    done = written >= 0 && CompletePartialFile(&v->file, error);
  }
  Release(v);
  return done;
}

void AbandonVideo(VideoWriter* video) { Release(video); }

}  // namespace vivuvev
