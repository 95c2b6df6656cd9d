#pragma once
// The seven sound channels on a real audio back end (SDL2_mixer).

#include <string>
#include <unordered_map>

#include "core/Host.h"

struct Mix_Chunk;

namespace pelasim {

// One per program: SDL_mixer's channels are process-wide. All calls come from the GUI
// thread; no mixer callback is registered, so nothing runs on the audio thread but SDL's
// own mixing.
class SdlSound {
 public:
  // `soundsDir`: the folder "Sounds" beside the program. Opens the audio device; without
  // one every request is silently ignored.
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
  // True while the channel is sounding (a single shot until its end, a loop until stopped).
  bool playing(SoundChannel channel) const;

 private:
  // The loaded sound for `file`, loaded on first use and kept; null when it cannot be read.
  Mix_Chunk* chunk(const std::string& file);

  std::string dir_;
  bool open_ = false;
  std::unordered_map<std::string, Mix_Chunk*> chunks_;
};

}  // namespace pelasim
