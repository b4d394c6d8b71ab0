// The "BUTTON", "EDIT", "STATIC" and "COMBOBOX" classes on Qt widgets.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWheelEvent>
#include <cstring>
#include <memory>

#include "core.h"

namespace win32 {
namespace {

DWORD ButtonType(const Window& window) {
  return window.style & BS_TYPEMASK;
}
bool IsRadio(const Window& window) {
  return ButtonType(window) == BS_RADIOBUTTON || ButtonType(window) == BS_AUTORADIOBUTTON;
}

// Checks an automatic radio button and unchecks the others of its group.
void CheckAutoRadio(Window& button) {
  const HWND handle = button.handle;
  ApplyButtonCheck(button, true);
  for (HWND mate : GroupOf(handle)) {
    Window* other = Find(mate);
    if (mate != handle && other && other->kind == Kind::Button &&
        ButtonType(*other) == BS_AUTORADIOBUTTON) {
      ApplyButtonCheck(*other, false);
    }
  }
}

// A click, by mouse, Space or BM_CLICK, is BN_CLICKED to the parent.
void NotifyClicks(QAbstractButton* button) {
  button->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(button, &QAbstractButton::clicked, button, [button] {
    if (Window* window = Find(HandleOf(button))) NotifyParent(*window, BN_CLICKED);
  });
}

class PushButton : public QPushButton {
 public:
  explicit PushButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    NotifyClicks(this);
  }
};

// Qt's automatic exclusivity is per parent widget; Windows groups run from one
// WS_GROUP control to the next, so the check state is kept by hand.
class RadioButton : public QRadioButton {
 public:
  explicit RadioButton(QWidget* parent) : QRadioButton(parent) {
    setAutoExclusive(false);
    NotifyClicks(this);
  }

 protected:
  void nextCheckState() override {
    Window* window = Find(HandleOf(this));
    if (window && ButtonType(*window) == BS_AUTORADIOBUTTON) CheckAutoRadio(*window);
  }
};

class ComboBox : public QComboBox {
 public:
  explicit ComboBox(QWidget* parent, bool editable) : QComboBox(parent) {
    setEditable(editable);
    setInsertPolicy(QComboBox::NoInsert);
    setFocusPolicy(Qt::StrongFocus);
    if (editable) {
      setCompleter(nullptr);
      connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        // As Windows: typing drops the list selection, or follows the text
        // while the list is open.
        selection =
            view()->isVisible() && !text.isEmpty() ? findText(text, Qt::MatchStartsWith) : -1;
        if (Window* window = Find(HandleOf(this))) {
          NotifyParent(*window, CBN_EDITUPDATE);
          if ((window = Find(HandleOf(this)))) NotifyParent(*window, CBN_EDITCHANGE);
        }
      });
    }
    connect(this, &QComboBox::activated, this, [this](int index) {
      selection = index;
      ShowStartOfText();
      if (Window* window = Find(HandleOf(this))) NotifyParent(*window, CBN_SELCHANGE);
    });
  }

  // Windows sends the wheel to the focus window, not to the one under the
  // pointer: a list without the focus passes the turn on to the control that
  // has it, and so changes only when it has the focus itself.
  void wheelEvent(QWheelEvent* event) override {
    if (hasFocus()) {
      QComboBox::wheelEvent(event);
      return;
    }
    event->accept();
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || HandleOf(focus) == nullptr || isAncestorOf(focus)) return;
    const std::unique_ptr<QEvent> passed(event->clone());
    QApplication::sendEvent(focus, passed.get());
  }

  QString EditText() const {
    if (isEditable()) return lineEdit()->text();
    return selection >= 0 ? itemText(selection) : QString();
  }

  void Select(int index) {
    const QSignalBlocker blocker(this);
    selection = index;
    setCurrentIndex(index);  // -1 also clears the edit text, as on Windows
    ShowStartOfText();
  }

  // A chosen entry longer than the box shows its beginning, as on Windows.
  void ShowStartOfText() {
    if (isEditable()) lineEdit()->setCursorPosition(0);
  }

  // Qt selects the first item put into an empty list; Windows selects nothing.
  void Insert(int index, const QString& text) {
    const QSignalBlocker blocker(this);
    const QString editText = isEditable() ? lineEdit()->text() : QString();
    insertItem(index, text);
    if (selection >= 0 && index <= selection) ++selection;
    if (selection < 0 && currentIndex() != -1) {
      setCurrentIndex(-1);
      if (isEditable()) lineEdit()->setText(editText);
    }
  }

  int selection = -1;
  int heightItems = 1;  // what the template's height leaves for the list
  int minVisible = 0;   // CB_SETMINVISIBLE; until set, the height decides

 protected:
  // CBN_SETFOCUS and CBN_KILLFOCUS as Windows sends them: the dropped list
  // taking and giving back the keyboard is no change of focus.
  void focusInEvent(QFocusEvent* event) override {
    QComboBox::focusInEvent(event);
    if (focused_) return;
    focused_ = true;
    if (Window* window = Find(HandleOf(this))) NotifyParent(*window, CBN_SETFOCUS);
  }
  void focusOutEvent(QFocusEvent* event) override {
    QComboBox::focusOutEvent(event);
    if (!focused_ || event->reason() == Qt::PopupFocusReason || view()->isVisible()) return;
    focused_ = false;
    if (Window* window = Find(HandleOf(this))) NotifyParent(*window, CBN_KILLFOCUS);
  }

 private:
  bool focused_ = false;
};

