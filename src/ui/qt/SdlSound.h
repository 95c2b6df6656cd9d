#pragma once
// The seven sound channels on a real audio back end.

#include <string>

#include "core/Host.h"

namespace pelasim {

class SdlSound {
 public:
  // `soundsDir`: the folder "Sounds" beside the program.
  explicit SdlSound(std::string soundsDir);
  ~SdlSound();
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  // Plays `file` (a bare name, resolved in the sounds folder exactly as given) on the
  // channel: once on the four single-shot channels, looping on the other three. A new request
  // cuts what the channel was playing. Any failure is silent.
  void play(SoundChannel channel, const std::string& file);
  // Stops the channel and rewinds it; stopping an idle channel does nothing.
  void stop(SoundChannel channel);
  bool available() const { return open_; }

 private:
  std::string dir_;
  bool open_ = false;
};

}  // namespace pelasim
