#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/PictureList.h"
#include "imaging/Picture.h"
#include "imaging/cDIBSection.h"
#include "labels/SaveNaming.h"

class QAction;
class QLabel;
class QMenu;

namespace snapwick {

class DialogHost;
class PictureBox;
class clsStyle;
class Form2;
class Form3;
class Form4;
class Form5;
class Form6;

// The main window: owns the state of the run, the menus, the display box and the other windows.
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit Form1(DialogHost& dialogs, QWidget* parent = nullptr);
  ~Form1() override;

  // --- State of the run ---
  bool KeepOriginalFileName = false;
  PictureList Files;  // FileList, FileCount, CurrentFile
  std::string CurrentFileName;
  std::string FilePreFix;
  std::string FilePath;  // auto-save folder with a trailing "/"
  int32_t Quality = 90;
  double ViewWidth = 0;   // twips
  double ViewHeight = 0;  // twips
  std::string FileDateText;
  std::string PictureString = "No Picture Data";
  double PictureRatio = 0;
  int32_t PixelWidth = 0;
  int32_t PixelHeight = 0;
  std::string WindowTitle;
  int32_t ViewPixelWidth = 0;
  int32_t ViewPixelHeight = 0;
  double ViewRatio = 0;
  std::string PictureDataText;
  std::string SaveName;
  std::string MegaPixelText;
  std::string TempFile;
  std::string Text1;  // auto-save base: folder "/" prefix, or folder "/" when names are kept

  cDIBSection m_cDib;
  std::unique_ptr<cDIBSection> FittedDib;
  Picture Picture1;  // the loaded picture at full size
  PictureBox* Picture2 = nullptr;
  QLabel* LogMessage = nullptr;
  QTimer Timer1;
  std::unique_ptr<clsStyle> Style;

  DialogHost& Dialogs() const { return dialogs_; }
  Form2* form2() const { return form2_; }
  Form3* form3() const { return form3_; }
  Form4* form4() const { return form4_; }
  Form5* form5() const { return form5_; }
  Form6* form6() const { return form6_; }

  // --- Menu ---
  // The action of a menu item by its name ("Load", "FixedSize(2)", "AutoNext").
  QAction* Action(const std::string& name) const;
  // A top-level menu by its name ("File", "ViewPics", "WindowMenu", "HelpMenu").
  QMenu* Menu(const std::string& name) const;
  bool Checked(const std::string& name) const;
  void SetChecked(const std::string& name, bool on);

  // --- Settings ---
  int16_t GetQuality() const;
  void SaveQuality(int16_t NewQuality);
  void SaveFont();
  void GetFont();

  // --- Picture road ---
  void Load_Click();
  // Opens pictures given by path (program arguments, files dropped on the window) as "Load..."
  // does with a selection; files that are missing or not files are passed over. Returns whether
  // any picture was left to open.
  bool OpenPictures(const QStringList& paths);
  void ShowPicture();
  void NextFile_Click();
  void PrevFile_Click();
  void Timer1_Timer();
  void FitPicture(const double& ratio);
  void SaveShownPicture(const std::string& fileName);
  void FixedSize_Click(int index);
  void Resize_Click();
  void Form_Resize();
  void Exit_Click();

  // --- Picture data ---
  std::string GetPictureString();
  void PictureData_Click();
  void DisplayPicData_Click();
  void SelectData_Click();
  void UsePcZone_Click();

  // --- Labels and saving ---
  void PicturePrint(int x, int y, const std::string& t, uint32_t fColor, uint32_t bColor);
  void SetDate_Click();
  void Lable_Click();
  void AutoDate_Click();
  void AutoLabel_Click();
  void Clear_Click();
  void SelectFont_Click();
  void AutoSave_Click();
  void SaveAs_Click();
  void AutoNext_Click();
  std::string GetImageName(const std::string& Name, int32_t Count) const;
  void GenerateSlideShow(const std::string& filename);
  AutoSaveSettings AutoSave() const;

  // --- Window chrome ---
  void Border_Click();
  void HideMenu_Click();
  void ShowHideMenu(bool sh);
  void MyLog(const std::string& Msg);
  void About_Click();
  void CheckIfBalck_Click();
  bool IsBlack();

  // Ends the program; replaced by tests.
  std::function<void()> quitProgram;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Form_Load();
  void LoadSelection(const std::string& selection);
  void BuildMenus();
  void LayoutControls();
  void Form_KeyUp(int keyCode);
  void Picture2_KeyUp(int keyCode);
  void Picture2_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
  bool AskToQuit();
  void ReportError(const std::exception& error);
  // Writes the fitted picture to TempFile, moving TempFile once when it cannot be written.
  void WriteTempFile(const cDIBSection& fitted);

  DialogHost& dialogs_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QMenu*> menus_;
  Picture spare_;  // receives the next picture, so that a failed load keeps the current one
  Form2* form2_ = nullptr;
  Form3* form3_ = nullptr;
  Form4* form4_ = nullptr;
  Form5* form5_ = nullptr;
  Form6* form6_ = nullptr;
};

}  // namespace snapwick
