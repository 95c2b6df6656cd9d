// Synthesises every sound effect of the simulator as a PCM WAV file: 2 channels,
// 22050 samples per second, 16 bits. The gas noises are filtered noise, the bubbles are
// decaying resonances with a rising pitch (a bubble rings higher as it shrinks towards the
// surface), the handset tones are piezo-like beeps. Every file is normalised to a peak of
// -3 dBFS and has no DC offset. The noise comes from a fixed-seed generator, so every
// build writes the same bytes.
//
// Usage: pelasim_soundgen <output folder> [--report]

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = std::numbers::pi;
constexpr double kPeak = 0.7079457843841379;  // -3 dBFS

// Stereo signal in floating point, full scale = 1.0.
struct Stereo {
  std::vector<double> l, r;
  explicit Stereo(std::size_t n = 0) : l(n, 0.0), r(n, 0.0) {}
  std::size_t size() const { return l.size(); }
};

std::size_t samples(double seconds) { return static_cast<std::size_t>(std::lround(seconds * kRate)); }

// Small fixed-seed generator (SplitMix64): identical output on every machine.
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : s_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
  // White noise in [-1, 1).
  double white() { return 2.0 * uniform() - 1.0; }

 private:
  std::uint64_t s_;
};

// Second-order filter (the usual audio-cookbook forms).
class Biquad {
 public:
  static Biquad bandPass(double freq, double q) {
    const double w = 2 * kPi * freq / kRate, a = std::sin(w) / (2 * q), c = std::cos(w);
    return Biquad(a, 0, -a, 1 + a, -2 * c, 1 - a);
  }
  static Biquad lowPass(double freq, double q) {
    const double w = 2 * kPi * freq / kRate, a = std::sin(w) / (2 * q), c = std::cos(w);
    return Biquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + a, -2 * c, 1 - a);
  }
  static Biquad highPass(double freq, double q) {
    const double w = 2 * kPi * freq / kRate, a = std::sin(w) / (2 * q), c = std::cos(w);
    return Biquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + a, -2 * c, 1 - a);
  }
  double operator()(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
      : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}
  double b0_, b1_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Filtered noise of `n` samples: white noise through the filters built by `makeChain`
// (called once per stereo side so both sides get their own filter state).
using Chain = std::vector<Biquad>;
std::vector<double> colouredNoise(std::size_t n, Noise& rng, const Chain& chain) {
  Chain c = chain;
  std::vector<double> out(n);
  // Run the filters in for a while so the file does not start with their settling.
  for (int i = 0; i < 4096; ++i) {
    double x = rng.white();
    for (Biquad& b : c) x = b(x);
  }
  for (std::size_t i = 0; i < n; ++i) {
    double x = rng.white();
    for (Biquad& b : c) x = b(x);
    out[i] = x;
  }
  return out;
}

// Noise of exactly `n` samples that loops without a seam: `n + fade` samples are made and
// the tail is cross-faded (at equal power, the two ends are unrelated noise) into the start.
std::vector<double> loopingNoise(std::size_t n, std::size_t fade, Noise& rng, const Chain& chain) {
  std::vector<double> raw = colouredNoise(n + fade, rng, chain);
  std::vector<double> out(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(n));
  for (std::size_t i = 0; i < fade; ++i) {
    const double t = (static_cast<double>(i) + 0.5) / static_cast<double>(fade);
    out[i] = raw[i] * std::sin(0.5 * kPi * t) + raw[n + i] * std::cos(0.5 * kPi * t);
  }
  return out;
}

// Raised-cosine ramp from 0 to 1 over `len` samples.
double ramp(std::size_t i, std::size_t len) {
  if (i >= len) return 1.0;
  return 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(len));
}

// Attack at the start and release at the end of a one-shot sound.
void shape(Stereo& s, double attackSeconds, double releaseSeconds) {
  const std::size_t a = samples(attackSeconds), r = samples(releaseSeconds), n = s.size();
  for (std::size_t i = 0; i < n; ++i) {
    const double g = ramp(i, a) * ramp(n - 1 - i, r);
    s.l[i] *= g;
    s.r[i] *= g;
  }
}

