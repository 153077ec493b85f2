#include "render/video_file_export.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include "render/av_handles.h"

namespace kelvane {

namespace {

// FFmpeg's calls answer negative numbers for errors.
int Check(int code, const std::string& target, const char* doing) {
  if (code < 0) throw WriteError(target, std::string(doing) + ": " + AvErrorText(code));
  return code;
}

AVChannelLayout Stereo() {
  AVChannelLayout layout{};
  av_channel_layout_default(&layout, 2);
  return layout;
}

template <class T>
T* Allocated(T* p, const std::string& target) {
  if (!p) throw WriteError(target, "out of memory");
  return p;
}

// Every pixel keeps its own colour (4:4:4: H.264's High 4:4:4 Predictive
// profile, VP9's profile 1). Halved chroma, the usual 4:2:0, shares one
// colour between the frame's inner ring and the black inside it, gives an
// odd side a padding column of a blend, and takes most of the red out of a
// line one pixel wide, which a flash check of the video then misses.
constexpr AVPixelFormat kPixelFormat = AV_PIX_FMT_YUV444P;

// What goes into each kind of file, and how hard the encoders work. Both
// encode without loss: the pictures come back as the renderer made them,
// within the level or two that the conversion to YUV rounds. The tunnel
// changes nearly every pixel in every frame, and at any quality that
// loses something (x264's crf 12, libvpx's crf 10) the frame's rings still
// came back up to 20 levels off next to it, the tunnel's pixels 4 levels
// off on average, for files only a third to a half smaller. Each encoder
// runs its fastest mode, which costs about 30 % in size against the next
// one for three times the speed (bench/export_bench.cpp, and the README's
// measurements).
struct Recipe {
  const char* muxer;
  const char* videoEncoder;
  std::vector<std::pair<const char*, const char*>> videoOptions;
  const char* audioEncoder;
  AVSampleFormat sampleFormat;
  int sampleRate;  // 0: the sound's own
  std::int64_t audioBitRate;
};

Recipe RecipeFor(ExportKind kind) {
  if (kind == ExportKind::Mp4) {
    return {"mp4", "libx264", {{"preset", "ultrafast"}, {"qp", "0"}}, "aac", AV_SAMPLE_FMT_FLTP, 0, 192000};
  }
  // Row threads let libvpx's real-time mode use both cores. One tile
  // column: with two, this libvpx (1.12) corrupts its heap on 4:4:4
  // pictures when it encodes them on two threads. Opus only knows 48 kHz.
  return {"webm",
          "libvpx-vp9",
          {{"deadline", "realtime"},
           {"cpu-used", "8"},
           {"row-mt", "1"},
           {"tile-columns", "0"},
           {"lag-in-frames", "0"},
           {"lossless", "1"}},
          "libopus",
          AV_SAMPLE_FMT_FLT,
          48000,
          160000};
}

const AVCodec* FindEncoder(const char* name, const std::string& target) {
  const AVCodec* codec = avcodec_find_encoder_by_name(name);
  if (!codec) throw WriteError(target, std::string("this FFmpeg has no ") + name + " encoder");
  return codec;
}

void OpenCodec(AVCodecContext* codec, const std::vector<std::pair<const char*, const char*>>& options,
               const std::string& target) {
  AVDictionary* raw = nullptr;
  for (const auto& [key, value] : options) av_dict_set(&raw, key, value, 0);
  const int opened = avcodec_open2(codec, codec->codec, &raw);
  AvPtr<AVDictionary> unused(raw);
  Check(opened, target, "opening the encoder");
  // An option the encoder does not know is dropped silently otherwise.
  if (const AVDictionaryEntry* entry = av_dict_get(unused.get(), "", nullptr, AV_DICT_IGNORE_SUFFIX))
    throw WriteError(target, std::string(codec->codec->name) + " has no option " + entry->key);
}

AvPtr<AVCodecContext> OpenVideoCodec(const Recipe& recipe, const ExportSettings& settings, bool globalHeader,
                                     const std::string& target) {
  AvPtr<AVCodecContext> codec(Allocated(avcodec_alloc_context3(FindEncoder(recipe.videoEncoder, target)), target));
  codec->width = settings.width;
  codec->height = settings.height;
  codec->time_base = {1, settings.fps};
  codec->framerate = {settings.fps, 1};
  codec->pix_fmt = kPixelFormat;
  codec->gop_size = 2 * settings.fps;  // a seek lands within two seconds
  codec->thread_count = 2;
  // Tagged, so that players turn it back into the same colours.
  codec->color_range = AVCOL_RANGE_MPEG;
  codec->colorspace = AVCOL_SPC_BT709;
  codec->color_primaries = AVCOL_PRI_BT709;
  codec->color_trc = AVCOL_TRC_BT709;
  if (globalHeader) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  OpenCodec(codec.get(), recipe.videoOptions, target);
  return codec;
}

AvPtr<AVCodecContext> OpenAudioCodec(const Recipe& recipe, int inputRate, bool globalHeader,
                                     const std::string& target) {
  AvPtr<AVCodecContext> codec(Allocated(avcodec_alloc_context3(FindEncoder(recipe.audioEncoder, target)), target));
  codec->sample_fmt = recipe.sampleFormat;
  codec->sample_rate = recipe.sampleRate > 0 ? recipe.sampleRate : inputRate;
  codec->ch_layout = Stereo();
  codec->bit_rate = recipe.audioBitRate;
  codec->time_base = {1, codec->sample_rate};
  if (globalHeader) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  OpenCodec(codec.get(), {}, target);
  return codec;
}

// One encoder and its stream: frames in, packets to the muxer.
class StreamEncoder {
 public:
  // framesPerPacket: the duration of a packet in the codec's time base when
  // the encoder leaves it out (a picture: one frame), 0 to leave it;
  // delay: added to every timestamp, in the codec's time base.
  StreamEncoder(AVFormatContext* muxer, AvPtr<AVCodecContext> codec, std::int64_t framesPerPacket, std::int64_t delay,
                const std::string& target)
      : muxer_(muxer),
        codec_(std::move(codec)),
        packet_(Allocated(av_packet_alloc(), target)),
        framesPerPacket_(framesPerPacket),
        delay_(delay),
        target_(target) {
    stream_ = Allocated(avformat_new_stream(muxer, nullptr), target);
    stream_->time_base = codec_->time_base;
    if (codec_->codec_type == AVMEDIA_TYPE_VIDEO) stream_->avg_frame_rate = codec_->framerate;
    Check(avcodec_parameters_from_context(stream_->codecpar, codec_.get()), target, "describing a stream");
  }

