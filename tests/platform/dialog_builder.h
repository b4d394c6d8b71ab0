// Builds DLGTEMPLATE blocks in memory, laid out as Windows defines them.
#pragma once

#include <commctrl.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

class DialogBuilder {
 public:
  DialogBuilder(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, const char* title,
                const char* face = "MS Sans Serif", WORD points = 8) {
    Put(DLGTEMPLATE{style, exStyle, 0, x, y, cx, cy});
    words_.push_back(0);  // no menu
    words_.push_back(0);  // dialog class
    PutString(title);
    if (style & DS_SETFONT) {
      words_.push_back(points);
      PutString(face);
    }
  }

  // className: "BUTTON" etc., or nullptr with an atom (0x0080 button ...).
  DialogBuilder& Item(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, WORD id,
                      const char* className, WORD atom, const char* title,
                      std::vector<unsigned char> creationData = {}) {
    if (words_.size() % 2) words_.push_back(0);  // DWORD alignment
    Put(DLGITEMTEMPLATE{style, exStyle, x, y, cx, cy, id});
    if (className) {
      PutString(className);
    } else {
      words_.push_back(0xFFFF);
      words_.push_back(atom);
    }
    PutString(title);
    words_.push_back(static_cast<WORD>(creationData.size()));
    creationData.resize((creationData.size() + 1) & ~size_t{1});
    for (size_t i = 0; i < creationData.size(); i += 2) {
      words_.push_back(static_cast<WORD>(creationData[i] | creationData[i + 1] << 8));
    }
    ++count_;
    return *this;
  }

  const DLGTEMPLATE* get() {
    std::memcpy(reinterpret_cast<char*>(words_.data()) + offsetof(DLGTEMPLATE, cdit), &count_,
                sizeof count_);
    return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
  }

 private:
  template <typename T>
  void Put(const T& value) {
    static_assert(sizeof(T) % 2 == 0);
    const size_t at = words_.size();
    words_.resize(at + sizeof(T) / 2);
    std::memcpy(&words_[at], &value, sizeof(T));
  }
  void PutString(const char* text) {
    for (const char* p = text ? text : ""; *p; ++p)
      words_.push_back(static_cast<unsigned char>(*p));
    words_.push_back(0);
  }
  std::vector<WORD> words_;
  WORD count_ = 0;
};

// What the dialog procedures of a test received.
struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  UINT code;       // NMHDR code of WM_NOTIFY
  LRESULT tabNow;  // TCM_GETCURSEL of the notifying control when the notification came
};

inline std::vector<Received> received;
// A combo box's CBN_SETFOCUS and CBN_KILLFOCUS, which every move of the focus
// brings, are kept apart from what the tests count.
inline std::vector<Received> focusNotices;
inline std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> react;

inline INT_PTR CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == CBN_SETFOCUS || HIWORD(wParam) == CBN_KILLFOCUS) {
        focusNotices.push_back({window, message, wParam, lParam, 0, 0});
        break;
      }
      received.push_back({window, message, wParam, lParam, 0, 0});
      break;
    case WM_INITDIALOG:
    case WM_NCACTIVATE:
    case WM_CLOSE:
    case WM_SYSCOMMAND:
    case WM_USER:
      received.push_back({window, message, wParam, lParam, 0, 0});
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      received.push_back({window, message, wParam, lParam, header->code,
                          SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)});
      break;
    }
    default:
      break;
  }
  return react ? react(window, message, wParam, lParam) : FALSE;
}

inline void StartRecording() {
  received.clear();
  focusNotices.clear();
  react = nullptr;
}

inline std::vector<Received> ReceivedOf(UINT message) {
  std::vector<Received> result;
  for (const Received& r : received) {
    if (r.message == message) result.push_back(r);
  }
  return result;
}

inline std::string TextOf(HWND window) {
  char buffer[256];
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

constexpr DWORD kPopup = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_MODALFRAME;
constexpr DWORD kPage = WS_CHILD | DS_CONTROL | DS_SETFONT;
