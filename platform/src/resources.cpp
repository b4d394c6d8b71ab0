// The layer's resource table (icons drawn here) and the stock cursors.
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <map>

#include "core.h"

namespace win32 {
namespace {

using IconPainter = void (*)(QPainter& painter, const QRectF& area);

// "ICON1": a globe with a graticule.
void PaintGlobe(QPainter& painter, const QRectF& area) {
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal size = std::min(area.width(), area.height());
  const qreal margin = size * 0.06;
  const QRectF disc =
      QRectF(area.topLeft(), QSizeF(size, size)).adjusted(margin, margin, -margin, -margin);
  const QPointF centre = disc.center();
  QRadialGradient sea(centre - QPointF(disc.width() * 0.2, disc.height() * 0.2),
                      disc.width() * 0.75);
  sea.setColorAt(0, QColor(130, 195, 255));
  sea.setColorAt(1, QColor(20, 70, 160));
  painter.setBrush(sea);
  painter.setPen(QPen(QColor(10, 40, 100), std::max(1.0, size / 32)));
  painter.drawEllipse(disc);

  QPainterPath outline;
  outline.addEllipse(disc);
  painter.save();
  painter.setClipPath(outline);
  painter.setPen(QPen(QColor(235, 245, 255), std::max(1.0, size / 28)));
  painter.setBrush(Qt::NoBrush);
  for (qreal fraction : {0.38, 0.78}) {
    const qreal half = disc.width() / 2 * fraction;
    painter.drawEllipse(QRectF(centre.x() - half, disc.top(), 2 * half, disc.height()));
  }
  painter.drawLine(QPointF(centre.x(), disc.top()), QPointF(centre.x(), disc.bottom()));
  for (qreal latitude : {-0.55, 0.0, 0.55}) {
    const qreal y = centre.y() + latitude * disc.height() / 2;
    const qreal half = disc.width() / 2 * std::sqrt(1 - latitude * latitude);
    painter.drawLine(QPointF(centre.x() - half, y), QPointF(centre.x() + half, y));
  }
  painter.restore();
}

std::map<QString, IconPainter>& IconResources() {
  static std::map<QString, IconPainter> resources;
  return resources;
}

std::map<uintptr_t, QIcon>& Icons() {
  static std::map<uintptr_t, QIcon> icons;
  return icons;
}
uintptr_t nextIcon = 0x30010;

constexpr WORD kArrow = 32512;
constexpr WORD kIBeam = 32513;
constexpr WORD kWait = 32514;
constexpr WORD kAppStarting = 32650;
constexpr uintptr_t kCursorBase = 0x40000;

HCURSOR StockCursor(WORD id) {
  return reinterpret_cast<HCURSOR>(kCursorBase + id);
}
HCURSOR currentCursor = StockCursor(kArrow);

}  // namespace

void RegisterStandardResources() {
  IconResources()["ICON1"] = &PaintGlobe;
}

QIcon IconOf(HICON icon) {
  auto it = Icons().find(reinterpret_cast<uintptr_t>(icon));
  return it == Icons().end() ? QIcon() : it->second;
}

}  // namespace win32

using namespace win32;

extern "C" {

HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height,
                         UINT flags) {
  if (type == IMAGE_CURSOR) return LoadCursorA(instance, name);
  if (type != IMAGE_ICON || name == nullptr || IS_INTRESOURCE(name)) return nullptr;
  if (IconResources().empty()) RegisterStandardResources();
  auto it = IconResources().find(QString::fromLatin1(name).toUpper());
  if (it == IconResources().end()) return nullptr;
  // LR_DEFAULTSIZE or 0: the system's large icon size.
  const int w = width > 0 ? width : 32;
  const int h = height > 0 ? height : 32;
  (void)flags;
  QPixmap pixmap(w, h);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    it->second(painter, QRectF(0, 0, w, h));
  }
  const uintptr_t handle = nextIcon;
  nextIcon += 4;
  Icons()[handle] = QIcon(pixmap);
  return reinterpret_cast<HANDLE>(handle);
}

BOOL WINAPI DestroyIcon(HICON icon) {
  return Icons().erase(reinterpret_cast<uintptr_t>(icon)) > 0;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (instance != nullptr || !IS_INTRESOURCE(name)) return nullptr;
  const WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
  if (id != kArrow && id != kIBeam && id != kWait && id != kAppStarting) return nullptr;
  return StockCursor(id);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  const HCURSOR previous = currentCursor;
  currentCursor = cursor;
  if (QGuiApplication::instance() == nullptr) return previous;
  const uintptr_t id = reinterpret_cast<uintptr_t>(cursor) - kCursorBase;
  if (cursor != nullptr && id == kArrow) {
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
    return previous;
  }
  const Qt::CursorShape shape = cursor == nullptr    ? Qt::BlankCursor
                                : id == kIBeam       ? Qt::IBeamCursor
                                : id == kWait        ? Qt::WaitCursor
                                : id == kAppStarting ? Qt::BusyCursor
                                                     : Qt::ArrowCursor;
  if (QGuiApplication::overrideCursor() != nullptr) {
    QGuiApplication::changeOverrideCursor(shape);
  } else {
    QGuiApplication::setOverrideCursor(shape);
  }
  return previous;
}

}  // extern "C"