  const AVCodecContext& Codec() const { return *codec_; }

  // nullptr drains the encoder.
  void Send(const AVFrame* frame) {
    Check(avcodec_send_frame(codec_.get(), frame), target_, "encoding");
    for (;;) {
      const int got = avcodec_receive_packet(codec_.get(), packet_.get());
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return;
      Check(got, target_, "encoding");
      if (packet_->duration == 0) packet_->duration = framesPerPacket_;
      packet_->pts += delay_;
      packet_->dts += delay_;
      av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
      packet_->stream_index = stream_->index;
      Check(av_interleaved_write_frame(muxer_, packet_.get()), target_, "writing");
    }
  }

 private:
  AVFormatContext* muxer_;
  AvPtr<AVCodecContext> codec_;
  AvPtr<AVPacket> packet_;
  AVStream* stream_ = nullptr;
  std::int64_t framesPerPacket_;
  std::int64_t delay_;
  std::string target_;
};

// WebM keeps the audio encoder's priming as CodecDelay, which readers
// subtract from every audio timestamp, so the audio is written that much
// later. Muxers up to this one leave that to the caller; left alone they
// shift every stream instead, and the video starts 7 ms late (newer ones
// delay the audio themselves).
std::int64_t PrimingDelay(const AVFormatContext& muxer, const AVCodecContext& audio) {
#if LIBAVFORMAT_VERSION_INT <= AV_VERSION_INT(59, 30, 100)
  if (std::strcmp(muxer.oformat->name, "webm") == 0) return audio.initial_padding;
#else
  (void)muxer, (void)audio;
#endif
  return 0;
}

AvPtr<AVFrame> NewFrame(const std::string& target) { return AvPtr<AVFrame>(Allocated(av_frame_alloc(), target)); }

// The renderer's pictures as the encoder's frames, every pixel with its own
// colour. Unscaled; the input's chroma is read at full width too, which
// swscale would otherwise take from pixel pairs.
class PictureFeed {
 public:
  PictureFeed(int width, int height, const std::string& target)
      : width_(width), height_(height), frame_(NewFrame(target)), target_(target) {
    frame_->format = kPixelFormat;
    frame_->width = width;
    frame_->height = height;
    Check(av_frame_get_buffer(frame_.get(), 0), target, "allocating a picture");
    scaler_.reset(sws_getContext(width, height, AV_PIX_FMT_0RGB32, width, height, kPixelFormat,
                                 SWS_POINT | SWS_FULL_CHR_H_INP | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
    Allocated(scaler_.get(), target);
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(scaler_.get(), sws_getCoefficients(SWS_CS_DEFAULT), 1, bt709, 0, 0, 1 << 16, 1 << 16);
  }

  const AVFrame* Convert(const Frame& picture, std::int64_t pts) {
    if (picture.width != width_ || picture.height != height_) {
      throw WriteError(target_, "a frame of " + std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                                    " in a video of " + std::to_string(width_) + " x " + std::to_string(height_));
    }
    // The encoder may still hold the previous picture.
    Check(av_frame_make_writable(frame_.get()), target_, "allocating a picture");
    const auto* source = reinterpret_cast<const std::uint8_t*>(picture.pixels);
    const int sourceBytes = static_cast<int>(picture.stride * static_cast<std::ptrdiff_t>(sizeof(std::uint32_t)));
    sws_scale(scaler_.get(), &source, &sourceBytes, 0, frame_->height, frame_->data, frame_->linesize);
    frame_->pts = pts;
    return frame_.get();
  }

 private:
  int width_, height_;
  AvPtr<AVFrame> frame_;
  AvPtr<SwsContext> scaler_;
  std::string target_;
};

// The renderer's sound, in blocks of any size, as the encoder's frames of
// its own size, rate and sample format.
class SoundFeed {
 public:
  SoundFeed(StreamEncoder& encoder, int inputRate, const std::string& target)
      : encoder_(encoder), inputRate_(inputRate), target_(target) {
    const AVCodecContext& codec = encoder.Codec();
    SwrContext* resampler = nullptr;
    // Copies: this FFmpeg's swr_alloc_set_opts2 takes them as non-const.
    AVChannelLayout stereo = Stereo(), encoded = Stereo();
    Check(swr_alloc_set_opts2(&resampler, &encoded, codec.sample_fmt, codec.sample_rate, &stereo, AV_SAMPLE_FMT_FLTP,
                              inputRate, 0, nullptr),
          target, "setting up the resampler");
    resampler_.reset(resampler);
    Check(swr_init(resampler_.get()), target, "setting up the resampler");
    fifo_.reset(Allocated(av_audio_fifo_alloc(codec.sample_fmt, codec.ch_layout.nb_channels, 1 << 14), target));
    frameSize_ = codec.frame_size > 0 ? codec.frame_size : 1024;
    frame_ = NewFrame(target);
    frame_->format = codec.sample_fmt;
    frame_->sample_rate = codec.sample_rate;
    frame_->nb_samples = frameSize_;
    Check(av_channel_layout_copy(&frame_->ch_layout, &codec.ch_layout), target, "setting up the sound");
    Check(av_frame_get_buffer(frame_.get(), 0), target, "setting up the sound");
    converted_ = NewFrame(target);
  }

  void Add(const float* left, const float* right, int frames) {
    const std::uint8_t* in[2] = {reinterpret_cast<const std::uint8_t*>(left),
                                 reinterpret_cast<const std::uint8_t*>(right)};
    Resample(in, frames);
    inputFrames_ += frames;
    while (av_audio_fifo_size(fifo_.get()) >= frameSize_) SendFrame(frameSize_);
  }

  // Encodes exactly the given length: what the resampler still holds, no
  // more than the rate change makes of it. The last frame goes short; the
  // encoder pads it to its frame size and marks the padding for trimming.
  void Finish() {
    while (Resample(nullptr, 0) > 0) {
    }
    const AVCodecContext& codec = encoder_.Codec();
    const std::int64_t total = av_rescale_rnd(inputFrames_, codec.sample_rate, inputRate_, AV_ROUND_NEAR_INF);
    while (sent_ < total) SendFrame(static_cast<int>(std::min<std::int64_t>(frameSize_, total - sent_)));
    encoder_.Send(nullptr);
  }

 private:
  // nullptr: what the resampler still holds. Answers the samples made.
  int Resample(const std::uint8_t** in, int frames) {
    const int room = swr_get_out_samples(resampler_.get(), frames);
    if (room <= 0) return 0;
    if (converted_->nb_samples < room) {
      av_frame_unref(converted_.get());
      converted_->format = frame_->format;
      converted_->nb_samples = room;
      Check(av_channel_layout_copy(&converted_->ch_layout, &frame_->ch_layout), target_, "resampling");
      Check(av_frame_get_buffer(converted_.get(), 0), target_, "resampling");
    }
    const int made = Check(swr_convert(resampler_.get(), converted_->extended_data, converted_->nb_samples, in, frames),
                           target_, "resampling");
    if (made > 0 && av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(converted_->extended_data), made) < made)
      throw WriteError(target_, "out of memory");
    return made;
  }

  // From the buffer; silence where it runs short of the length promised.
  void SendFrame(int samples) {
    Check(av_frame_make_writable(frame_.get()), target_, "encoding sound");
    frame_->nb_samples = samples;
    const int got =
        std::max(0, av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->extended_data), samples));
    av_samples_set_silence(frame_->extended_data, got, samples - got, frame_->ch_layout.nb_channels,
                           static_cast<AVSampleFormat>(frame_->format));
    frame_->pts = sent_;
    sent_ += samples;
    encoder_.Send(frame_.get());
  }

