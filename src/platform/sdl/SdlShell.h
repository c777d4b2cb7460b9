// Message boxes through SDL (with or without a window); the text always goes to
// stderr as well.
#pragma once
#include "platform/Shell.h"

namespace gravik {

class SdlDisplay;

class SdlShell : public Shell {
 public:
  explicit SdlShell(SdlDisplay* display = nullptr) : display_(display) {}
  void ShowError(const std::string& title, const std::string& text) override;
  void ShowInfo(const std::string& title, const std::string& text) override;

 private:
  void Show(unsigned flags, const std::string& title, const std::string& text);
  SdlDisplay* display_;
};

}  // namespace gravik