// A list box: its entries in insertion order (or sorted with LBS_SORT), one
// selection. What the user does is LBN_SELCHANGE and LBN_DBLCLK to the parent
// when the style asks for them; LB_SETCURSEL is silent.
class ListBox : public QListWidget {
 public:
  ListBox(QWidget* parent, DWORD style) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFocusPolicy(Qt::StrongFocus);
    setUniformItemSizes(true);
    if (!(style & LBS_NOTIFY)) return;
    connect(this, &QListWidget::currentRowChanged, this, [this] {
      if (Window* window = Find(HandleOf(this))) NotifyParent(*window, LBN_SELCHANGE);
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] {
      if (Window* window = Find(HandleOf(this))) NotifyParent(*window, LBN_DBLCLK);
    });
  }
};

int FindItem(const QComboBox& combo, int start, const QString& text, bool exact) {
  const int count = combo.count();
  for (int step = 1; step <= count; ++step) {
    const int index = (start + step + count) % count;
    const QString item = combo.itemText(index);
    if (exact ? item.compare(text, Qt::CaseInsensitive) == 0
              : item.startsWith(text, Qt::CaseInsensitive)) {
      return index;
    }
  }
  return CB_ERR;
}

void SetButtonText(Window& window) {
  const QString text = FromAnsi(window.text);
  if (auto* group = qobject_cast<QGroupBox*>(window.widget)) {
    group->setTitle(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(window.widget)) {
    button->setText(text);
    // The dialog keyboard handles mnemonics; Qt's own shortcut would click late.
    button->setShortcut(QKeySequence());
  }
}

LRESULT ButtonProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* button = qobject_cast<QAbstractButton*>(window.widget);
  switch (message) {
    case WM_SETTEXT:
      CommonProcedure(window, message, wParam, lParam);
      SetButtonText(window);
      return TRUE;
    case BM_GETCHECK:
      return button && IsRadio(window) && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      if (IsRadio(window)) {
        if (wParam == BST_CHECKED && ButtonType(window) == BS_AUTORADIOBUTTON) {
          CheckAutoRadio(window);
        } else {
          ApplyButtonCheck(window, wParam == BST_CHECKED);
        }
      }
      return 0;
    case BM_GETSTATE:
      return (button && IsRadio(window) && button->isChecked() ? BST_CHECKED : 0) |
             (button && button->isDown() ? BST_PUSHED : 0) |
             (button && button->hasFocus() ? BST_FOCUS : 0);
    case BM_SETSTYLE:
      // Push buttons change between plain and default; other types keep theirs.
      if (auto* push = qobject_cast<QPushButton*>(window.widget);
          push && (wParam & BS_TYPEMASK) <= BS_DEFPUSHBUTTON) {
        window.style = (window.style & ~BS_TYPEMASK) | (wParam & BS_TYPEMASK);
        push->setDefault((wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
      }
      return 0;
    case BM_CLICK:
      // As a mouse click: the button takes the focus, then acts.
      if (button && button->isEnabled() && IsWindowVisible(window.handle)) {
        const HWND handle = window.handle;
        SetFocus(handle);
        if (Find(handle)) button->click();
      }
      return 0;
    default:
      return CommonProcedure(window, message, wParam, lParam);
  }
}

// A read-only edit box is drawn on the dialog's colour, as Windows draws it,
// so that it reads as a result; its text can still be selected and copied. A
// disabled one is drawn on the dialog's colour too, with grey text, whether
// read-only or not: it takes no input and must not look as if it did.
void SetReadOnly(QLineEdit& edit, bool readOnly) {
  edit.setReadOnly(readOnly);
  QPalette palette = edit.palette();
  const QPalette standard = QApplication::palette(&edit);
  palette.setBrush(QPalette::Base, standard.brush(readOnly ? QPalette::Window : QPalette::Base));
  palette.setBrush(QPalette::Disabled, QPalette::Base, standard.brush(QPalette::Window));
  palette.setBrush(QPalette::Disabled, QPalette::Text,
                   standard.brush(QPalette::Disabled, QPalette::WindowText));
  edit.setPalette(palette);
}

LRESULT EditProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* edit = qobject_cast<QLineEdit*>(window.widget);
  if (edit == nullptr) return 0;
  switch (message) {
    case WM_SETTEXT:
      edit->setText(FromAnsi(reinterpret_cast<const char*>(lParam)));
      return TRUE;
    case WM_GETTEXT:
      return CopyOut(ToAnsi(edit->text()), reinterpret_cast<char*>(lParam),
                     static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
      return edit->text().size();
    case EM_SETSEL: {
      const int start = static_cast<int>(wParam);
      int end = static_cast<int>(lParam);
      if (start < 0) {
        edit->deselect();
        return 0;
      }
      if (end < 0 || end > edit->text().size()) end = static_cast<int>(edit->text().size());
      edit->setSelection(start, end - start);
      return 0;
    }
    case EM_SCROLLCARET:  // the line edit keeps its caret in view by itself
      return TRUE;
    case EM_GETSEL: {
      const DWORD start = static_cast<DWORD>(edit->hasSelectedText() ? edit->selectionStart()
                                                                     : edit->cursorPosition());
      const DWORD end = static_cast<DWORD>(edit->hasSelectedText() ? edit->selectionEnd() : start);
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
      return MAKELRESULT(start, end);
    }
    case EM_LIMITTEXT:
      edit->setMaxLength(wParam ? static_cast<int>(wParam) : 32767);
      return 0;
    case EM_SETREADONLY:
      SetReadOnly(*edit, wParam != 0);
      window.style = wParam ? window.style | ES_READONLY : window.style & ~ES_READONLY;
      return TRUE;
    // The cue stays in view while the box has the focus and is empty, as
    // wParam TRUE asks; the program asks for nothing else.
    case EM_SETCUEBANNER: {
      const auto* cue = reinterpret_cast<const char16_t*>(lParam);
      edit->setPlaceholderText(cue ? QString::fromUtf16(cue) : QString());
      return TRUE;
    }
    case EM_GETCUEBANNER: {
      auto* buffer = reinterpret_cast<char16_t*>(wParam);
      const int capacity = static_cast<int>(lParam);
      if (buffer == nullptr || capacity <= 0) return FALSE;
      const QString cue = edit->placeholderText().left(capacity - 1);
      std::memcpy(buffer, cue.utf16(), sizeof(char16_t) * static_cast<size_t>(cue.size()));
      buffer[cue.size()] = u'\0';
      return TRUE;
    }
    default:
      return CommonProcedure(window, message, wParam, lParam);
  }
}

LRESULT ListBoxProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* list = dynamic_cast<ListBox*>(window.widget.data());
  if (list == nullptr) return LB_ERR;
  const int count = list->count();
  const int index = static_cast<int>(wParam);
  const auto* text = reinterpret_cast<const char*>(lParam);
  switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      const QSignalBlocker blocker(list);
      int at = message == LB_ADDSTRING || index < 0 || index > count ? count : index;
      if (message == LB_ADDSTRING && (window.style & LBS_SORT)) {
        at = 0;
        while (at < count &&
               list->item(at)->text().compare(FromAnsi(text), Qt::CaseInsensitive) <= 0) {
          ++at;
        }
      }
      list->insertItem(at, FromAnsi(text));
      return at;
    }
    case LB_DELETESTRING: {
      if (index < 0 || index >= count) return LB_ERR;
      const QSignalBlocker blocker(list);
      delete list->takeItem(index);
      return list->count();
    }
    case LB_RESETCONTENT: {
      const QSignalBlocker blocker(list);
      list->clear();
      return LB_OKAY;
    }
    case LB_GETCOUNT:
      return count;
    case LB_GETCURSEL:
      return list->currentItem() && list->currentItem()->isSelected() ? list->currentRow() : LB_ERR;
    case LB_SETCURSEL: {
      const QSignalBlocker blocker(list);
      if (index < 0 || index >= count) {
        list->setCurrentRow(-1);
        list->clearSelection();
        return index == -1 ? LB_OKAY : LB_ERR;
      }
      list->setCurrentRow(index);
      list->scrollToItem(list->item(index));
      return index;
    }
    case LB_GETTEXT:
      if (index < 0 || index >= count || lParam == 0) return LB_ERR;
      {
        const std::string item = ToAnsi(list->item(index)->text());
        std::memcpy(reinterpret_cast<char*>(lParam), item.c_str(), item.size() + 1);
        return static_cast<LRESULT>(item.size());
      }
    case LB_GETTEXTLEN:
      return index < 0 || index >= count ? LB_ERR : ToAnsi(list->item(index)->text()).size();
    case LB_SETITEMDATA:
      if (index < 0 || index >= count) return LB_ERR;
      list->item(index)->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(lParam));
      return TRUE;
    case LB_GETITEMDATA:
      return index < 0 || index >= count ? LB_ERR
                                         : list->item(index)->data(Qt::UserRole).toLongLong();
    case LB_SETHORIZONTALEXTENT:
      return 0;  // Qt scrolls as far as the widest entry by itself
    default:
      return CommonProcedure(window, message, wParam, lParam);
  }
}

