// The application set-up shared by the program's main() and test mains, and
// the test seam's state.
#include <QApplication>
#include <QStyleFactory>

#include "../platform_testing.h"
#include "core.h"

namespace win32 {

void InitializeApplication() {
  // The classic Windows look, where Qt has it.
  if (QStyle* style = QStyleFactory::create("Windows")) QApplication::setStyle(style);
  QApplication::setFont(DialogFont(QString(), 8));
  // Windows come and go through the program; only WinMain ends the process.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallDialogKeyboard();
  RegisterStandardResources();
}

}  // namespace win32

namespace platform_testing {
namespace {
Seam* active = nullptr;
}

Seam::Seam() : previous_(active) {
  active = this;
}
Seam::~Seam() {
  active = previous_;
}
Seam* Seam::Active() {
  return active;
}

void Seam::AnswerMessageBox(int answer) {
  messageBoxAnswers_.push_back(answer);
}
void Seam::AnswerChooser(const std::string& path) {
  chooserAnswers_.push_back(path);
}
void Seam::CancelChooser() {
  chooserAnswers_.push_back(std::nullopt);
}
void Seam::SetShellExecuteResult(INT_PTR result) {
  shellExecuteResult_ = result;
}

void Seam::Clear() {
  messageBoxes_.clear();
  choosers_.clear();
  shellExecutes_.clear();
}

int Seam::NextMessageBoxAnswer(int fallback) {
  if (messageBoxAnswers_.empty()) return fallback;
  const int answer = messageBoxAnswers_.front();
  messageBoxAnswers_.pop_front();
  return answer;
}

std::optional<std::string> Seam::NextChooserAnswer() {
  if (chooserAnswers_.empty()) return std::nullopt;
  std::optional<std::string> answer = chooserAnswers_.front();
  chooserAnswers_.pop_front();
  return answer;
}

void InitializeApplication() {
  win32::InitializeApplication();
}

}  // namespace platform_testing
