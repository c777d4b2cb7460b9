// Message boxes without a screen: the text goes to stderr and is recorded.
#pragma once
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace gravik {

struct ShellMessage {
  bool error = false;
  std::string title, text;
};

class HeadlessShell : public Shell {
 public:
  void ShowError(const std::string& title, const std::string& text) override;
  void ShowInfo(const std::string& title, const std::string& text) override;
  const std::vector<ShellMessage>& Messages() const { return messages_; }
  void SetEcho(bool echo) { echo_ = echo; }  // stderr echo, on by default

 private:
  std::vector<ShellMessage> messages_;
  bool echo_ = true;
};

}  // namespace gravik