  StreamEncoder& encoder_;
  int inputRate_;
  std::string target_;
  AvPtr<SwrContext> resampler_;
  AvPtr<AVAudioFifo> fifo_;
  AvPtr<AVFrame> frame_;      // one codec frame
  AvPtr<AVFrame> converted_;  // the resampler's output, before the buffer
  int frameSize_ = 0;
  std::int64_t inputFrames_ = 0;
  std::int64_t sent_ = 0;  // samples at the codec's rate
};

class VideoFileExporter : public Exporter {
 public:
  VideoFileExporter(const std::string& path, ExportKind kind, const ExportSettings& settings)
      : file_(path), picture_(settings.width, settings.height, path) {
    const Recipe recipe = RecipeFor(kind);
    AVFormatContext* muxer = nullptr;
    Check(avformat_alloc_output_context2(&muxer, nullptr, recipe.muxer, file_.Path().c_str()), path,
          "setting up the file");
    muxer_.reset(muxer);
    const bool globalHeader = muxer->oformat->flags & AVFMT_GLOBALHEADER;
    video_.emplace(muxer, OpenVideoCodec(recipe, settings, globalHeader, path), 1, 0, path);
    AvPtr<AVCodecContext> audio = OpenAudioCodec(recipe, settings.sampleRate, globalHeader, path);
    const std::int64_t delay = PrimingDelay(*muxer, *audio);
    audio_.emplace(muxer, std::move(audio), 0, delay, path);
    sound_.emplace(*audio_, settings.sampleRate, path);
    Check(avio_open(&muxer->pb, file_.Path().c_str(), AVIO_FLAG_WRITE), path, "opening");
    Check(avformat_write_header(muxer, nullptr), path, "writing the header");
  }

