#pragma once
// The pictures of any video the FFmpeg libraries read, one after another, as
// a player shows them (the matrix and range the stream is tagged with), for
// the flash analyser: an export of a session, or any other material.

#include <memory>
#include <string>

#include "render/frame.h"

namespace kelvane {

class VideoFrames {
 public:
  // Throws std::runtime_error naming the file and what is wrong with it.
  explicit VideoFrames(const std::string& path);
  ~VideoFrames();
  VideoFrames(const VideoFrames&) = delete;
  VideoFrames& operator=(const VideoFrames&) = delete;

  int Width() const;
  int Height() const;
  double Fps() const;  // the stream's average frame rate
  // The next picture, valid until the next call; false after the last.
  bool Next(Frame& picture);

 private:
  struct Decoder;
  std::unique_ptr<Decoder> decoder_;
};

}  // namespace kelvane