// Removes any DC offset (the mean of each side) and scales the loudest sample to -3 dBFS.
void finish(Stereo& s) {
  for (auto* side : {&s.l, &s.r}) {
    double mean = 0;
    for (double v : *side) mean += v;
    mean /= static_cast<double>(side->size());
    for (double& v : *side) v -= mean;
  }
  double peak = 0;
  for (std::size_t i = 0; i < s.size(); ++i) peak = std::max({peak, std::abs(s.l[i]), std::abs(s.r[i])});
  if (peak <= 0) return;
  const double g = kPeak / peak;
  for (std::size_t i = 0; i < s.size(); ++i) {
    s.l[i] *= g;
    s.r[i] *= g;
  }
}

// A piezo-like tone (fundamental with a little odd-harmonic edge) from `start` for `length`
// seconds, added to both sides, with short raised-cosine edges so it never clicks.
void addBeep(Stereo& s, double start, double length, double freq, double level,
             double edge = 0.004) {
  const std::size_t i0 = samples(start), n = samples(length), e = samples(edge);
  for (std::size_t i = 0; i < n && i0 + i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double ph = 2 * kPi * freq * t;
    // Harmonics above 10 kHz would fold back below the Nyquist limit of 11025 Hz.
    const double v = std::sin(ph) + (3 * freq < 10000 ? 0.22 * std::sin(3 * ph) : 0.0) +
                     (5 * freq < 10000 ? 0.08 * std::sin(5 * ph) : 0.0);
    const double g = level * ramp(i, e) * ramp(n - 1 - i, e);
    s.l[i0 + i] += g * v;
    s.r[i0 + i] += g * v;
  }
}

// ---------------------------------------------------------------- the gas noises

// A short burst of gas through a small orifice: bright hiss, quick attack, a slightly
// louder first instant as the pressure front arrives. Also looped while an injector button
// is held, so its release is short.
Stereo shortHiss() {
  const std::size_t n = samples(0.60);
  Noise rng(101);
  const Chain chain = {Biquad::highPass(1200, 0.7), Biquad::bandPass(4200, 0.6),
                       Biquad::lowPass(9000, 0.7)};
  Stereo s(n);
  s.l = colouredNoise(n, rng, chain);
  s.r = colouredNoise(n, rng, chain);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double g = 0.8 + 0.2 * std::exp(-t / 0.08);
    s.l[i] *= g;
    s.r[i] *= g;
  }
  shape(s, 0.006, 0.030);
  return s;
}

// A sustained free flow: a fuller, darker roar with a slow flutter. Loops seamlessly.
Stereo longHiss() {
  const std::size_t n = samples(3.0);
  Noise rng(202);
  const Chain chain = {Biquad::highPass(250, 0.7), Biquad::bandPass(1600, 0.45),
                       Biquad::lowPass(5500, 0.7)};
  Stereo s(n);
  s.l = loopingNoise(n, samples(0.15), rng, chain);
  s.r = loopingNoise(n, samples(0.15), rng, chain);
  for (std::size_t i = 0; i < n; ++i) {
    // Flutter at whole multiples of the loop frequency, so the loop stays seamless.
    const double t = static_cast<double>(i) / kRate;
    const double g = 1.0 + 0.06 * std::sin(2 * kPi * t * (2.0 / 3.0)) +
                     0.04 * std::sin(2 * kPi * t * (7.0 / 3.0) + 1.0);
    s.l[i] *= g;
    s.r[i] *= g;
  }
  return s;
}

// A thin, high free flow through a leaking seat: narrow high hiss with a faint whistle.
// Loops seamlessly: the whistle completes whole cycles (and whole vibrato cycles) per loop.
Stereo longThinHiss() {
  const double seconds = 3.0;
  const std::size_t n = samples(seconds);
  Noise rng(303);
  const Chain chain = {Biquad::highPass(3000, 0.7), Biquad::bandPass(6200, 2.0),
                       Biquad::lowPass(9500, 0.7)};
  Stereo s(n);
  s.l = loopingNoise(n, samples(0.15), rng, chain);
  s.r = loopingNoise(n, samples(0.15), rng, chain);
  double rms = 0;
  for (double v : s.l) rms += v * v;
  rms = std::sqrt(rms / static_cast<double>(n));
  const double whistle = 3300.0, vibratoRate = 5.0 / seconds, vibratoDepth = 25.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    // Phase of a frequency-modulated sine: the integral of whistle + depth * sin(...).
    const double ph = 2 * kPi * whistle * t -
                      vibratoDepth / vibratoRate * std::cos(2 * kPi * vibratoRate * t);
    const double w = 0.35 * rms * std::sin(ph);
    s.l[i] += w;
    s.r[i] += w;
  }
  return s;
}

