// Messages kept back on one thread: work running away from the window (the
// list engine's workers, and the lines it transforms) records what it would
// show, and its caller shows it later, in order, with what it knows besides
// (the line that stopped a run).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CapturedMessage {
  std::string text;
  const char* caption;  // as passed: nullptr for the program-wide default
  uint32_t style;
};

// While one exists on a thread, every message shown on that thread is
// recorded into it instead of being shown; a question is answered No. One
// capture at a time per thread.
class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  std::vector<CapturedMessage>& messages() { return messages_; }

 private:
  std::vector<CapturedMessage> messages_;
  MessageCapture* previous_;
};
