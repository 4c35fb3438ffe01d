#pragma once

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <functional>

class QWidget;
class QWindow;

namespace snapwick {

// Changes the frame of a live top-level window: title bar, system menu, minimise and maximise
// buttons, sizing border, tool-window and context-help styles, and top-most placement. The
// frame is kept as the two style words of the desktop this program was first written for (same
// bit values), and every change is mapped onto the window's flags and applied at once.
class clsStyle : public QObject {
  Q_OBJECT

 public:
  static constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;
  static constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
  static constexpr uint32_t WS_THICKFRAME = 0x00040000;
  static constexpr uint32_t WS_SYSMENU = 0x00080000;
  static constexpr uint32_t WS_DLGFRAME = 0x00400000;
  static constexpr uint32_t WS_BORDER = 0x00800000;
  static constexpr uint32_t WS_CAPTION = 0x00C00000;
  static constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
  static constexpr uint32_t WS_EX_TOOLWINDOW = 0x00000080;
  static constexpr uint32_t WS_EX_CONTEXTHELP = 0x00000400;

  clsStyle() = default;
  ~clsStyle() override;

  bool AutoDrag() const { return autoDrag_; }
  void AutoDrag(bool value) { autoDrag_ = value; }
  bool AutoSysMenu() const { return autoSysMenu_; }
  void AutoSysMenu(bool value) { autoSysMenu_ = value; }

  // Binds the object to a top-level window (or to none), reading its current frame.
  void Client(QWidget* obj);
  QWidget* Client() const { return mClient; }

  bool ControlBox() const { return StyleBits() & WS_SYSMENU; }
  void ControlBox(bool value) { SetStyleBit(WS_SYSMENU, value); }
  bool MaxButton() const { return StyleBits() & WS_MAXIMIZEBOX; }
  void MaxButton(bool value) { SetStyleBit(WS_MAXIMIZEBOX, value); }
  bool MinButton() const { return StyleBits() & WS_MINIMIZEBOX; }
  void MinButton(bool value) { SetStyleBit(WS_MINIMIZEBOX, value); }
  bool Sizable() const { return StyleBits() & WS_THICKFRAME; }
  void Sizable(bool value) { SetStyleBit(WS_THICKFRAME, value); }
  bool Titlebar() const { return StyleBits() & WS_CAPTION; }
  void Titlebar(bool value) { SetStyleBit(WS_CAPTION, value); }
  bool ToolWindow() const { return ExStyleBits() & WS_EX_TOOLWINDOW; }
  void ToolWindow(bool value) { SetExStyleBit(WS_EX_TOOLWINDOW, value); }
  bool WhatsThisButton() const { return ExStyleBits() & WS_EX_CONTEXTHELP; }
  void WhatsThisButton(bool value) { SetExStyleBit(WS_EX_CONTEXTHELP, value); }
  bool TopMost() const { return ExStyleBits() & WS_EX_TOPMOST; }
  // Changes only the window's place in the stacking order.
  void TopMost(bool value);

  // Non-zero while there is a client.
  uintptr_t hWnd() const;

  // Applies the style words to the window, so that its frame is recomputed and repainted.
  void pRedraw();
  // Pops up the window menu (Restore, Move, Size, Minimize, Maximize, Close; also on Alt+Space,
  // and on a right release on the window when AutoSysMenu is on) at a screen point in
  // pixels. A coordinate outside the signed 16-bit range raises an overflow error. "Move" and
  // "Size" hand the window to the desktop's own move or resize where it offers one; where it
  // does not, the window takes the keyboard and the arrow keys move it or change its size by 10
  // pixels a press until Enter (Escape puts it back), so that a window without a title bar can
  // still be moved and sized. A click, a modal dialog over the window or the loss of the focus
  // ends that tracking where the window is and gives the keyboard back.
  enum class Tracking { None, Move, Size };
  void StartTracking(Tracking kind);
  // Starts the desktop's own move or resize of the window (with the mouse); true when the desktop
  // took it over. Replaceable, since not every platform offers one.
  std::function<bool(QWindow*, Tracking)> SystemTracking = StartSystemTracking;
  static bool StartSystemTracking(QWindow* window, Tracking kind);
  Tracking Tracked() const { return tracking_; }
  void ShowSysMenu(int x, int y);
  // The window menu last popped up (for tests); none before the first.
  QMenu* SysMenu() const { return sysMenu_; }

  uint32_t StyleBits() const { return style_; }
  uint32_t ExStyleBits() const { return exStyle_; }

  void mClient_MouseDown(Qt::MouseButton button, QPoint screenPos);
  void mClient_MouseUp(Qt::MouseButton button, QPoint screenPos);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetStyleBit(uint32_t bits, bool on);
  void SetExStyleBit(uint32_t bits, bool on);
  void ReadStyleFromWindow();
  // Moves or sizes the window by a key while tracking; true when the key was taken.
  bool TrackKey(int key);
  // Ends the tracking by keys, if any, and releases the keyboard.
  void EndTracking();

  QPointer<QWidget> mClient;
  bool autoDrag_ = false;
  bool autoSysMenu_ = false;
  uint32_t style_ = 0;
  uint32_t exStyle_ = 0;
  QPointer<QMenu> sysMenu_;
  Tracking tracking_ = Tracking::None;
  QRect trackedFrom_;
};

}  // namespace snapwick