// Solenoid held open: steady gas rush with the faint hum of the coil. Loops seamlessly
// (the hum completes whole cycles in the loop), with no click at the loop point.
Stereo injectorLong() {
  const std::size_t n = samples(2.0);
  Noise rng(404);
  const Chain chain = {Biquad::highPass(600, 0.7), Biquad::bandPass(2600, 1.1),
                       Biquad::lowPass(7000, 0.7)};
  Stereo s(n);
  s.l = loopingNoise(n, samples(0.12), rng, chain);
  s.r = loopingNoise(n, samples(0.12), rng, chain);
  double rms = 0;
  for (double v : s.l) rms += v * v;
  rms = std::sqrt(rms / static_cast<double>(n));
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double ph = 2 * kPi * 100.0 * t;
    const double hum = rms * (0.22 * std::sin(ph) + 0.12 * std::sin(2 * ph + 0.4) +
                              0.06 * std::sin(3 * ph + 1.1));
    s.l[i] += hum;
    s.r[i] += hum;
  }
  return s;
}

// The metallic clack of a solenoid plunger seating: a ringing tick over a dull thump.
void addSolenoidClick(Stereo& s, std::size_t at, double level, std::uint64_t seed) {
  Noise rng(seed);
  Biquad ringA = Biquad::bandPass(3100, 6.0), ringB = Biquad::bandPass(1150, 4.0);
  Biquad ringC = Biquad::bandPass(3100, 6.0), ringD = Biquad::bandPass(1150, 4.0);
  const std::size_t n = samples(0.045);
  for (std::size_t i = 0; i < n && at + i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double burst = t < 0.0015 ? 1.0 : 0.0;
    const double xl = burst * rng.white(), xr = burst * rng.white();
    const double thump = 0.5 * std::sin(2 * kPi * 180 * t) * std::exp(-t / 0.008) * ramp(i, 8);
    s.l[at + i] += level * (6.0 * ringA(xl) + 3.0 * ringB(xl) + thump);
    s.r[at + i] += level * (6.0 * ringC(xr) + 3.0 * ringD(xr) + thump);
  }
}

// One solenoid pulse: the clack, then gas for the rest of the second. Looped for a long
// pulse it clicks once a second, one click per step of oxygen.
Stereo injectorShort() {
  const std::size_t n = samples(1.0);
  Noise rng(505);
  const Chain chain = {Biquad::highPass(600, 0.7), Biquad::bandPass(2600, 1.1),
                       Biquad::lowPass(7000, 0.7)};
  Stereo s(n);
  s.l = colouredNoise(n, rng, chain);
  s.r = colouredNoise(n, rng, chain);
  double rms = 0;
  for (double v : s.l) rms += v * v;
  rms = std::sqrt(rms / static_cast<double>(n));
  const std::size_t gasStart = samples(0.004), gasRise = samples(0.012);
  for (std::size_t i = 0; i < n; ++i) {
    const double g = i < gasStart ? 0.0 : ramp(i - gasStart, gasRise);
    s.l[i] *= g;
    s.r[i] *= g;
  }
  addSolenoidClick(s, 0, 2.2 * rms, 55);
  return s;
}

// ---------------------------------------------------------------- bubbles

struct BubbleStyle {
  double seconds;
  double rate;                  // bubbles per second on average
  double minFreq, maxFreq;      // resonance at release, Hz
  double burstSeconds;          // an initial gush of extra bubbles
  std::uint64_t seed;
};

