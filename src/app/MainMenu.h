#pragma once

#include <array>
#include <cstddef>

class QAction;
class QMenu;

namespace snapwick {

class Form1;

// The items of the main window's menus that act, by their names.
enum class MenuItem {
  Load,
  SetDate,
  Lable,
  PictureData,
  SelectData,
  AutoDate,
  UsePcZone,
  UseCaptureDate,
  AutoSave,
  AutoLabel,
  KeepPictureData,
  Clear,
  SelectFont,
  SaveAs,
  SaveAll,
  Exit,
  NextFile,
  PrevFile,
  AutoNext,
  FixedSize0,
  FixedSize1,
  FixedSize2,
  FixedSize3,
  FixedSize4,
  FixedSize5,
  FixedSize6,
  Resize,
  DisplayPicData,
  Border,
  HideMenu,
  CheckIfBalck,
  About,
  Count
};

// The menus: the four of the menu bar and the Resize submenu.
enum class MenuName { File, ViewPics, PredefineResize, WindowMenu, HelpMenu, Count };

inline constexpr int kFixedSizes = 7;
inline MenuItem FixedSizeItem(int index) {
  return static_cast<MenuItem>(static_cast<int>(MenuItem::FixedSize0) + index);
}

// The main window's menu bar, built from one table: captions, shortcuts, check marks at start,
// and the window's handler of each item. Every action is also the window's own, so that its
// shortcut works while the menus are hidden; a check mark is switched by its handler only.
class MainMenu {
 public:
  void Build(Form1& window);

  QAction* Action(MenuItem item) const { return actions_[static_cast<size_t>(item)]; }
  QMenu* Menu(MenuName menu) const { return menus_[static_cast<size_t>(menu)]; }
  bool Checked(MenuItem item) const;
  void SetChecked(MenuItem item, bool on);
  // Disables the fixed sizes whose window would not fit on the screen.
  void DisableFixedSizesBeyondScreen(bool border);

 private:
  std::array<QAction*, static_cast<size_t>(MenuItem::Count)> actions_{};
  std::array<QMenu*, static_cast<size_t>(MenuName::Count)> menus_{};
};

}  // namespace snapwick
