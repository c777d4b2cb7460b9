// The SDL sound device: signed 16-bit stereo fed by the mixer's callback on
// SDL's audio thread.
#pragma once
#include <SDL.h>

#include "platform/AudioDevice.h"

namespace gravik {

class SdlAudio : public AudioDevice {
 public:
  SdlAudio() = default;
  ~SdlAudio() override { Close(); }
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  bool Open(int rate, Callback callback) override;
  void Close() override;
  bool IsOpen() const override { return device_ != 0; }
  int Rate() const override { return rate_; }
  void Lock() override;
  void Unlock() override;

 private:
  static void SDLCALL Feed(void* self, Uint8* stream, int len);

  SDL_AudioDeviceID device_ = 0;
  Callback callback_;
  int rate_ = 0;
  bool subsystem_ = false;
};

}  // namespace gravik
