#include "platform/sdl/SdlAudio.h"

#include <cstring>

namespace gravik {

bool SdlAudio::Open(int rate, Callback callback) {
  Close();
  if (rate <= 0 || !callback) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    SDL_Log("No sound device: %s", SDL_GetError());
    return false;
  }
  subsystem_ = true;
  callback_ = std::move(callback);
  SDL_AudioSpec want{}, have{};
  want.freq = rate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = rate > 32000 ? 1024 : 512;  // about 23 ms
  want.callback = &SdlAudio::Feed;
  want.userdata = this;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  if (device_ == 0) {
    SDL_Log("No sound device: %s", SDL_GetError());
    Close();
    return false;
  }
  rate_ = have.freq;
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlAudio::Close() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for a running callback
  device_ = 0;
  callback_ = nullptr;
  rate_ = 0;
  if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  subsystem_ = false;
}

void SdlAudio::Lock() {
  if (device_ != 0) SDL_LockAudioDevice(device_);
}

void SdlAudio::Unlock() {
  if (device_ != 0) SDL_UnlockAudioDevice(device_);
}

void SDLCALL SdlAudio::Feed(void* self, Uint8* stream, int len) {
  auto* audio = static_cast<SdlAudio*>(self);
  std::memset(stream, 0, size_t(len));
  if (!audio->callback_) return;
  try {
    audio->callback_(reinterpret_cast<int16_t*>(stream), len / 4);
  } catch (...) {
    std::memset(stream, 0, size_t(len));  // a failing mixer plays silence, never kills the thread
  }
}

}  // namespace gravik