LRESULT StaticProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT) {
    CommonProcedure(window, message, wParam, lParam);
    if (auto* label = qobject_cast<QLabel*>(window.widget)) {
      const QString text = FromAnsi(window.text);
      label->setText((window.style & SS_NOPREFIX) ? text : WithoutMnemonic(text));
    }
    return TRUE;
  }
  return CommonProcedure(window, message, wParam, lParam);
}

LRESULT ComboProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* combo = dynamic_cast<ComboBox*>(window.widget.data());
  if (combo == nullptr) return CB_ERR;
  const int count = combo->count();
  const int index = static_cast<int>(wParam);
  const auto* text = reinterpret_cast<const char*>(lParam);
  switch (message) {
    case WM_SETTEXT:
      if (!combo->isEditable()) return CB_ERR;
      combo->lineEdit()->setText(FromAnsi(text));
      return TRUE;
    case WM_GETTEXT:
      return CopyOut(ToAnsi(combo->EditText()), reinterpret_cast<char*>(lParam),
                     static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
      return combo->EditText().size();
    case CB_ADDSTRING: {
      int at = count;
      if (window.style & CBS_SORT) {
        at = 0;
        while (at < count &&
               combo->itemText(at).compare(FromAnsi(text), Qt::CaseInsensitive) <= 0) {
          ++at;
        }
      }
      combo->Insert(at, FromAnsi(text));
      return at;
    }
    case CB_INSERTSTRING: {
      const int at = index < 0 || index > count ? count : index;
      combo->Insert(at, FromAnsi(text));
      return at;
    }
    case CB_DELETESTRING: {
      if (index < 0 || index >= count) return CB_ERR;
      const QSignalBlocker blocker(combo);
      const int selection = combo->selection;
      combo->removeItem(index);
      combo->selection = index == selection ? -1 : selection - (index < selection ? 1 : 0);
      combo->setCurrentIndex(combo->selection);
      return combo->count();
    }
    case CB_RESETCONTENT: {
      const QSignalBlocker blocker(combo);
      combo->clear();
      combo->selection = -1;
      if (combo->isEditable()) combo->lineEdit()->clear();
      return CB_OKAY;
    }
    case CB_GETCOUNT:
      return count;
    case CB_GETCURSEL:
      return combo->selection;
    case CB_SETCURSEL:
      // No notification, as on Windows.
      if (index < 0 || index >= count) {
        combo->Select(-1);
        return CB_ERR;
      }
      combo->Select(index);
      return index;
    case CB_GETLBTEXT:
      if (index < 0 || index >= count || lParam == 0) return CB_ERR;
      {
        const std::string item = ToAnsi(combo->itemText(index));
        std::memcpy(reinterpret_cast<char*>(lParam), item.c_str(), item.size() + 1);
        return static_cast<LRESULT>(item.size());
      }
    case CB_GETLBTEXTLEN:
      return index < 0 || index >= count ? CB_ERR : ToAnsi(combo->itemText(index)).size();
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
      return count == 0 ? CB_ERR
                        : FindItem(*combo, index, FromAnsi(text), message == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
      const int found = count == 0 ? CB_ERR : FindItem(*combo, index, FromAnsi(text), false);
      if (found != CB_ERR) combo->Select(found);
      return found;
    }
    case CB_SETITEMDATA:
      if (index < 0 || index >= count) return CB_ERR;
      combo->setItemData(index, QVariant::fromValue<qlonglong>(lParam));
      return TRUE;
    case CB_GETITEMDATA:
      return index < 0 || index >= count ? CB_ERR : combo->itemData(index).toLongLong();
    case CB_SHOWDROPDOWN:
      if (wParam) {
        combo->showPopup();
      } else {
        combo->hidePopup();
      }
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return combo->view()->isVisible();
    case CB_SETDROPPEDWIDTH:
      // The list is never narrower than the box.
      combo->view()->setMinimumWidth(static_cast<int>(wParam));
      return std::max(static_cast<int>(wParam), combo->width());
    case CB_GETDROPPEDWIDTH:
      return std::max(combo->view()->minimumWidth(), combo->width());
    case CB_SETMINVISIBLE:
      if (static_cast<int>(wParam) < 1) return FALSE;
      combo->minVisible = static_cast<int>(wParam);
      combo->setMaxVisibleItems(std::max(combo->heightItems, combo->minVisible));
      return TRUE;
    case CB_GETMINVISIBLE:
      return combo->minVisible > 0 ? combo->minVisible : combo->heightItems;
    case EM_SCROLLCARET:  // the edit part keeps its caret in view by itself
      return combo->isEditable() ? TRUE : FALSE;
    case CB_SETEDITSEL: {
      // The edit box's EM_SETSEL with the two positions of lParam's words:
      // the caret goes to the end position, whichever of the two is lower.
      if (!combo->isEditable()) return CB_ERR;
      QLineEdit* edit = combo->lineEdit();
      const int start = static_cast<int16_t>(LOWORD(lParam));
      int end = static_cast<int16_t>(HIWORD(lParam));
      const int length = static_cast<int>(edit->text().size());
      if (start < 0) {
        edit->deselect();
        return TRUE;
      }
      if (end < 0 || end > length) end = length;
      edit->setSelection(std::min(start, length), end - std::min(start, length));
      return TRUE;
    }
    case CB_LIMITTEXT:
      if (combo->isEditable()) combo->lineEdit()->setMaxLength(wParam ? index : 32767);
      return TRUE;
    default:
      return CommonProcedure(window, message, wParam, lParam);
  }
}

