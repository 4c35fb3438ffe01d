#include "app/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/Form1.h"
#include "app/Sizing.h"
#include "platform/ScreenMetrics.h"

namespace snapwick {

namespace {

// One entry of the menu tree: its depth (0 a menu of the bar, 1 an item, 2 an item of a
// submenu), what it is, its name, caption and shortcut, its check state at start (checked, or
// unchecked; none for a plain item), and its handler.
enum class Kind { Menu, Item, Check, Separator };

struct MenuEntry {
  int depth;
  Kind kind;
  int id;  // a MenuName for menus, a MenuItem for items
  const char* name;
  const char* caption;
  const char* shortcut;
  bool checked;
  void (Form1::*handler)();  // none for the fixed sizes
};

constexpr int M(MenuName menu) {
  return static_cast<int>(menu);
}
constexpr int I(MenuItem item) {
  return static_cast<int>(item);
}
void (Form1::*const kNone)() = nullptr;
constexpr MenuEntry kSeparator{1, Kind::Separator, -1, "", "", "", false, nullptr};

// clang-format off
const MenuEntry kMenuTable[] = {
  {0, Kind::Menu, M(MenuName::File), "File", "&File", "", false, kNone},
  {1, Kind::Item, I(MenuItem::Load), "Load", "Load...", "Ctrl+O", false, &Form1::Load_Click},
  {1, Kind::Item, I(MenuItem::SetDate), "SetDate", "Date", "Ctrl+D", false, &Form1::SetDate_Click},
  {1, Kind::Item, I(MenuItem::Lable), "Lable", "Label", "Ctrl+L", false, &Form1::Lable_Click},
  {1, Kind::Check, I(MenuItem::PictureData), "PictureData", "Picture Data", "Ctrl+I", false, &Form1::PictureData_Click},
  {1, Kind::Item, I(MenuItem::SelectData), "SelectData", "Configure Picture Data...", "", false, &Form1::SelectData_Click},
  kSeparator,
  {1, Kind::Check, I(MenuItem::AutoDate), "AutoDate", "Auto Date", "", true, &Form1::AutoDate_Click},
  {1, Kind::Check, I(MenuItem::UsePcZone), "UsePcZone", "Use PC Time Zone", "", true, &Form1::UsePcZone_Click},
  {1, Kind::Check, I(MenuItem::UseCaptureDate), "UseCaptureDate", "Use Capture Date", "", false, &Form1::UseCaptureDate_Click},
  {1, Kind::Check, I(MenuItem::AutoSave), "AutoSave", "Auto Save", "", false, &Form1::AutoSave_Click},
  {1, Kind::Check, I(MenuItem::AutoLabel), "AutoLabel", "Auto Label", "", false, &Form1::AutoLabel_Click},
  {1, Kind::Check, I(MenuItem::KeepPictureData), "KeepPictureData", "Keep Picture Data in Saved Files", "", false, &Form1::KeepPictureData_Click},
  kSeparator,
  {1, Kind::Item, I(MenuItem::Clear), "Clear", "Clear", "Ctrl+C", false, &Form1::Clear_Click},
  {1, Kind::Item, I(MenuItem::SelectFont), "SelectFont", "Font...", "", false, &Form1::SelectFont_Click},
  kSeparator,
  {1, Kind::Item, I(MenuItem::SaveAs), "SaveAs", "Save as...", "Ctrl+S", false, &Form1::SaveAs_Click},
  {1, Kind::Item, I(MenuItem::SaveAll), "SaveAll", "Save All", "Ctrl+Shift+S", false, &Form1::SaveAll_Click},
  {1, Kind::Item, I(MenuItem::Exit), "Exit", "Exit", "Ctrl+Q", false, &Form1::Exit_Click},
  {0, Kind::Menu, M(MenuName::ViewPics), "ViewPics", "&View", "", false, kNone},
  {1, Kind::Item, I(MenuItem::NextFile), "NextFile", "Next", "Ctrl+N", false, &Form1::NextFile_Click},
  {1, Kind::Item, I(MenuItem::PrevFile), "PrevFile", "Prev", "Ctrl+P", false, &Form1::PrevFile_Click},
  {1, Kind::Check, I(MenuItem::AutoNext), "AutoNext", "Auto", "Ctrl+A", false, &Form1::AutoNext_Click},
  kSeparator,
  {1, Kind::Menu, M(MenuName::PredefineResize), "PredefineResize", "Resize", "", false, kNone},
  {2, Kind::Item, I(MenuItem::FixedSize0), "FixedSize(0)", "160x120", "", false, kNone},
  {2, Kind::Item, I(MenuItem::FixedSize1), "FixedSize(1)", "320x240", "", false, kNone},
  {2, Kind::Item, I(MenuItem::FixedSize2), "FixedSize(2)", "640x480", "", false, kNone},
  {2, Kind::Item, I(MenuItem::FixedSize3), "FixedSize(3)", "800x600", "", false, kNone},
  {2, Kind::Item, I(MenuItem::FixedSize4), "FixedSize(4)", "1024x768", "", false, kNone},
  {2, Kind::Item, I(MenuItem::FixedSize5), "FixedSize(5)", "1280x960", "", false, kNone},
  {2, Kind::Item, I(MenuItem::FixedSize6), "FixedSize(6)", "1600x1200", "", false, kNone},
  {1, Kind::Item, I(MenuItem::Resize), "Resize", "Refresh", "F5", false, &Form1::Resize_Click},
  kSeparator,
  {1, Kind::Item, I(MenuItem::DisplayPicData), "DisplayPicData", "Picture Data", "", false, &Form1::DisplayPicData_Click},
  {0, Kind::Menu, M(MenuName::WindowMenu), "WindowMenu", "&Window", "", false, kNone},
  {1, Kind::Check, I(MenuItem::Border), "Border", "Border", "", true, &Form1::Border_Click},
  {1, Kind::Check, I(MenuItem::HideMenu), "HideMenu", "Hide Menu", "F6", false, &Form1::HideMenu_Click},
  kSeparator,
  {1, Kind::Item, I(MenuItem::CheckIfBalck), "CheckIfBalck", "Check Black", "", false, &Form1::CheckIfBalck_Click},
  {0, Kind::Menu, M(MenuName::HelpMenu), "HelpMenu", "&Help", "", false, kNone},
  {1, Kind::Item, I(MenuItem::About), "About", "About", "", false, &Form1::About_Click},
};
// clang-format on

}  // namespace

void MainMenu::Build(Form1& window) {
  QMenu* top = nullptr;
  QMenu* sub = nullptr;
  for (const MenuEntry& entry : kMenuTable) {
    QMenu* parentMenu = entry.depth == 2 ? sub : top;
    if (entry.kind == Kind::Menu) {
      QMenu* menu = entry.depth == 0 ? window.menuBar()->addMenu(entry.caption)
                                     : parentMenu->addMenu(entry.caption);
      menu->setObjectName(entry.name);
      menus_[static_cast<size_t>(entry.id)] = menu;
      (entry.depth == 0 ? top : sub) = menu;
      continue;
    }
    if (entry.kind == Kind::Separator) {
      parentMenu->addSeparator();
      continue;
    }
    QAction* action = parentMenu->addAction(entry.caption);
    action->setObjectName(entry.name);
    if (*entry.shortcut) {
      action->setShortcut(QKeySequence(entry.shortcut));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    if (entry.kind == Kind::Check) {
      action->setCheckable(true);
      action->setChecked(entry.checked);
    }
    window.addAction(action);
    actions_[static_cast<size_t>(entry.id)] = action;
    const MenuEntry* e = &entry;
    QObject::connect(action, &QAction::triggered, &window, [&window, action, e] {
      if (action->isCheckable()) action->setChecked(!action->isChecked());
      if (e->handler) {
        (window.*(e->handler))();
      } else {
        window.FixedSize_Click(e->id - static_cast<int>(MenuItem::FixedSize0));
      }
    });
  }
}

bool MainMenu::Checked(MenuItem item) const {
  return Action(item)->isChecked();
}

void MainMenu::SetChecked(MenuItem item, bool on) {
  Action(item)->setChecked(on);
}

void MainMenu::DisableFixedSizesBeyondScreen(bool border) {
  const double tppX = ScreenMetrics::TwipsPerPixelX(), tppY = ScreenMetrics::TwipsPerPixelY();
  for (int i = 0; i < kFixedSizes; ++i) {
    QAction* item = Action(FixedSizeItem(i));
    const auto size = ParseFixedSize(item->text().toStdString());
    if (!size) continue;
    const double neededWidth = FixedSizeWindowWidth(size->first, tppX);
    const double neededHeight = FixedSizeWindowHeight(size->second, border, tppY);
    if (ScreenMetrics::ScreenWidthTwips() < neededWidth ||
        ScreenMetrics::ScreenHeightTwips() < neededHeight) {
      item->setEnabled(false);
    }
  }
}

}  // namespace snapwick
