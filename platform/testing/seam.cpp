// The seam's state and the hook through which the layer asks it: scripted
// answers for message boxes, choosers and ShellExecuteA while a Seam lives,
// and the library table's hidden entries and common-controls calls always.
#include <cctype>
#include <set>

#include "../src/core.h"
#include "platform_testing.h"

namespace platform_testing {
namespace {

Seam* active = nullptr;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

class SeamHook final : public win32::TestHook {
 public:
  bool Answering() const override { return active != nullptr; }
  int NextMessageBoxAnswer(int fallback) override { return active->NextMessageBoxAnswer(fallback); }
  std::optional<std::string> NextChooserAnswer() override { return active->NextChooserAnswer(); }
  INT_PTR ShellExecuteResult() const override { return active->shellExecuteResult(); }
  void Record(MessageBoxRecord record) override { active->Record(std::move(record)); }
  void Record(ChooserRecord record) override { active->Record(std::move(record)); }
  void Record(ShellExecuteRecord record) override { active->Record(std::move(record)); }

  bool LibraryHidden(const std::string& upperCaseName) const override {
    return hiddenLibraries.count(upperCaseName) > 0;
  }
  bool ProcedureHidden(const std::string& name) const override {
    return hiddenProcedures.count(name) > 0;
  }
  void CommonControlsInitialized(DWORD size, DWORD classes) override {
    commonControlsCalls.emplace_back(size, classes);
  }

  std::set<std::string> hiddenLibraries;
  std::set<std::string> hiddenProcedures;
  std::vector<std::pair<DWORD, DWORD>> commonControlsCalls;
};

// Installed by whatever part of the seam is used first, and left installed.
SeamHook& Hook() {
  static SeamHook hook;
  if (win32::InstalledTestHook() != &hook) win32::InstallTestHook(&hook);
  return hook;
}

void SetMember(std::set<std::string>& set, const std::string& entry, bool member) {
  if (member) {
    set.insert(entry);
  } else {
    set.erase(entry);
  }
}

}  // namespace

void InitializeApplication() {
  Hook();
  win32::InitializeApplication();
}

Seam::Seam() : previous_(active) {
  Hook();
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

void HideLibrary(const std::string& fileName, bool hidden) {
  SetMember(Hook().hiddenLibraries, Upper(fileName), hidden);
}

void HideProcedure(const std::string& procName, bool hidden) {
  SetMember(Hook().hiddenProcedures, procName, hidden);
}

std::vector<std::pair<DWORD, DWORD>> CommonControlsCalls() {
  return Hook().commonControlsCalls;
}

}  // namespace platform_testing