// ---------------------------------------------------------------- creation
// Each class's creator makes the widget for a control's style; a creator may
// change the rectangle the widget gets.
using Creator = QWidget* (*)(QWidget* host, DWORD exStyle, DWORD style, QRect& rect);

// A group box, a radio button or a push button, by the BS_ type.
QWidget* CreateButton(QWidget* host, DWORD /*exStyle*/, DWORD style, QRect& /*rect*/) {
  switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX: {
      auto* group = new QGroupBox(host);
      group->setFocusPolicy(Qt::NoFocus);
      return group;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return new RadioButton(host);
    default: {
      auto* button = new PushButton(host);
      button->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
      return button;
    }
  }
}

// A one-line edit box: frame, alignment, read-only and password from the
// style; every change of its text is EN_CHANGE to the parent.
QWidget* CreateEdit(QWidget* host, DWORD exStyle, DWORD style, QRect& /*rect*/) {
  auto* edit = new QLineEdit(host);
  edit->setFrame(exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE) || style & WS_BORDER);
  const Qt::Alignment horizontal = (style & ES_RIGHT)    ? Qt::AlignRight
                                   : (style & ES_CENTER) ? Qt::AlignHCenter
                                                         : Qt::AlignLeft;
  edit->setAlignment(horizontal | Qt::AlignVCenter);
  SetReadOnly(*edit, style & ES_READONLY);
  if (style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
  QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] {
    if (Window* window = Find(HandleOf(edit))) NotifyParent(*window, EN_CHANGE);
  });
  return edit;
}