// Each bubble rings at its resonance, rising in pitch as it rises and shrinks, and dies
// away within tens of milliseconds; bubbles are spread across the stereo image.
Stereo bubbles(const BubbleStyle& style) {
  const std::size_t n = samples(style.seconds);
  Stereo s(n);
  Noise rng(style.seed);
  double t = 0.004;
  while (t < style.seconds - 0.12) {
    const double burst = t < style.burstSeconds ? 2.5 : 1.0;
    const double f0 = style.minFreq * std::pow(style.maxFreq / style.minFreq, rng.uniform());
    const double decay = 0.012 + 0.035 * rng.uniform() * (style.minFreq / f0 + 0.3);
    const double rise = 0.4 + 1.2 * rng.uniform();  // octaves per second of pitch rise
    const double amp = (0.3 + 0.7 * rng.uniform()) * std::sqrt(style.minFreq / f0);
    const double pan = rng.uniform();
    const std::size_t i0 = samples(t), len = samples(std::min(8 * decay, 0.25));
    double ph = 0;
    for (std::size_t i = 0; i < len && i0 + i < n; ++i) {
      const double u = static_cast<double>(i) / kRate;
      const double f = f0 * std::pow(2.0, rise * u);
      ph += 2 * kPi * f / kRate;
      const double v = amp * std::sin(ph) * std::exp(-u / decay) * ramp(i, 10);
      s.l[i0 + i] += v * std::cos(0.5 * kPi * pan);
      s.r[i0 + i] += v * std::sin(0.5 * kPi * pan);
    }
    // Exponential gaps: the irregular rhythm of gas escaping through water.
    t += -std::log(1.0 - rng.uniform()) / (style.rate * burst);
  }
  // A little water wash under the bubbles.
  Noise wash(style.seed + 1);
  const Chain chain = {Biquad::highPass(120, 0.7), Biquad::lowPass(900, 0.7)};
  const std::vector<double> wl = colouredNoise(n, wash, chain), wr = colouredNoise(n, wash, chain);
  for (std::size_t i = 0; i < n; ++i) {
    s.l[i] += 0.15 * wl[i];
    s.r[i] += 0.15 * wr[i];
  }
  shape(s, 0.005, 0.06);
  return s;
}

// ---------------------------------------------------------------- tones

// Urgent two-tone alarm: hard alternation of two pitches, eight times a second.
Stereo alarm() {
  const double seconds = 1.5, slot = 0.125;
  Stereo s(samples(seconds));
  const int slots = static_cast<int>(seconds / slot + 0.5);
  for (int k = 0; k < slots; ++k) {
    const double f = k % 2 == 0 ? 960.0 : 1440.0;
    const std::size_t i0 = samples(k * slot), len = samples(slot);
    for (std::size_t i = 0; i < len && i0 + i < s.size(); ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double ph = 2 * kPi * f * t;
      // A band-limited square wave: harsh enough to cut through, no aliasing.
      double v = 0;
      for (int h = 1; h <= 9; h += 2) {
        if (f * h < 9000) v += std::sin(h * ph) / h;
      }
      const double g = ramp(i, 40) * ramp(len - 1 - i, 40);
      s.l[i0 + i] += g * v;
      s.r[i0 + i] += g * v;
    }
  }
  return s;
}

// The handset's warning tone: three firm beeps from its piezo sounder.
Stereo warningTone() {
  Stereo s(samples(0.82));
  for (int k = 0; k < 3; ++k) addBeep(s, 0.01 + k * 0.26, 0.16, 1800.0, 1.0, 0.005);
  return s;
}

// Two short high beeps.
Stereo doubleBeep() {
  Stereo s(samples(0.28));
  addBeep(s, 0.005, 0.07, 2400.0, 1.0);
  addBeep(s, 0.145, 0.07, 2400.0, 1.0);
  return s;
}

// A crisp button click: a short ringing tick with a softer release tick after it.
Stereo click() {
  Stereo s(samples(0.06));
  Noise rng(606);
  for (const auto& [at, level, freq] :
       {std::tuple{0.001, 1.0, 3600.0}, std::tuple{0.024, 0.45, 4300.0}}) {
    Biquad rl = Biquad::bandPass(freq, 3.0), rr = Biquad::bandPass(freq, 3.0);
    Biquad bl = Biquad::bandPass(900, 2.0), br = Biquad::bandPass(900, 2.0);
    const std::size_t i0 = samples(at);
    for (std::size_t i = 0; i < samples(0.02) && i0 + i < s.size(); ++i) {
      const double u = static_cast<double>(i) / kRate;
      const double on = u < 0.0008 ? 1.0 : 0.0;
      const double xl = on * rng.white(), xr = on * rng.white();
      s.l[i0 + i] += level * (3.0 * rl(xl) + 1.5 * bl(xl));
      s.r[i0 + i] += level * (3.0 * rr(xr) + 1.5 * br(xr));
    }
  }
  shape(s, 0.0003, 0.01);
  return s;
}

