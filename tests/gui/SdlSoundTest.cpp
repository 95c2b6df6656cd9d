// The SDL2_mixer sound back end on SDL's dummy audio driver: it plays the
// real sound files beside the program, once or looping per channel, cuts a channel on a
// new request, lets channels sound together, and stays silent on any failure.

#include "ui/qt/SdlSound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace pelasim {
namespace {

// The tests run in the program folder; PELASIM_PROGRAM_DIR names it otherwise.
std::string soundsDir() {
  const char* dir = std::getenv("PELASIM_PROGRAM_DIR");
  return std::string(dir ? dir : ".") + "/Sounds";
}

// Polls `done` until it holds or `limit` has passed.
bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

class SdlSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Never the real loudspeakers: SDL's silent driver, unless one is chosen explicitly.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    sound_ = std::make_unique<SdlSound>(soundsDir());
    if (!sound_->available()) GTEST_SKIP() << "no audio device (run with SDL_AUDIODRIVER=dummy)";
  }
  std::unique_ptr<SdlSound> sound_;
};

TEST_F(SdlSoundTest, SingleShotChannelPlaysTheFileOnceToItsEnd) {
  for (SoundChannel c : {SoundChannel::General, SoundChannel::Alarm, SoundChannel::Warning,
                         SoundChannel::Bubbles}) {
    sound_->play(c, "CLICK.wav");
    EXPECT_TRUE(sound_->playing(c));
    EXPECT_TRUE(waitFor([&] { return !sound_->playing(c); }, std::chrono::seconds(3)))
        << "channel " << static_cast<int>(c) << " should end by itself";
  }
}

TEST_F(SdlSoundTest, LoopingChannelKeepsSoundingUntilStopped) {
  for (SoundChannel c : {SoundChannel::GasControl, SoundChannel::FreeFlow, SoundChannel::Injector}) {
    // The click lasts 60 ms: still sounding well after that, it must be looping.
    sound_->play(c, "CLICK.wav");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(sound_->playing(c)) << "channel " << static_cast<int>(c);
    sound_->stop(c);
    EXPECT_FALSE(sound_->playing(c));
  }
}

TEST_F(SdlSoundTest, StoppedLoopStartsAgainOnTheNextRequest) {
  sound_->play(SoundChannel::Injector, "injectorshort.wav");
  sound_->stop(SoundChannel::Injector);
  sound_->play(SoundChannel::Injector, "injectorshort.wav");
  EXPECT_TRUE(sound_->playing(SoundChannel::Injector));
  // A repeated request on a looping channel (as the free-flow task makes every second)
  // keeps it sounding.
  sound_->play(SoundChannel::Injector, "injectorshort.wav");
  EXPECT_TRUE(sound_->playing(SoundChannel::Injector));
}

TEST_F(SdlSoundTest, DifferentChannelsSoundTogether) {
  sound_->play(SoundChannel::General, "alarm.wav");
  sound_->play(SoundChannel::Bubbles, "bubbles.wav");
  sound_->play(SoundChannel::FreeFlow, "longhiss.wav");
  EXPECT_TRUE(sound_->playing(SoundChannel::General));
  EXPECT_TRUE(sound_->playing(SoundChannel::Bubbles));
  EXPECT_TRUE(sound_->playing(SoundChannel::FreeFlow));
  sound_->stop(SoundChannel::FreeFlow);
  EXPECT_TRUE(sound_->playing(SoundChannel::General));
  EXPECT_TRUE(sound_->playing(SoundChannel::Bubbles));
}

TEST_F(SdlSoundTest, NewRequestCutsWhatTheChannelWasPlaying) {
  sound_->play(SoundChannel::GasControl, "longhiss.wav");
  ASSERT_TRUE(sound_->playing(SoundChannel::GasControl));
  // Even a request that then fails silences the channel.
  sound_->play(SoundChannel::GasControl, "no-such-sound.wav");
  EXPECT_FALSE(sound_->playing(SoundChannel::GasControl));
}

TEST_F(SdlSoundTest, MissingOrForeignFileStaysSilent) {
  sound_->play(SoundChannel::General, "no-such-sound.wav");
  EXPECT_FALSE(sound_->playing(SoundChannel::General));
  // Names are case-sensitive, and only bare names of the sounds folder are opened.
  sound_->play(SoundChannel::General, "click.wav");
  EXPECT_FALSE(sound_->playing(SoundChannel::General));
  sound_->play(SoundChannel::General, "../Sounds/CLICK.wav");
  EXPECT_FALSE(sound_->playing(SoundChannel::General));
  sound_->play(SoundChannel::General, "");
  EXPECT_FALSE(sound_->playing(SoundChannel::General));
  // The channel still works afterwards.
  sound_->play(SoundChannel::General, "CLICK.wav");
  EXPECT_TRUE(sound_->playing(SoundChannel::General));
}

TEST_F(SdlSoundTest, StoppingAnIdleChannelDoesNothing) {
  sound_->stop(SoundChannel::Warning);
  EXPECT_FALSE(sound_->playing(SoundChannel::Warning));
  sound_->play(SoundChannel::Warning, "LowO2.wav");
  EXPECT_TRUE(sound_->playing(SoundChannel::Warning));
}

TEST(SdlSoundWithoutDevice, EveryRequestIsSilentlyIgnored) {
  const char* old = std::getenv("SDL_AUDIODRIVER");
  const std::string saved = old ? old : "";
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  {
    SdlSound sound(soundsDir());
    EXPECT_FALSE(sound.available());
    sound.play(SoundChannel::General, "CLICK.wav");
    sound.play(SoundChannel::FreeFlow, "longhiss.wav");
    sound.stop(SoundChannel::FreeFlow);
    EXPECT_FALSE(sound.playing(SoundChannel::General));
  }
  if (old) {
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  } else {
    unsetenv("SDL_AUDIODRIVER");
  }
}

TEST(SdlSoundMissingFolder, PlaysNothing) {
  SdlSound sound("/nonexistent/Sounds");
  sound.play(SoundChannel::General, "CLICK.wav");
  sound.play(SoundChannel::Injector, "injector.wav");
  EXPECT_FALSE(sound.playing(SoundChannel::General));
  EXPECT_FALSE(sound.playing(SoundChannel::Injector));
}

}  // namespace
}  // namespace pelasim
