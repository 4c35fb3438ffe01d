#include "platform/clsStyle.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "base/Checked.h"

namespace snapwick {

clsStyle::~clsStyle() {
  EndTracking();
  delete sysMenu_;
}

void clsStyle::Client(QWidget* obj) {
  EndTracking();
  if (mClient) mClient->removeEventFilter(this);
  mClient = obj;
  if (mClient) {
    mClient->installEventFilter(this);
    ReadStyleFromWindow();
  } else {
    style_ = exStyle_ = 0;
  }
}

uintptr_t clsStyle::hWnd() const {
  return mClient ? mClient->winId() : 0;
}

void clsStyle::ReadStyleFromWindow() {
  const Qt::WindowFlags flags = mClient->windowFlags();
  const bool custom = flags & Qt::CustomizeWindowHint;
  style_ = 0;
  exStyle_ = 0;
  if (!(flags & Qt::FramelessWindowHint)) {
    // A window without customised hints has the full frame of an ordinary window.
    if (!custom || (flags & Qt::WindowTitleHint)) style_ |= WS_CAPTION;
    if (!custom || (flags & Qt::WindowSystemMenuHint)) style_ |= WS_SYSMENU;
    if (!custom || (flags & Qt::WindowMinimizeButtonHint)) style_ |= WS_MINIMIZEBOX;
    if (!custom || (flags & Qt::WindowMaximizeButtonHint)) style_ |= WS_MAXIMIZEBOX;
  }
  if (mClient->minimumSize() != mClient->maximumSize()) style_ |= WS_THICKFRAME;
  if ((flags & Qt::WindowType_Mask) == Qt::Tool) exStyle_ |= WS_EX_TOOLWINDOW;
  if (flags & Qt::WindowContextHelpButtonHint) exStyle_ |= WS_EX_CONTEXTHELP;
  if (flags & Qt::WindowStaysOnTopHint) exStyle_ |= WS_EX_TOPMOST;
}

void clsStyle::SetStyleBit(uint32_t bits, bool on) {
  if (on) {
    style_ |= bits;
  } else {
    style_ &= ~bits;
  }
  pRedraw();
}

void clsStyle::SetExStyleBit(uint32_t bits, bool on) {
  if (on) {
    exStyle_ |= bits;
  } else {
    exStyle_ &= ~bits;
  }
  pRedraw();
}

void clsStyle::TopMost(bool value) {
  // The stacking order is all that changes; the flag follows, as the desktop would set it.
  if (value) {
    exStyle_ |= WS_EX_TOPMOST;
  } else {
    exStyle_ &= ~WS_EX_TOPMOST;
  }
  pRedraw();
}

void clsStyle::pRedraw() {
  if (!mClient) return;
  Qt::WindowFlags flags = (exStyle_ & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
  if (style_ & WS_CAPTION) {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (style_ & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style_ & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (style_ & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    if (exStyle_ & WS_EX_CONTEXTHELP) flags |= Qt::WindowContextHelpButtonHint;
  } else {
    // No title bar, but the border stays: window managers that follow the Motif hints keep the
    // frame of a window whose hints leave the title out.
    flags |= Qt::CustomizeWindowHint;
  }
  if (exStyle_ & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;

  if (style_ & WS_THICKFRAME) {
    mClient->setMinimumSize(0, 0);
    mClient->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    mClient->setFixedSize(mClient->size());
  }
  if (mClient->windowFlags() == flags) return;
  // Changing the flags hides a window; a shown one is shown again in the same place.
  const bool visible = mClient->isVisible();
  const QRect geometry = mClient->geometry();
  const Qt::WindowStates states = mClient->windowState();
  mClient->setWindowFlags(flags);
  if (visible) {
    mClient->setGeometry(geometry);
    mClient->setWindowState(states);
    mClient->show();
  }
}

void clsStyle::ShowSysMenu(int x, int y) {
  const QPoint at(checked::To16(x), checked::To16(y));
  if (!mClient) return;
  if (!sysMenu_) {
    sysMenu_ = new QMenu();
    QWidget* window = mClient;
    QAction* restore =
        sysMenu_->addAction(tr("Restore"), window, [window] { window->showNormal(); });
    QAction* move =
        sysMenu_->addAction(tr("Move"), window, [this] { StartTracking(Tracking::Move); });
    QAction* size =
        sysMenu_->addAction(tr("Size"), window, [this] { StartTracking(Tracking::Size); });
    QAction* minimize =
        sysMenu_->addAction(tr("Minimize"), window, [window] { window->showMinimized(); });
    QAction* maximize =
        sysMenu_->addAction(tr("Maximize"), window, [window] { window->showMaximized(); });
    sysMenu_->addSeparator();
    sysMenu_->addAction(tr("Close"), window, [window] { window->close(); });
    connect(sysMenu_, &QMenu::aboutToShow, sysMenu_,
            [this, window, restore, move, size, minimize, maximize] {
              const bool normal =
                  !(window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
              restore->setEnabled(!normal);
              move->setEnabled(normal);
              size->setEnabled(normal && Sizable());
              minimize->setEnabled(MinButton());
              maximize->setEnabled(MaxButton() && !(window->windowState() & Qt::WindowMaximized));
            });
  }
  sysMenu_->popup(at);
}

bool clsStyle::StartSystemTracking(QWindow* window, Tracking kind) {
  return kind == Tracking::Move ? window->startSystemMove()
                                : window->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
}

void clsStyle::StartTracking(Tracking kind) {
  if (!mClient || kind == Tracking::None) return;
  EndTracking();
  // Where the desktop moves or sizes the window with the mouse, the keyboard stays free.
  QWindow* window = mClient->windowHandle();
  if (window != nullptr && SystemTracking(window, kind)) return;
  tracking_ = kind;
  trackedFrom_ = mClient->geometry();
  mClient->activateWindow();
  mClient->grabKeyboard();
}

void clsStyle::EndTracking() {
  if (tracking_ == Tracking::None) return;
  tracking_ = Tracking::None;
  if (mClient) mClient->releaseKeyboard();
}

bool clsStyle::TrackKey(int key) {
  constexpr int kStep = 10;
  QRect geometry = mClient->geometry();
  const int dx = key == Qt::Key_Left ? -kStep : key == Qt::Key_Right ? kStep : 0;
  const int dy = key == Qt::Key_Up ? -kStep : key == Qt::Key_Down ? kStep : 0;
  if (dx != 0 || dy != 0) {
    if (tracking_ == Tracking::Move) {
      mClient->move(mClient->pos() + QPoint(dx, dy));
    } else {
      geometry.setSize((geometry.size() + QSize(dx, dy)).expandedTo(mClient->minimumSize()));
      mClient->resize(geometry.size());
    }
    return true;
  }
  if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) return false;
  if (key == Qt::Key_Escape) mClient->setGeometry(trackedFrom_);
  EndTracking();
  return true;
}

void clsStyle::mClient_MouseDown(Qt::MouseButton button, QPoint) {
  if (button == Qt::LeftButton && autoDrag_ && mClient && mClient->windowHandle()) {
    mClient->windowHandle()->startSystemMove();
  }
}

void clsStyle::mClient_MouseUp(Qt::MouseButton button, QPoint screenPos) {
  if (button == Qt::RightButton && autoSysMenu_) ShowSysMenu(screenPos.x(), screenPos.y());
}

bool clsStyle::eventFilter(QObject* watched, QEvent* event) {
  if (watched == mClient) {
    if (event->type() == QEvent::KeyPress && tracking_ != Tracking::None) {
      if (TrackKey(static_cast<QKeyEvent*>(event)->key())) return true;
    } else if (event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->keyCombination() ==
                   QKeyCombination(Qt::AltModifier, Qt::Key_Space)) {
      // Alt+Space opens the window menu at the window's corner, as desktops do.
      const QPoint corner = mClient->frameGeometry().topLeft();
      ShowSysMenu(corner.x(), corner.y());
      return true;
    } else if (event->type() == QEvent::MouseButtonPress ||
               event->type() == QEvent::WindowBlocked ||
               event->type() == QEvent::WindowDeactivate) {
      // A click, a modal dialog over the window or the focus going elsewhere ends the tracking
      // where the window is, and the keys go where the focus is again.
      EndTracking();
    }
    if (event->type() == QEvent::MouseButtonPress) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      mClient_MouseDown(mouse->button(), mouse->globalPosition().toPoint());
    } else if (event->type() == QEvent::MouseButtonRelease) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      // The cursor's position when the button comes up.
      mClient_MouseUp(mouse->button(), QCursor::pos());
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace snapwick