  bool WantsFrames() const override { return true; }

  void AddAudio(const float* left, const float* right, int frames) override { sound_->Add(left, right, frames); }

  void AddFrame(const Frame& frame) override { video_->Send(picture_.Convert(frame, framesSent_++)); }

  void Finish() override {
    if (finished_) return;
    video_->Send(nullptr);
    sound_->Finish();
    Check(av_write_trailer(muxer_.get()), file_.Target(), "finishing");
    Check(avio_closep(&muxer_->pb), file_.Target(), "closing");
    file_.Commit();
    finished_ = true;
  }

 private:
  PendingFile file_;  // first: removed only after everything else is closed
  PictureFeed picture_;
  AvOutput muxer_;
  std::optional<StreamEncoder> video_, audio_;
  std::optional<SoundFeed> sound_;
  std::int64_t framesSent_ = 0;
  bool finished_ = false;
};

}  // namespace

std::unique_ptr<Exporter> OpenVideoFileExporter(const std::string& path, ExportKind kind,
                                                const ExportSettings& settings) {
  // The encoders' statistics and notes stay off standard error; errors
  // still show, and reach the caller as exceptions.
  av_log_set_level(AV_LOG_ERROR);
  return std::make_unique<VideoFileExporter>(path, kind, settings);
}

}  // namespace kelvane
