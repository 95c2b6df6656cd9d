// The sound files the build writes into the "Sounds" folder beside the programs: every
// name the simulator requests exists (names are case-sensitive), each is a PCM WAV of
// 2 channels, 22050 samples/s, 16 bits, and each is a clean sound: audible, not clipped,
// no DC offset, no click at its ends where it plays once, no seam where it loops.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Wav {
  std::uint16_t format = 0, channels = 0, blockAlign = 0, bits = 0;
  std::uint32_t rate = 0, byteRate = 0, riffSize = 0, fmtSize = 0, dataSize = 0;
  std::size_t fileSize = 0;
  std::vector<std::int16_t> left, right;
  std::string error;
};

std::uint32_t le(const std::vector<unsigned char>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

Wav readWav(const std::filesystem::path& path) {
  Wav w;
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    w.error = "cannot open " + path.string();
    return w;
  }
  const std::vector<unsigned char> b((std::istreambuf_iterator<char>(f)), {});
  w.fileSize = b.size();
  if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 16) != "WAVEfmt ") {
    w.error = "not a RIFF WAVE file with a leading fmt chunk";
    return w;
  }
  w.riffSize = le(b, 4, 4);
  w.fmtSize = le(b, 16, 4);
  w.format = static_cast<std::uint16_t>(le(b, 20, 2));
  w.channels = static_cast<std::uint16_t>(le(b, 22, 2));
  w.rate = le(b, 24, 4);
  w.byteRate = le(b, 28, 4);
  w.blockAlign = static_cast<std::uint16_t>(le(b, 32, 2));
  w.bits = static_cast<std::uint16_t>(le(b, 34, 2));
  const std::size_t data = 20 + w.fmtSize;
  if (b.size() < data + 8 || std::string(b.begin() + static_cast<std::ptrdiff_t>(data),
                                         b.begin() + static_cast<std::ptrdiff_t>(data + 4)) != "data") {
    w.error = "no data chunk after the fmt chunk";
    return w;
  }
  w.dataSize = le(b, data + 4, 4);
  if (w.channels != 2 || w.bits != 16 || data + 8 + w.dataSize > b.size()) {
    w.error = "unexpected layout";
    return w;
  }
  for (std::size_t i = data + 8; i + 3 < data + 8 + w.dataSize; i += 4) {
    w.left.push_back(static_cast<std::int16_t>(le(b, i, 2)));
    w.right.push_back(static_cast<std::int16_t>(le(b, i + 2, 2)));
  }
  return w;
}

enum class Use { Once, Loops, Both };

struct SoundCase {
  const char* file;
  Use use;
};

void PrintTo(const SoundCase& c, std::ostream* os) { *os << c.file; }

// Every file the simulator requests. Looping ones are played by the gas-control, free-flow
// and injector channels; a few are also played once elsewhere.
const SoundCase kSounds[] = {
    {"shorthiss.wav", Use::Both},   {"longhiss.wav", Use::Loops},
    {"longthiss.wav", Use::Loops},  {"bubbles.wav", Use::Both},
    {"Bubbles.wav", Use::Once},     {"injector.wav", Use::Loops},
    {"injectorshort.wav", Use::Loops}, {"alarm.wav", Use::Once},
    {"LowO2.wav", Use::Once},       {"lowo2.wav", Use::Once},
    {"DoubleBeep.wav", Use::Once},  {"CLICK.wav", Use::Once},
    {"Turnonr.wav", Use::Once},
};

// The "Sounds" folder beside the programs: PELASIM_PROGRAM_DIR from the environment when
// set, else the build's program folder.
std::filesystem::path soundsDir() {
  const char* dir = std::getenv("PELASIM_PROGRAM_DIR");
#ifdef PELASIM_PROGRAM_DIR
  if (dir == nullptr) dir = PELASIM_PROGRAM_DIR;
#endif
  return dir ? std::filesystem::path(dir) / "Sounds" : std::filesystem::path();
}

class SoundFile : public ::testing::TestWithParam<SoundCase> {
 protected:
  void SetUp() override {
    if (soundsDir().empty()) GTEST_SKIP() << "PELASIM_PROGRAM_DIR is not set";
    wav_ = readWav(soundsDir() / GetParam().file);
    ASSERT_TRUE(wav_.error.empty()) << GetParam().file << ": " << wav_.error;
    ASSERT_FALSE(wav_.left.empty()) << GetParam().file << " holds no samples";
  }
  Wav wav_;
};

