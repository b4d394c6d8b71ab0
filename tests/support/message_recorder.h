// Records every message a routine shows and answers questions from a script.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "message.h"

struct RecordedMessage {
  std::string text;
  std::string caption;  // "<default>" when the box passes no caption of its own
  uint32_t style;
};

class MessageRecorder {
 public:
  MessageRecorder() {
    previous_ = InstalledMessageFunction();
    active_ = this;
    InstallMessageFunction(&Record);
  }
  ~MessageRecorder() {
    InstallMessageFunction(previous_);
    active_ = nullptr;
  }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  // The next question is answered with this (IDYES or IDNO); unscripted questions get IDNO.
  void AnswerNext(int32_t answer) { answers_.push_back(answer); }

  const std::vector<RecordedMessage>& messages() const { return messages_; }
  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const RecordedMessage& m : messages_) result.push_back(m.text);
    return result;
  }
  void Clear() { messages_.clear(); }

 private:
  static int32_t Record(const char* text, const char* caption, uint32_t style) {
    MessageRecorder& self = *active_;
    self.messages_.push_back({text, caption ? caption : "<default>", style});
    if ((style & 0xFu) != MB_YESNO) return IDOK;
    if (self.answers_.empty()) return IDNO;
    const int32_t answer = self.answers_.front();
    self.answers_.pop_front();
    return answer;
  }

  static inline MessageRecorder* active_ = nullptr;
  MessageFunction previous_;
  std::vector<RecordedMessage> messages_;
  std::deque<int32_t> answers_;
};
