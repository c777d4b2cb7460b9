#include "platform/headless/HeadlessShell.h"

#include <cstdio>

#include "platform/Codepage.h"

namespace gravik {

void HeadlessShell::ShowError(const std::string& title, const std::string& text) {
  messages_.push_back(ShellMessage{true, title, text});
  if (echo_) {
    std::fprintf(stderr, "%s: %s\n", ToDisplayUtf8(title).c_str(), WithLfLineBreaks(ToDisplayUtf8(text)).c_str());
  }
}

void HeadlessShell::ShowInfo(const std::string& title, const std::string& text) {
  messages_.push_back(ShellMessage{false, title, text});
  if (echo_) {
    std::fprintf(stderr, "%s: %s\n", ToDisplayUtf8(title).c_str(), WithLfLineBreaks(ToDisplayUtf8(text)).c_str());
  }
}

}  // namespace gravik