// A plain-text label, aligned and wrapped as its SS_ type says.
QWidget* CreateStatic(QWidget* host, DWORD /*exStyle*/, DWORD style, QRect& /*rect*/) {
  auto* label = new QLabel(host);
  const DWORD type = style & 0x1F;
  label->setAlignment((type == SS_RIGHT    ? Qt::AlignRight
                       : type == SS_CENTER ? Qt::AlignHCenter
                                           : Qt::AlignLeft) |
                      Qt::AlignTop);
  label->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// A drop-down list, editable unless CBS_DROPDOWNLIST.
QWidget* CreateComboBox(QWidget* host, DWORD /*exStyle*/, DWORD style, QRect& rect) {
  auto* combo = new ComboBox(host, (style & 3) != CBS_DROPDOWNLIST);
  // The template height includes the dropped-down list; the box itself is
  // as high as its font needs.
  const int boxHeight = combo->sizeHint().height();
  const int itemHeight = std::max(1, combo->fontMetrics().height() + 2);
  combo->heightItems = std::max(1, (rect.height() - boxHeight) / itemHeight);
  combo->setMaxVisibleItems(combo->heightItems);
  rect.setHeight(boxHeight);
  return combo;
}

QWidget* CreateListBox(QWidget* host, DWORD exStyle, DWORD style, QRect& /*rect*/) {
  auto* list = new ListBox(host, style);
  list->setFrameShape(exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE) || style & WS_BORDER
                          ? QFrame::StyledPanel
                          : QFrame::NoFrame);
  return list;
}

