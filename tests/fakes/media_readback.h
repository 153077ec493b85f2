#pragma once
// Exported files read back with the libraries that wrote them: a sound
// file's rate and samples through libsndfile; a video's length, frame rate,
// picture size, first pictures and sound through libavformat and libavcodec,
// the way a player would decode them (priming and padding trimmed as the
// file says).

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "render/av_handles.h"

namespace kelvane::testing {

struct SoundFileContents {
  int rate = 0;
  int channels = 0;
  std::int64_t frames = 0;
  std::vector<float> samples;  // interleaved
};

inline SoundFileContents ReadSoundFile(const std::string& path) {
  SF_INFO info{};
  std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open(path.c_str(), SFM_READ, &info), sf_close);
  if (!file) throw std::runtime_error("Cannot read " + path + ": " + sf_strerror(nullptr));
  SoundFileContents contents{info.samplerate, info.channels, info.frames, {}};
  contents.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
  if (sf_readf_float(file.get(), contents.samples.data(), info.frames) != info.frames)
    throw std::runtime_error("Cannot read " + path + ": short read");
  return contents;
}

struct Rgb {
  int r = 0, g = 0, b = 0;
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // RGB24, row after row
  Rgb At(int x, int y) const {
    const std::uint8_t* p =
        &rgb[3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x))];
    return {p[0], p[1], p[2]};
  }
};

struct VideoFileContents {
  double start = 0;     // the container's, in seconds: where its first stream starts
  double duration = 0;  // from there
  double fps = 0;       // the video stream's average frame rate
  std::string videoCodec, audioCodec;
  int width = 0, height = 0;  // as decoded
  int videoFrames = 0;        // decoded
  double videoStart = 0;      // the first picture's time, in seconds
  double audioStart = 0;      // the first sample's, after any priming
  std::vector<Picture> firstPictures;
  int audioRate = 0;
  std::vector<float> audio;  // decoded, channels averaged
};

namespace readback_detail {

using kelvane::AvFree;
using kelvane::AvPtr;

inline void Check(int code, const std::string& path, const char* doing) {
  if (code >= 0) return;
  throw std::runtime_error("Cannot read " + path + ": " + doing + ": " + kelvane::AvErrorText(code));
}

inline AvPtr<AVCodecContext> OpenDecoder(const AVStream& stream, const std::string& path) {
  const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
  if (!codec) throw std::runtime_error("Cannot read " + path + ": no decoder");
  AvPtr<AVCodecContext> decoder(avcodec_alloc_context3(codec));
  Check(avcodec_parameters_to_context(decoder.get(), stream.codecpar), path, "decoder");
  decoder->pkt_timebase = stream.time_base;
  Check(avcodec_open2(decoder.get(), codec, nullptr), path, "decoder");
  return decoder;
}

// As a player shows it: the matrix and range the stream is tagged with,
// chroma taken from its nearest sample rather than blurred across edges.
inline Picture ToRgb(const AVFrame& frame) {
  const auto format = static_cast<AVPixelFormat>(frame.format);
  AvPtr<SwsContext> scaler(sws_getContext(frame.width, frame.height, format, frame.width, frame.height,
                                          AV_PIX_FMT_RGB24, SWS_POINT | SWS_FULL_CHR_H_INT | SWS_ACCURATE_RND, nullptr,
                                          nullptr, nullptr));
  const int* matrix = sws_getCoefficients(frame.colorspace);
  const int fullRange = frame.color_range == AVCOL_RANGE_JPEG;
  sws_setColorspaceDetails(scaler.get(), matrix, fullRange, sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16,
                           1 << 16);
  Picture picture{
      frame.width, frame.height,
      std::vector<std::uint8_t>(3 * static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height))};
  std::uint8_t* out[1] = {picture.rgb.data()};
  const int outStride[1] = {3 * frame.width};
  sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, out, outStride);
  return picture;
}

inline void AddMono(const AVFrame& frame, std::vector<float>& mono) {
  const auto format = static_cast<AVSampleFormat>(frame.format);
  const int channels = frame.ch_layout.nb_channels;
  if (av_get_packed_sample_fmt(format) != AV_SAMPLE_FMT_FLT) throw std::runtime_error("decoded sound is not float");
  const bool planar = av_sample_fmt_is_planar(format);
  for (int i = 0; i < frame.nb_samples; ++i) {
    float sum = 0;
    for (int c = 0; c < channels; ++c) {
      sum += planar ? reinterpret_cast<const float*>(frame.extended_data[c])[i]
                    : reinterpret_cast<const float*>(frame.extended_data[0])[i * channels + c];
    }
    mono.push_back(sum / static_cast<float>(channels));
  }
}

}  // namespace readback_detail

// Decodes the whole file; keeps the first `keepPictures` pictures.
inline VideoFileContents ReadVideoFile(const std::string& path, int keepPictures) {
  using namespace readback_detail;
  AVFormatContext* raw = nullptr;
  Check(avformat_open_input(&raw, path.c_str(), nullptr, nullptr), path, "opening");
  kelvane::AvInput input(raw);
  Check(avformat_find_stream_info(input.get(), nullptr), path, "stream info");
  const int videoIndex = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const int audioIndex = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  Check(videoIndex, path, "video stream");
  Check(audioIndex, path, "audio stream");
  const AVStream& videoStream = *input->streams[videoIndex];
  const AVStream& audioStream = *input->streams[audioIndex];

  VideoFileContents contents;
  contents.start = static_cast<double>(input->start_time) / AV_TIME_BASE;
  contents.duration = static_cast<double>(input->duration) / AV_TIME_BASE;
  contents.fps = av_q2d(videoStream.avg_frame_rate);
  contents.videoCodec = avcodec_get_name(videoStream.codecpar->codec_id);
  contents.audioCodec = avcodec_get_name(audioStream.codecpar->codec_id);
  contents.audioRate = audioStream.codecpar->sample_rate;
  AvPtr<AVCodecContext> video = OpenDecoder(videoStream, path);
  AvPtr<AVCodecContext> audio = OpenDecoder(audioStream, path);
  AvPtr<AVPacket> packet(av_packet_alloc());
  AvPtr<AVFrame> frame(av_frame_alloc());

  auto drain = [&](AVCodecContext* decoder) {
    while (avcodec_receive_frame(decoder, frame.get()) >= 0) {
      const double time = static_cast<double>(frame->best_effort_timestamp) * av_q2d(decoder->pkt_timebase);
      if (decoder == video.get()) {
        contents.width = frame->width, contents.height = frame->height;
        if (contents.videoFrames == 0) contents.videoStart = time;
        if (contents.videoFrames++ < keepPictures) contents.firstPictures.push_back(ToRgb(*frame));
      } else {
        if (contents.audio.empty()) contents.audioStart = time;
        AddMono(*frame, contents.audio);
      }
      av_frame_unref(frame.get());
    }
  };
  while (av_read_frame(input.get(), packet.get()) >= 0) {
    AVCodecContext* decoder = packet->stream_index == videoIndex   ? video.get()
                              : packet->stream_index == audioIndex ? audio.get()
                                                                   : nullptr;
    if (decoder) {
      Check(avcodec_send_packet(decoder, packet.get()), path, "decoding");
      drain(decoder);
    }
    av_packet_unref(packet.get());
  }
  for (AVCodecContext* decoder : {video.get(), audio.get()}) {
    Check(avcodec_send_packet(decoder, nullptr), path, "decoding");
    drain(decoder);
  }
  return contents;
}

}  // namespace kelvane::testing
