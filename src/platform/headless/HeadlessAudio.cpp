#include "platform/headless/HeadlessAudio.h"

#include <algorithm>

namespace gravik {

bool HeadlessAudio::Open(int rate, Callback callback) {
  Close();
  if (unavailable_ || rate <= 0 || !callback) return false;
  std::lock_guard<std::mutex> g(mutex_);
  callback_ = std::move(callback);
  rate_ = rate;
  open_ = true;
  return true;
}

void HeadlessAudio::Close() {
  std::lock_guard<std::mutex> g(mutex_);
  open_ = false;
  callback_ = nullptr;
}

void HeadlessAudio::Pump(int frames) {
  if (frames <= 0) return;
  std::lock_guard<std::mutex> g(mutex_);
  if (!open_) return;
  scratch_.assign(size_t(frames) * 2, 0);
  callback_(scratch_.data(), frames);
  pumped_ += uint64_t(frames);
}

}  // namespace gravik
