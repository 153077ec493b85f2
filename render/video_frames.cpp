#include "render/video_frames.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "render/av_handles.h"

namespace kelvane {
namespace {

void Check(int code, const std::string& path, const char* doing) {
  if (code >= 0) return;
  throw std::runtime_error("Cannot read " + path + " as a video: " + doing + ": " + AvErrorText(code));
}

}  // namespace

struct VideoFrames::Decoder {
  std::string path;
  AvInput input;
  AvPtr<AVCodecContext> codec;
  AvPtr<AVPacket> packet{av_packet_alloc()};
  AvPtr<AVFrame> frame{av_frame_alloc()};
  AvPtr<SwsContext> scaler;
  int stream = -1;
  double fps = 0;
  bool draining = false;
  std::vector<std::uint32_t> pixels;

  // The next decoded frame, reading packets as needed; false at the end.
  bool Decode() {
    while (true) {
      const int got = avcodec_receive_frame(codec.get(), frame.get());
      if (got >= 0) return true;
      if (got == AVERROR_EOF) return false;
      if (got != AVERROR(EAGAIN)) Check(got, path, "decoding");
      if (draining) return false;
      if (av_read_frame(input.get(), packet.get()) < 0) {
        draining = true;
        Check(avcodec_send_packet(codec.get(), nullptr), path, "decoding");
        continue;
      }
      if (packet->stream_index == stream) Check(avcodec_send_packet(codec.get(), packet.get()), path, "decoding");
      av_packet_unref(packet.get());
    }
  }

  void Convert() {
    const auto format = static_cast<AVPixelFormat>(frame->format);
    scaler.reset(sws_getCachedContext(scaler.release(), frame->width, frame->height, format, codec->width,
                                      codec->height, AV_PIX_FMT_RGB32,
                                      SWS_POINT | SWS_FULL_CHR_H_INT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    if (!scaler) throw std::runtime_error("Cannot read " + path + " as a video: its pictures cannot be converted");
    sws_setColorspaceDetails(scaler.get(), sws_getCoefficients(frame->colorspace),
                             frame->color_range == AVCOL_RANGE_JPEG, sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16,
                             1 << 16);
    std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(pixels.data())};
    const int outStride[1] = {4 * codec->width};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, out, outStride);
    av_frame_unref(frame.get());
  }
};

VideoFrames::VideoFrames(const std::string& path) : decoder_(std::make_unique<Decoder>()) {
  Decoder& d = *decoder_;
  d.path = path;
  AVFormatContext* raw = nullptr;
  Check(avformat_open_input(&raw, path.c_str(), nullptr, nullptr), path, "opening");
  d.input.reset(raw);
  Check(avformat_find_stream_info(d.input.get(), nullptr), path, "finding its streams");
  d.stream = av_find_best_stream(d.input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  Check(d.stream, path, "finding a video stream");
  const AVStream& stream = *d.input->streams[d.stream];
  const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
  if (!codec) throw std::runtime_error("Cannot read " + path + " as a video: no decoder for its pictures");
  d.codec.reset(avcodec_alloc_context3(codec));
  Check(avcodec_parameters_to_context(d.codec.get(), stream.codecpar), path, "its decoder");
  d.codec->pkt_timebase = stream.time_base;
  Check(avcodec_open2(d.codec.get(), codec, nullptr), path, "its decoder");
  if (d.codec->width < 1 || d.codec->height < 1)
    throw std::runtime_error("Cannot read " + path + " as a video: no picture size");
  d.fps = av_q2d(stream.avg_frame_rate.num > 0 ? stream.avg_frame_rate : stream.r_frame_rate);
  if (!(d.fps > 0)) throw std::runtime_error("Cannot read " + path + " as a video: no frame rate");
  d.pixels.resize(static_cast<std::size_t>(d.codec->width) * d.codec->height);
}

VideoFrames::~VideoFrames() = default;

int VideoFrames::Width() const { return decoder_->codec->width; }
int VideoFrames::Height() const { return decoder_->codec->height; }
double VideoFrames::Fps() const { return decoder_->fps; }

bool VideoFrames::Next(Frame& picture) {
  Decoder& d = *decoder_;
  if (!d.Decode()) return false;
  d.Convert();
  picture = {d.pixels.data(), Width(), Height(), Width()};
  return true;
}

}  // namespace kelvane
