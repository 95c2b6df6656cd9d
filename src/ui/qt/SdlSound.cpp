#include "ui/qt/SdlSound.h"

namespace pelasim {

SdlSound::SdlSound(std::string soundsDir) : dir_(std::move(soundsDir)) {}
SdlSound::~SdlSound() = default;
void SdlSound::play(SoundChannel, const std::string&) {}
void SdlSound::stop(SoundChannel) {}

}  // namespace pelasim
