// The game's exceptions.
#pragma once
#include <stdexcept>
#include <string>

namespace gravik {

// An ordinary runtime error that reaches the top-level handler ("ERROR:-" box),
// e.g. "Image 'X' not found" or a sprite index out of range.
class GameError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EPictureCollectionError : public GameError {
 public:
  using GameError::GameError;
};

class ESpriteError : public GameError {
 public:
  using GameError::GameError;
};

// An unrecoverable condition found by a module below the frame (damaged data,
// an impossible internal state). Carries the game's exact message; the frame
// catches it and reports it through FatalError, which ends the program.
class FatalMessage : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Thrown by FatalError after the message has been shown: unwinds to main, which
// ends the process with the given status. Never caught anywhere else.
class GameHalt : public std::exception {
 public:
  GameHalt(int status, std::string message) : status_(status), message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  int Status() const { return status_; }

 private:
  int status_;
  std::string message_;
};

}  // namespace gravik