QWidget* CreateTabControl(QWidget* host, DWORD /*exStyle*/, DWORD style, QRect& /*rect*/) {
  return NewTabControl(host, style);
}

struct ControlClass {
  const char* name;
  Kind kind;
  ClassProcedure procedure;
  Creator create;
};

const ControlClass kControlClasses[] = {
    {"BUTTON", Kind::Button, &ButtonProcedure, &CreateButton},
    {"EDIT", Kind::Edit, &EditProcedure, &CreateEdit},
    {"STATIC", Kind::Static, &StaticProcedure, &CreateStatic},
    {"COMBOBOX", Kind::ComboBox, &ComboProcedure, &CreateComboBox},
    {"LISTBOX", Kind::ListBox, &ListBoxProcedure, &CreateListBox},
    {WC_TABCONTROLA, Kind::TabControl, &TabProcedure, &CreateTabControl},
};

// Class names compare without regard to case, as on Windows.
const ControlClass* FindControlClass(const QString& className) {
  const QString name = className.toUpper();
  for (const ControlClass& entry : kControlClasses) {
    if (name == QString(entry.name).toUpper()) return &entry;
  }
  return nullptr;
}

// Registers the new control as the parent's last child, places its widget,
// gives it its text and shows it as its style says.
HWND RegisterControl(const ControlClass& controlClass, QWidget* widget, Window& parentWindow,
                     DWORD exStyle, const char* text, DWORD style, QRect rect, int id) {
  Window& window = NewWindow(controlClass.kind, controlClass.procedure, parentWindow.handle);
  const HWND handle = window.handle;
  window.id = id;
  window.style = style & ~WS_VISIBLE;
  window.exStyle = exStyle;
  window.font = parentWindow.font;
  AttachWidget(window, widget);
  widget->setGeometry(rect);
  parentWindow.children.push_back(handle);
  SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
  if (style & WS_DISABLED) widget->setEnabled(false);
  if (style & WS_VISIBLE) {
    ShowWindow(handle, SW_SHOWNA);
  } else {
    widget->hide();
  }
  return handle;
}

}  // namespace

