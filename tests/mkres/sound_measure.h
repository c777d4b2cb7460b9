// Measurements shared by the sound and music tests, taken on the decoded WAV
// exactly as the game's wave list sees it.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/Mixer.h"

namespace gravik::mkres::test {

inline WaveData Decode(const std::vector<uint8_t>& bytes) {
  WaveData w;
  std::string why;
  EXPECT_TRUE(ParseWave(bytes.data(), bytes.size(), w, &why)) << why;
  return w;
}

inline double RmsOf(const std::vector<int16_t>& s) {
  double sum = 0.0;
  for (int16_t v : s) sum += double(v) * v;
  return s.empty() ? 0.0 : std::sqrt(sum / double(s.size())) / 32768.0;
}

inline int FullScaleSamples(const std::vector<int16_t>& s) {
  return int(std::count_if(s.begin(), s.end(), [](int16_t v) { return v >= 32767 || v <= -32767; }));
}

// Sample-to-sample steps: the mean and the 99th percentile of |x[i+1] - x[i]|.
struct Steps {
  double Mean = 0.0;
  double P99 = 0.0;
};
inline Steps StepsOf(const std::vector<int16_t>& s) {
  std::vector<int> d;
  d.reserve(s.size());
  for (size_t i = 1; i < s.size(); ++i) d.push_back(std::abs(int(s[i]) - int(s[i - 1])));
  Steps st;
  if (d.empty()) return st;
  double sum = 0.0;
  for (int x : d) sum += x;
  st.Mean = sum / double(d.size());
  std::nth_element(d.begin(), d.begin() + std::ptrdiff_t(d.size() * 99 / 100), d.end());
  st.P99 = d[d.size() * 99 / 100];
  return st;
}

// Played as a loop, the step from the last sample back to the first must look
// like any other step of the sound: no click at the seam.
inline void ExpectSeamless(const std::vector<int16_t>& s, const std::string& what) {
  ASSERT_GE(s.size(), 2u);
  const Steps st = StepsOf(s);
  const int seam = std::abs(int(s.back()) - int(s.front()));
  EXPECT_LE(seam, std::max(3.0 * st.Mean, st.P99))
      << what << ": seam step " << seam << ", mean step " << st.Mean << ", 99th percentile " << st.P99;
}

// Brightness as zero crossings per second (about twice the dominant frequency).
inline double CrossingsPerSecond(const WaveData& w) {
  int n = 0;
  for (size_t i = 1; i < w.Samples.size(); ++i) n += (w.Samples[i - 1] < 0) != (w.Samples[i] < 0);
  return w.Samples.empty() ? 0.0 : n * double(w.SampleRate) / double(w.Samples.size());
}

}  // namespace gravik::mkres::test