// Power-on chime: three rising bell-like notes.
Stereo turnOn() {
  Stereo s(samples(0.85));
  const double notes[3] = {1046.5, 1318.5, 1568.0};
  for (int k = 0; k < 3; ++k) {
    const std::size_t i0 = samples(0.01 + 0.13 * k), len = s.size() - i0 - samples(0.01);
    for (std::size_t i = 0; i < len; ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double ph = 2 * kPi * notes[k] * t;
      const double v = (std::sin(ph) + 0.3 * std::sin(2 * ph) + 0.1 * std::sin(3 * ph)) *
                       std::exp(-t / (k == 2 ? 0.22 : 0.12)) * ramp(i, 60);
      s.l[i0 + i] += v;
      s.r[i0 + i] += v;
    }
  }
  shape(s, 0.0, 0.03);
  return s;
}

// ---------------------------------------------------------------- output

void put16(std::ofstream& f, std::uint16_t v) {
  const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
  f.write(b, 2);
}
void put32(std::ofstream& f, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((v >> (8 * i)) & 0xFF);
    f.write(&c, 1);
  }
}

bool writeWav(const std::filesystem::path& path, const Stereo& s) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (!f) return false;
  const auto dataBytes = static_cast<std::uint32_t>(s.size() * 4);
  f.write("RIFF", 4);
  put32(f, 36 + dataBytes);
  f.write("WAVEfmt ", 8);
  put32(f, 16);
  put16(f, 1);  // PCM
  put16(f, 2);  // channels
  put32(f, kRate);
  put32(f, kRate * 4);  // bytes per second
  put16(f, 4);          // block alignment
  put16(f, 16);         // bits per sample
  f.write("data", 4);
  put32(f, dataBytes);
  auto toPcm = [](double v) {
    const double c = std::clamp(v, -1.0, 1.0) * 32767.0;
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(c)));
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    put16(f, toPcm(s.l[i]));
    put16(f, toPcm(s.r[i]));
  }
  return static_cast<bool>(f);
}

struct SoundDef {
  const char* file;
  std::function<Stereo()> make;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output folder> [--report]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const bool report = argc > 2 && std::string(argv[2]) == "--report";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);

  const BubbleStyle vent{1.6, 22.0, 280.0, 1100.0, 0.35, 707};
  const BubbleStyle leak{1.6, 30.0, 700.0, 2000.0, 0.0, 808};
  const std::vector<SoundDef> defs = {
      {"shorthiss.wav", shortHiss},
      {"longhiss.wav", longHiss},
      {"longthiss.wav", longThinHiss},
      // The ascent and over-pressure vents let go a burst of big bubbles; a leak seeps a
      // steadier stream of small ones.
      {"bubbles.wav", [&] { return bubbles(vent); }},
      {"Bubbles.wav", [&] { return bubbles(leak); }},
      {"injector.wav", injectorLong},
      {"injectorshort.wav", injectorShort},
      {"alarm.wav", alarm},
      // The same warning tone is requested under two spellings.
      {"LowO2.wav", warningTone},
      {"lowo2.wav", warningTone},
      {"DoubleBeep.wav", doubleBeep},
      {"CLICK.wav", click},
      {"Turnonr.wav", turnOn},
  };
  int failures = 0;
  for (const SoundDef& d : defs) {
    Stereo s = d.make();
    finish(s);
    if (!writeWav(dir / d.file, s)) {
      std::fprintf(stderr, "cannot write %s\n", (dir / d.file).c_str());
      ++failures;
      continue;
    }
    if (report) {
      double peak = 0;
      for (std::size_t i = 0; i < s.size(); ++i) peak = std::max({peak, std::abs(s.l[i]), std::abs(s.r[i])});
      std::printf("%-18s %6.3f s  peak %6.2f dBFS\n", d.file,
                  static_cast<double>(s.size()) / kRate, 20 * std::log10(peak));
    }
  }
  return failures == 0 ? 0 : 1;
}