void ApplyButtonCheck(Window& button, bool checked) {
  auto* widget = qobject_cast<QAbstractButton*>(button.widget);
  if (widget == nullptr || !IsRadio(button)) return;
  const QSignalBlocker blocker(widget);
  widget->setChecked(checked);
  // The checked radio button of a group is its tab stop.
  button.style = checked ? button.style | WS_TABSTOP : button.style & ~WS_TABSTOP;
}

HWND CreateControl(DWORD exStyle, const QString& className, const char* text, DWORD style,
                   QRect rect, HWND parent, int id) {
  Window* parentWindow = Find(parent);
  if (parentWindow == nullptr || !parentWindow->client || !(style & WS_CHILD)) return nullptr;
  const ControlClass* controlClass = FindControlClass(className);
  if (controlClass == nullptr) return nullptr;
  QWidget* widget = controlClass->create(parentWindow->client, exStyle, style, rect);
  return RegisterControl(*controlClass, widget, *parentWindow, exStyle, text, style, rect, id);
}

}  // namespace win32

using namespace win32;

extern "C" {

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menuOrId,
                            HINSTANCE /*instance*/, LPVOID /*param*/) {
  if (className == nullptr || IS_INTRESOURCE(className)) return nullptr;
  return CreateControl(exStyle, FromAnsi(className), windowName, style, QRect(x, y, width, height),
                       parent, static_cast<int>(reinterpret_cast<intptr_t>(menuOrId)));
}

BOOL WINAPI CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  Window* window = win32::Find(dialog);
  if (window == nullptr) return FALSE;
  const std::vector<HWND> children = window->children;
  for (HWND child : children) {
    const int id = GetDlgCtrlID(child);
    if (id >= firstId && id <= lastId) {
      SendMessageA(child, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  return TRUE;
}

BOOL WINAPI GetComboBoxInfo(HWND combo, PCOMBOBOXINFO info) {
  Window* window = win32::Find(combo);
  if (window == nullptr || window->kind != Kind::ComboBox || info == nullptr ||
      info->cbSize != sizeof(COMBOBOXINFO)) {
    return FALSE;
  }
  auto* widget = dynamic_cast<ComboBox*>(window->widget.data());
  *info = COMBOBOXINFO{sizeof(COMBOBOXINFO), {}, {}, 0, combo, nullptr, nullptr};
  if (widget != nullptr && widget->isEditable()) info->hwndItem = combo;
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
  return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

}  // extern "C"
