#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/MainMenu.h"
#include "app/PictureSession.h"
#include "platform/Dialogs.h"

class QAction;
class QLabel;
class QMenu;

namespace snapwick {

class PictureBox;
class clsStyle;
class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class SaveAllView;

// The main window: builds the menus, forwards each command to the picture session, shows what
// the session produced, and owns the timer, the dialogs and the window's frame.
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit Form1(DialogHost& dialogs, QWidget* parent = nullptr);
  ~Form1() override;

  PictureSession& Session() { return session_; }
  const PictureSession& Session() const { return session_; }

  PictureBox* Picture2 = nullptr;
  QLabel* LogMessage = nullptr;
  QTimer Timer1;
  std::unique_ptr<clsStyle> Style;

  Form2* form2() const { return form2_; }
  Form3* form3() const { return form3_; }
  Form4* form4() const { return form4_; }
  Form5* form5() const { return form5_; }
  Form6* form6() const { return form6_; }

  QAction* Action(MenuItem item) const { return menu_.Action(item); }
  QMenu* Menu(MenuName menu) const { return menu_.Menu(menu); }
  bool Checked(MenuItem item) const { return menu_.Checked(item); }
  void SetChecked(MenuItem item, bool on) { menu_.SetChecked(item, on); }

  // --- Commands ---
  void Load_Click();
  // Opens pictures given by path (program arguments, files dropped on the window) as "Load..."
  // does with a selection; files that are missing or not files are passed over. Returns whether
  // any picture was left to open.
  // Paths are kept as the file system's bytes; relative ones are taken from the current folder.
  bool OpenPictures(const std::vector<std::string>& paths);
  void ShowPicture();
  void NextFile_Click();
  void PrevFile_Click();
  void Timer1_Timer();
  void FixedSize_Click(int index);
  void Resize_Click();
  void Form_Resize();
  void Exit_Click();
  void PictureData_Click();
  void DisplayPicData_Click();
  void SelectData_Click();
  void UsePcZone_Click();
  void UseCaptureDate_Click();
  void KeepPictureData_Click();
  void SetDate_Click();
  void Lable_Click();
  void AutoDate_Click();
  void AutoLabel_Click();
  void Clear_Click();
  void SelectFont_Click();
  void AutoSave_Click();
  void SaveAs_Click();
  // Writes every picture of the list as "Auto Save" would, in the background.
  void SaveAll_Click();
  // The batch running now; none when none is.
  SaveAllView* SaveAllRunning() const { return saveAll_; }
  void AutoNext_Click();
  void Border_Click();
  void HideMenu_Click();
  void ShowHideMenu(bool sh);
  void About_Click();
  void CheckIfBalck_Click();

  // Ends the program; replaced by tests.
  std::function<void()> quitProgram;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void Form_Load();
  void LayoutControls();
  void Form_KeyUp(int keyCode);
  void Picture2_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
  bool AskToQuit();
  void ReportError(const std::exception& error);
  // The check marks that shape the road, and the label dialog as the road asks for it.
  RoadSwitches Switches() const;
  PictureSession::LabelAsker LabelAsker();
  std::optional<std::string> AskLabel();
  // Shows what the session produced: the box, the log line, and the title when it changed.
  void Present();
  void LoadSelection(const std::string& selection);

  // Every dialog and message box of the window, and of its dialogs, goes through this host;
  // "Auto" does not step on while one is open.
  CountedDialogHost dialogs_;
  PictureSession session_;
  MainMenu menu_;
  std::string shownTitle_;  // the picture title the caption last took
  Form2* form2_ = nullptr;
  Form3* form3_ = nullptr;
  Form4* form4_ = nullptr;
  Form5* form5_ = nullptr;
  Form6* form6_ = nullptr;
  SaveAllView* saveAll_ = nullptr;  // a child of the window
};

}  // namespace snapwick
