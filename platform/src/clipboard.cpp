// Global memory blocks and the clipboard (text only) on QClipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <map>
#include <vector>

#include "core.h"

namespace win32 {
namespace {

struct Block {
  std::vector<char> bytes;
  int locks = 0;
};

// Handles are numbers, as for windows, never addresses.
std::map<uintptr_t, Block>& Blocks() {
  static std::map<uintptr_t, Block> blocks;
  return blocks;
}
uintptr_t nextBlock = 0x30010;

Block* FindBlock(HGLOBAL handle) {
  auto it = Blocks().find(reinterpret_cast<uintptr_t>(handle));
  return it == Blocks().end() ? nullptr : &it->second;
}

HGLOBAL NewBlock(std::vector<char> bytes) {
  const HGLOBAL handle = reinterpret_cast<HGLOBAL>(nextBlock);
  nextBlock += 4;
  Blocks()[reinterpret_cast<uintptr_t>(handle)].bytes = std::move(bytes);
  return handle;
}

struct ClipboardState {
  bool open = false;
  HGLOBAL given = nullptr;  // the block of the last SetClipboardData
  HGLOBAL taken = nullptr;  // the block GetClipboardData made
};
ClipboardState clipboard;

void Release(HGLOBAL& block) {
  if (block != nullptr) Blocks().erase(reinterpret_cast<uintptr_t>(block));
  block = nullptr;
}

QClipboard* DesktopClipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                      : nullptr;
}

// The text of a CF_TEXT block: up to its terminating zero, CR LF as LF.
QString TextOfBlock(const Block& block) {
  const auto end = std::find(block.bytes.begin(), block.bytes.end(), '\0');
  std::string text(block.bytes.begin(), end);
  std::string lines;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return FromAnsi(lines);
}

}  // namespace
}  // namespace win32

using namespace win32;

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT /*flags*/, SIZE_T bytes) {
  // Every block starts zeroed, which GMEM_ZEROINIT asks for and the others allow.
  return NewBlock(std::vector<char>(bytes, '\0'));
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
  Block* block = FindBlock(memory);
  if (block == nullptr) return nullptr;
  ++block->locks;
  // A block of no bytes still has an address.
  if (block->bytes.empty()) block->bytes.reserve(1);
  return block->bytes.data();
}

BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
  Block* block = FindBlock(memory);
  if (block == nullptr || block->locks == 0) return FALSE;
  return --block->locks > 0;
}

SIZE_T WINAPI GlobalSize(HGLOBAL memory) {
  const Block* block = FindBlock(memory);
  return block ? block->bytes.size() : 0;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
  if (FindBlock(memory) == nullptr) return memory;
  Blocks().erase(reinterpret_cast<uintptr_t>(memory));
  return nullptr;
}

BOOL WINAPI OpenClipboard(HWND /*owner*/) {
  if (clipboard.open) return FALSE;
  clipboard.open = true;
  return TRUE;
}

BOOL WINAPI CloseClipboard(void) {
  if (!clipboard.open) return FALSE;
  clipboard.open = false;
  Release(clipboard.taken);
  return TRUE;
}

BOOL WINAPI EmptyClipboard(void) {
  if (!clipboard.open) return FALSE;
  Release(clipboard.given);
  Release(clipboard.taken);
  if (QClipboard* desktop = DesktopClipboard()) desktop->clear();
  return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT format, HANDLE memory) {
  const Block* block = FindBlock(memory);
  QClipboard* desktop = DesktopClipboard();
  if (!clipboard.open || format != CF_TEXT || block == nullptr || desktop == nullptr) {
    return nullptr;
  }
  desktop->setText(TextOfBlock(*block));
  if (clipboard.given != memory) Release(clipboard.given);
  clipboard.given = memory;
  return memory;
}

HANDLE WINAPI GetClipboardData(UINT format) {
  QClipboard* desktop = DesktopClipboard();
  if (!clipboard.open || format != CF_TEXT || desktop == nullptr) return nullptr;
  const QString text = desktop->text();
  if (text.isEmpty()) return nullptr;
  std::string bytes;
  for (const char c : ToAnsi(text)) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  Release(clipboard.taken);
  clipboard.taken = NewBlock(std::vector<char>(bytes.c_str(), bytes.c_str() + bytes.size() + 1));
  return clipboard.taken;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
  const QClipboard* desktop = DesktopClipboard();
  return format == CF_TEXT && desktop != nullptr && !desktop->text().isEmpty();
}

}  // extern "C"
