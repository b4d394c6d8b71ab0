// "SysTabControl32": a tab strip over a framed display area.
//
// A selection the user makes is announced as Windows does: TCN_SELCHANGING
// while the old tab is still current (a non-zero answer keeps it), then the
// change, then TCN_SELCHANGE. TCM_SETCURFOCUS announces the same way;
// TCM_SETCURSEL changes silently.
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <QWheelEvent>

#include "core.h"

namespace win32 {
namespace {

class TabBar : public QTabBar {
 public:
  TabBar(QWidget* parent, bool fixedWidth) : QTabBar(parent), fixedWidth_(fixedWidth) {}

 protected:
  QSize tabSizeHint(int index) const override {
    QSize size = QTabBar::tabSizeHint(index);
    if (fixedWidth_) {
      for (int i = 0; i < count(); ++i) {
        size.setWidth(std::max(size.width(), QTabBar::tabSizeHint(i).width()));
      }
    }
    return size;
  }
  void wheelEvent(QWheelEvent* event) override { event->ignore(); }  // not a Windows gesture

 private:
  bool fixedWidth_;
};

bool SelectAnnounced(HWND handle, int index);

class TabControl : public QWidget {
 public:
  TabControl(QWidget* parent, DWORD style)
      : QWidget(parent), bar_(new TabBar(this, style & TCS_FIXEDWIDTH)) {
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setFocusPolicy((style & TCS_FOCUSNEVER) ? Qt::NoFocus : Qt::StrongFocus);
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
      // The user moved the bar: put the old tab back while the parent is asked.
      if (index == selection_) return;
      {
        const QSignalBlocker blocker(bar_);
        bar_->setCurrentIndex(selection_);
      }
      SelectAnnounced(HandleOf(this), index);
    });
  }

  QTabBar* bar() const { return bar_; }
  int selection() const { return selection_; }
  void SetSelection(int index) {
    const QSignalBlocker blocker(bar_);
    if (index >= 0) bar_->setCurrentIndex(index);
    selection_ = bar_->count() > 0 ? bar_->currentIndex() : -1;
    if (index < 0) selection_ = -1;
  }
  // After Qt inserted or removed a tab (it selects the first tab put in).
  void Resync() { selection_ = bar_->count() > 0 ? bar_->currentIndex() : -1; }
  int BarHeight() const { return bar_->sizeHint().height(); }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    bar_->setGeometry(0, 0, width(), BarHeight());
    QWidget::resizeEvent(event);
  }
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    const int top = std::max(0, BarHeight() - overlap);
    option.rect = QRect(0, top, width(), height() - top);
    option.shape = QTabBar::RoundedNorth;
    option.tabBarSize = bar_->sizeHint();
    option.tabBarRect = bar_->geometry();
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
  }

 private:
  TabBar* bar_;
  int selection_ = -1;
};

TabControl* TabControlOf(const Window& window) {
  return dynamic_cast<TabControl*>(window.widget.data());
}

LRESULT Announce(HWND handle, UINT code) {
  Window* window = Find(handle);
  if (window == nullptr) return 0;
  NMHDR header{handle, static_cast<UINT_PTR>(window->id), code};
  return SendMessageA(window->parent, WM_NOTIFY, static_cast<WPARAM>(window->id),
                      reinterpret_cast<LPARAM>(&header));
}

bool SelectAnnounced(HWND handle, int index) {
  Window* window = Find(handle);
  TabControl* control = window ? TabControlOf(*window) : nullptr;
  if (control == nullptr || index == control->selection() || index < 0 ||
      index >= control->bar()->count()) {
    return false;
  }
  if (Announce(handle, TCN_SELCHANGING) != 0) return false;  // the parent refused
  window = Find(handle);
  if (window == nullptr) return false;
  TabControlOf(*window)->SetSelection(index);
  Announce(handle, TCN_SELCHANGE);
  return true;
}

// ------------------------------------------------------------- messages
// One handler per message; `index` is the message's wParam.

bool ValidIndex(const TabControl& control, int index) {
  return index >= 0 && index < control.bar()->count();
}

// TCM_INSERTITEMA: the position the tab got, or -1.
LRESULT InsertItem(TabControl& control, int index, const TCITEMA* item) {
  if (item == nullptr || index < 0) return -1;
  QTabBar* bar = control.bar();
  const QString text = (item->mask & TCIF_TEXT) ? FromAnsi(item->pszText) : QString();
  int at;
  {
    const QSignalBlocker blocker(bar);
    at = bar->insertTab(std::min(index, bar->count()), text);
    if (item->mask & TCIF_PARAM) bar->setTabData(at, QVariant::fromValue<qlonglong>(item->lParam));
  }
  control.Resync();
  return at;
}

