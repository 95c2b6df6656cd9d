#include "ui/qt/SdlSound.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace pelasim {

namespace {

// The mixer's output format. The sound files are 22050 samples/s stereo; SDL converts
// them once when they are loaded.
constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;
// Samples per mixing buffer: about 23 ms at 44100/s, short enough for button clicks.
constexpr int kBufferSamples = 1024;

int mixChannel(SoundChannel channel) { return static_cast<int>(channel); }

}  // namespace

SdlSound::SdlSound(std::string soundsDir) : dir_(std::move(soundsDir)) {
  // SIGINT and SIGTERM belong to the program (they run its exit routine); SDL would
  // otherwise take them over and swallow them.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  if (Mix_OpenAudio(kOutputRate, AUDIO_S16SYS, kOutputChannels, kBufferSamples) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  Mix_AllocateChannels(kSoundChannelCount);
  open_ = true;
}

SdlSound::~SdlSound() {
  if (!open_) return;
  Mix_HaltChannel(-1);
  for (auto& [name, c] : chunks_) Mix_FreeChunk(c);
  chunks_.clear();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

Mix_Chunk* SdlSound::chunk(const std::string& file) {
  if (auto it = chunks_.find(file); it != chunks_.end()) return it->second;
  // Only bare file names of the sounds folder: nothing outside it is ever opened.
  if (file.empty() || file.find_first_of("/\\") != std::string::npos) return nullptr;
  Mix_Chunk* c = Mix_LoadWAV((dir_ + '/' + file).c_str());
  // A file that cannot be read is not remembered: it is tried again on the next request.
  if (c != nullptr) chunks_.emplace(file, c);
  return c;
}

void SdlSound::play(SoundChannel channel, const std::string& file) {
  if (!open_) return;
  const int ch = mixChannel(channel);
  // The request replaces what the channel was playing, even when the new file then fails.
  Mix_HaltChannel(ch);
  Mix_Chunk* c = chunk(file);
  if (c == nullptr) return;
  Mix_PlayChannel(ch, c, loops(channel) ? -1 : 0);
}

void SdlSound::stop(SoundChannel channel) {
  // A halted channel starts its next sound from the beginning: stopping also rewinds.
  if (open_) Mix_HaltChannel(mixChannel(channel));
}

bool SdlSound::playing(SoundChannel channel) const {
  return open_ && Mix_Playing(mixChannel(channel)) != 0;
}

}  // namespace pelasim
