#pragma once
// Owning handles of the FFmpeg libraries' objects and their error texts,
// for the video exporter, the video reader and the tests that read videos
// back. A format context is freed differently when read and when written:
// AvInput and AvOutput.

#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace kelvane {

struct AvFree {
  void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
  void operator()(AVFrame* p) const { av_frame_free(&p); }
  void operator()(AVPacket* p) const { av_packet_free(&p); }
  void operator()(AVAudioFifo* p) const { av_audio_fifo_free(p); }
  void operator()(SwrContext* p) const { swr_free(&p); }
  void operator()(SwsContext* p) const { sws_freeContext(p); }
  void operator()(AVDictionary* p) const { av_dict_free(&p); }
};
template <class T>
using AvPtr = std::unique_ptr<T, AvFree>;

struct AvInputFree {
  void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
};
using AvInput = std::unique_ptr<AVFormatContext, AvInputFree>;

struct AvOutputFree {
  void operator()(AVFormatContext* p) const {
    if (p->pb) avio_closep(&p->pb);
    avformat_free_context(p);
  }
};
using AvOutput = std::unique_ptr<AVFormatContext, AvOutputFree>;

inline std::string AvErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

}  // namespace kelvane