// TCM_SETITEMA: the text and the application value that the mask names.
LRESULT SetItem(TabControl& control, int index, const TCITEMA* item) {
  if (item == nullptr || !ValidIndex(control, index)) return FALSE;
  QTabBar* bar = control.bar();
  if (item->mask & TCIF_TEXT) bar->setTabText(index, FromAnsi(item->pszText));
  if (item->mask & TCIF_PARAM) bar->setTabData(index, QVariant::fromValue<qlonglong>(item->lParam));
  return TRUE;
}

// TCM_GETITEMA: the text (into the caller's buffer) and the application value.
LRESULT GetItem(const TabControl& control, int index, TCITEMA* item) {
  if (item == nullptr || !ValidIndex(control, index)) return FALSE;
  const QTabBar* bar = control.bar();
  if (item->mask & TCIF_TEXT) CopyOut(ToAnsi(bar->tabText(index)), item->pszText, item->cchTextMax);
  if (item->mask & TCIF_PARAM) item->lParam = bar->tabData(index).toLongLong();
  return TRUE;
}

// TCM_DELETEITEM, silently, as on Windows.
LRESULT DeleteItem(TabControl& control, int index) {
  if (!ValidIndex(control, index)) return FALSE;
  {
    const QSignalBlocker blocker(control.bar());
    control.bar()->removeTab(index);
  }
  control.Resync();
  return TRUE;
}

// TCM_DELETEALLITEMS.
LRESULT DeleteAllItems(TabControl& control) {
  {
    const QSignalBlocker blocker(control.bar());
    while (control.bar()->count() > 0) control.bar()->removeTab(0);
  }
  control.Resync();
  return TRUE;
}

// TCM_SETCURSEL: no notification; the previous selection, or -1.
LRESULT SetSelectionSilently(TabControl& control, int index) {
  const int previous = control.selection();
  if (!ValidIndex(control, index)) return -1;
  control.SetSelection(index);
  return previous;
}

// TCM_GETITEMRECT: the tab's rectangle in the control's coordinates.
LRESULT GetItemRect(const TabControl& control, int index, RECT* rect) {
  if (rect == nullptr || !ValidIndex(control, index)) return FALSE;
  const QTabBar* bar = control.bar();
  const QRect r = bar->tabRect(index).translated(bar->pos());
  *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  return TRUE;
}

// TCM_ADJUSTRECT: the display area lies inside the frame, below the strip;
// `larger` turns a display rectangle into the control's.
LRESULT AdjustRect(const TabControl& control, bool larger, RECT* rect) {
  if (rect == nullptr) return 0;
  const int frame = control.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1;
  const int sign = larger ? -1 : 1;
  rect->left += sign * frame;
  rect->right -= sign * frame;
  rect->top += sign * (control.BarHeight() + frame);
  rect->bottom -= sign * frame;
  return 0;
}

}  // namespace

QWidget* NewTabControl(QWidget* parent, DWORD style) {
  return new TabControl(parent, style);
}

LRESULT TabProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  TabControl* control = TabControlOf(window);
  if (control == nullptr) return 0;
  const int index = static_cast<int>(wParam);
  switch (message) {
    case TCM_GETITEMCOUNT:
      return control->bar()->count();
    case TCM_INSERTITEMA:
      return InsertItem(*control, index, reinterpret_cast<const TCITEMA*>(lParam));
    case TCM_SETITEMA:
      return SetItem(*control, index, reinterpret_cast<const TCITEMA*>(lParam));
    case TCM_GETITEMA:
      return GetItem(*control, index, reinterpret_cast<TCITEMA*>(lParam));
    case TCM_DELETEITEM:
      return DeleteItem(*control, index);
    case TCM_DELETEALLITEMS:
      return DeleteAllItems(*control);
    case TCM_GETCURSEL:
    case TCM_GETCURFOCUS:
      return control->selection();
    case TCM_SETCURSEL:
      return SetSelectionSilently(*control, index);
    case TCM_SETCURFOCUS:  // announced, as a user's choice is
      SelectAnnounced(window.handle, index);
      return 0;
    case TCM_GETITEMRECT:
      return GetItemRect(*control, index, reinterpret_cast<RECT*>(lParam));
    case TCM_ADJUSTRECT:
      return AdjustRect(*control, wParam != 0, reinterpret_cast<RECT*>(lParam));
    case TCM_GETROWCOUNT:
      return 1;
    case TCM_SETPADDING:  // Qt's style sets the padding of tabs
      return 0;
    default:
      return CommonProcedure(window, message, wParam, lParam);
  }
}

}  // namespace win32