TEST_P(SoundFile, HasThePcmFormatOfTheSoundChannels) {
  EXPECT_EQ(wav_.format, 1);  // PCM
  EXPECT_EQ(wav_.channels, 2);
  EXPECT_EQ(wav_.rate, 22050u);
  EXPECT_EQ(wav_.bits, 16);
  EXPECT_EQ(wav_.blockAlign, 4);
  EXPECT_EQ(wav_.byteRate, 88200u);
  EXPECT_EQ(wav_.fmtSize, 16u);
  EXPECT_EQ(wav_.dataSize % 4, 0u);
  EXPECT_EQ(wav_.riffSize, wav_.fileSize - 8);
  EXPECT_EQ(wav_.dataSize, wav_.fileSize - 44);
}

TEST_P(SoundFile, LastsLongEnoughToHearAndIsShort) {
  const double seconds = static_cast<double>(wav_.left.size()) / 22050.0;
  EXPECT_GE(seconds, 0.03);
  EXPECT_LE(seconds, 5.0);
}

TEST_P(SoundFile, IsLoudWithoutClipping) {
  int peak = 0;
  for (const auto* side : {&wav_.left, &wav_.right}) {
    double sumSquares = 0;
    for (std::int16_t s : *side) {
      peak = std::max(peak, std::abs(static_cast<int>(s)));
      sumSquares += static_cast<double>(s) * s;
    }
    const double rmsDb = 10 * std::log10(sumSquares / static_cast<double>(side->size()) / (32768.0 * 32768.0));
    EXPECT_GT(rmsDb, -35.0) << "one side is nearly silent";
  }
  // Peaks near -3 dBFS: loud, with headroom; full scale is never reached.
  const double peakDb = 20 * std::log10(peak / 32768.0);
  EXPECT_GT(peakDb, -4.0);
  EXPECT_LT(peakDb, -2.0);
}

TEST_P(SoundFile, HasNoDcOffset) {
  for (const auto* side : {&wav_.left, &wav_.right}) {
    double sum = 0;
    for (std::int16_t s : *side) sum += s;
    const double mean = sum / static_cast<double>(side->size());
    EXPECT_LT(std::abs(mean), 0.002 * 32768) << GetParam().file;
  }
}

class OneShotSound : public SoundFile {};
class LoopingSound : public SoundFile {};

// A sound played once starts and ends at silence, so it neither clicks on, nor is cut
// off with a click.
TEST_P(OneShotSound, StartsAndEndsQuietly) {
  for (const auto* side : {&wav_.left, &wav_.right}) {
    EXPECT_LT(std::abs(side->front()), 300);
    EXPECT_LT(std::abs(side->back()), 300);
  }
}

// A looping sound jumps no more from its last sample to its first than it does between
// its own neighbouring samples: there is no click at the loop point.
TEST_P(LoopingSound, HasNoSeamAtTheLoopPoint) {
  for (const auto* side : {&wav_.left, &wav_.right}) {
    std::vector<int> steps;
    for (std::size_t i = 1; i < side->size(); ++i) steps.push_back(std::abs((*side)[i] - (*side)[i - 1]));
    std::sort(steps.begin(), steps.end());
    const int p99 = steps[steps.size() * 99 / 100];
    EXPECT_LE(std::abs(side->back() - side->front()), std::max(p99, 300));
  }
}

std::vector<SoundCase> used(Use excluded) {
  std::vector<SoundCase> out;
  for (const SoundCase& c : kSounds) {
    if (c.use != excluded) out.push_back(c);
  }
  return out;
}

std::string caseName(const ::testing::TestParamInfo<SoundCase>& info) {
  std::string name = info.param.file;
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Sounds, SoundFile, ::testing::ValuesIn(kSounds), caseName);
INSTANTIATE_TEST_SUITE_P(Sounds, OneShotSound, ::testing::ValuesIn(used(Use::Loops)), caseName);
INSTANTIATE_TEST_SUITE_P(Sounds, LoopingSound, ::testing::ValuesIn(used(Use::Once)), caseName);

// The warning tone is requested under two spellings; on a case-sensitive file system
// these are two files and both must be there.
TEST(SoundFiles, BothSpellingsOfCaseVariantsExist) {
  if (soundsDir().empty()) GTEST_SKIP() << "PELASIM_PROGRAM_DIR is not set";
  for (const char* name : {"LowO2.wav", "lowo2.wav", "bubbles.wav", "Bubbles.wav"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(soundsDir() / name)) << name;
  }
}

}  // namespace
