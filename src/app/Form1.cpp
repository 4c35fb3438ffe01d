#include "app/Form1.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "app/SaveAllView.h"
#include "app/Sizing.h"
#include "base/Checked.h"
#include "base/Error.h"
#include "chrome/Form3.h"
#include "chrome/Form6.h"
#include "chrome/modTransparant.h"
#include "imaging/OutputFormat.h"
#include "labels/Form2.h"
#include "labels/Form4.h"
#include "metadata/Form5.h"
#include "metadata/TextBytes.h"
#include "platform/Dialogs.h"
#include "platform/FileDrop.h"
#include "platform/PictureBox.h"
#include "platform/ScreenMetrics.h"
#include "platform/clsStyle.h"

namespace snapwick {

namespace {

constexpr const char* kProgramTitle = "Snapwick";
constexpr const char* kOpenFilter =
    "Image Files|*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.tif;*.tiff;*.webp"
    "|JPEG Files|*.jpg;*.jpeg|BMP Files|*.bmp|PNG Files|*.png|GIF Files|*.gif"
    "|TIFF Files|*.tif;*.tiff|WebP Files|*.webp|All Files|*";
constexpr const char* kQuitQuestion = "Do you want to quit";
constexpr int kTimerInterval = 2000;

// Where the display box and the log line sit in the window, in pixels.
constexpr int kBoxLeft = 13;
constexpr int kLogHeight = 20;

// A file name's bytes as text: UTF-8 where valid, else Latin-1.
QString FromBytes(const std::string& bytes) {
  return QString::fromStdString(TextBytesToUtf8(bytes));
}

}  // namespace

Form1::Form1(DialogHost& dialogs, QWidget* parent) : QMainWindow(parent), dialogs_(dialogs) {
  setWindowTitle(kProgramTitle);
  auto* central = new QWidget(this);
  setCentralWidget(central);
  Picture2 = new PictureBox(session_.Picture2(), central);
  Picture2->move(kBoxLeft, 0);
  LogMessage = new QLabel(central);
  LogMessage->setTextFormat(Qt::PlainText);
  quitProgram = [] { QCoreApplication::exit(0); };

  menu_.Build(*this);
  Action(MenuItem::SaveAll)->setEnabled(false);
  connect(Picture2, &PictureBox::mouseDown, this, &Form1::Picture2_MouseDown);
  connect(Picture2, &PictureBox::keyUp, this, &Form1::Form_KeyUp);

  Timer1.setInterval(kTimerInterval);
  connect(&Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
  Timer1.start();

  new FileDrop(this, [this](const std::vector<std::string>& paths) { return OpenPictures(paths); });
  resize(900, 700);
  Form_Load();
}

Form1::~Form1() = default;

RoadSwitches Form1::Switches() const {
  return RoadSwitches{Checked(MenuItem::UsePcZone),   Checked(MenuItem::AutoDate),
                      Checked(MenuItem::PictureData), Checked(MenuItem::AutoLabel),
                      Checked(MenuItem::AutoSave),    Checked(MenuItem::UseCaptureDate)};
}

void Form1::Present() {
  Action(MenuItem::SaveAll)->setEnabled(session_.Files().PictureCount() > 0 && !saveAll_);
  Picture2->Present();
  LogMessage->setText(QString::fromStdString(session_.Log()));
  const std::string& title = session_.WindowTitle();
  if (Checked(MenuItem::Border) && title != shownTitle_) {
    setWindowTitle(FromBytes(title));
    shownTitle_ = title;
  }
}

// ---------------------------------------------------------------------------------------------
// Start-up, settings and quitting

void Form1::Form_Load() {
  Style = std::make_unique<clsStyle>();
  Style->Client(this);

  form5_ = new Form5(this);
  form3_ = new Form3(this);
  SetTransparency(form3_, 50);
  int quality = 90;
  try {
    quality = session_.GetQuality();
  } catch (const std::exception&) {
  }
  form2_ = new Form2(this, dialogs_, quality);
  SetTransparency(form2_, 20);
  form4_ = new Form4(this);
  SetTransparency(form4_, 20);
  SetTransparency(form5_, 20);
  form6_ = new Form6(this);
  SetTransparency(form6_, 50);

  menu_.DisableFixedSizesBeyondScreen(Checked(MenuItem::Border));

  session_.GetFont();
}

bool Form1::AskToQuit() {
  return dialogs_.AskYesNo(this, kProgramTitle, kQuitQuestion);
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!AskToQuit()) {
    event->ignore();
    return;
  }
  event->accept();
  quitProgram();
}

void Form1::Exit_Click() {
  if (AskToQuit()) quitProgram();
}

void Form1::ReportError(const std::exception& error) {
  dialogs_.ShowMessage(this, kProgramTitle, error.what());
}

void Form1::SelectFont_Click() {
  const std::optional<QFont> chosen = dialogs_.ChooseFont(this, session_.Picture2().Font());
  if (chosen) session_.SetLabelFont(*chosen);
}

// ---------------------------------------------------------------------------------------------
// The picture road

void Form1::Load_Click() {
  const std::optional<std::string> selection =
      dialogs_.OpenFiles(this, "Choose file to load", kOpenFilter);
  if (selection) LoadSelection(*selection);
}

bool Form1::OpenPictures(const std::vector<std::string>& paths) {
  const std::vector<std::string> files = ExistingFiles(paths);
  if (files.empty()) return false;
  LoadSelection(PictureList::SelectionFor(files));
  return true;
}

void Form1::LoadSelection(const std::string& selection) {
  session_.LoadSelection(selection, Switches(), LabelAsker());
  Present();
}

PictureSession::LabelAsker Form1::LabelAsker() {
  return [this] { return AskLabel(); };
}

std::optional<std::string> Form1::AskLabel() {
  // The picture is on screen with its title while the dialog is open; no tick starts another
  // picture meanwhile (see Timer1_Timer).
  Present();
  if (dialogs_.RunModal(form4_) != QDialog::Accepted) return std::nullopt;
  return form4_->Text();
}

void Form1::ShowPicture() {
  session_.ShowPicture(Switches(), LabelAsker());
  Present();
}

void Form1::NextFile_Click() {
  ShowPicture();
}

void Form1::PrevFile_Click() {
  if (!session_.Files().StepBack()) return;
  session_.ShowPicture(Switches(), LabelAsker(), Travel::Back);
  Present();
}

void Form1::Timer1_Timer() {
  // Behind a dialog or message box the picture stays, so that what the dialog acts on ("Save
  // as...", "Label") is the picture shown when it was opened; the next tick after it goes on.
  if (!Checked(MenuItem::AutoNext) || dialogs_.AnyOpen()) return;
  if (session_.Files().HasMore()) {
    ShowPicture();
  } else {
    SetChecked(MenuItem::AutoNext, false);
  }
}

void Form1::Form_KeyUp(int keyCode) {
  if (keyCode == Qt::Key_F11) HideMenu_Click();
}

void Form1::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) Form_KeyUp(event->key());
  QMainWindow::keyReleaseEvent(event);
}

void Form1::Picture2_MouseDown(Qt::MouseButton button, const QPoint& globalPos) {
  if (button == Qt::RightButton) Menu(MenuName::ViewPics)->popup(globalPos);
}

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Form_Resize();
}

void Form1::LayoutControls() {
  // The log line lies below the display box, where it never covers the picture.
  LogMessage->setGeometry(kBoxLeft, session_.ViewPixelHeight(), std::max(0, width() - kBoxLeft),
                          kLogHeight);
}

void Form1::Form_Resize() {
  const double tppX = ScreenMetrics::TwipsPerPixelX(), tppY = ScreenMetrics::TwipsPerPixelY();
  const ViewSize view = ComputeViewSize(width() * tppX, height() * tppY, Checked(MenuItem::Border),
                                        Checked(MenuItem::HideMenu), tppX, tppY);
  session_.SetView(view.pixelWidth, view.pixelHeight);
  Picture2->Present();
  LayoutControls();
}

void Form1::FixedSize_Click(int index) {
  try {
    const auto size = ParseFixedSize(Action(FixedSizeItem(index))->text().toStdString());
    if (!size) RaiseError(kErrInvalidCall, "not a size");
    const double tppX = ScreenMetrics::TwipsPerPixelX(), tppY = ScreenMetrics::TwipsPerPixelY();
    const double widthTwips = FixedSizeWindowWidth(size->first, tppX);
    const double heightTwips = FixedSizeWindowHeight(size->second, Checked(MenuItem::Border), tppY);
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) showNormal();
    resize(checked::Round32(widthTwips / tppX), checked::Round32(heightTwips / tppY));
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

void Form1::Resize_Click() {
  // The fit replaces the picture, which clears what was drawn; a fit that fails leaves
  // everything on screen as it was. With nothing shown yet there is nothing to fit.
  if (session_.WindowTitle().empty()) return;
  try {
    session_.FitPicture(session_.PictureRatio(), Switches());
  } catch (const std::exception& error) {
    ReportError(error);
  }
  Present();
}

// ---------------------------------------------------------------------------------------------
// Picture data, labels and saving

void Form1::PictureData_Click() {
  SetChecked(MenuItem::PictureData, !Checked(MenuItem::PictureData));
}

void Form1::DisplayPicData_Click() {
  form6_->SetText(FromBytes(session_.CurrentFileName()) + "\r\n" +
                  QString::fromStdString(TextBytesToUtf8(session_.PictureDataText())));
  dialogs_.RunModal(form6_);
}

void Form1::SelectData_Click() {
  dialogs_.RunModal(form5_);
  session_.SetPictureDataItems(form5_->Flags());
}

void Form1::UsePcZone_Click() {
  SetChecked(MenuItem::UsePcZone, !Checked(MenuItem::UsePcZone));
}

void Form1::UseCaptureDate_Click() {
  SetChecked(MenuItem::UseCaptureDate, !Checked(MenuItem::UseCaptureDate));
}

void Form1::KeepPictureData_Click() {
  SetChecked(MenuItem::KeepPictureData, !Checked(MenuItem::KeepPictureData));
  session_.SetKeepPictureData(Checked(MenuItem::KeepPictureData));
}

void Form1::SetDate_Click() {
  session_.SetDate(Checked(MenuItem::PictureData));
  Present();
}

void Form1::Lable_Click() {
  if (dialogs_.RunModal(form4_) == QDialog::Accepted) session_.DrawLabel(form4_->Text());
  Present();
}

void Form1::AutoDate_Click() {
  SetChecked(MenuItem::AutoDate, !Checked(MenuItem::AutoDate));
}

void Form1::AutoLabel_Click() {
  SetChecked(MenuItem::AutoLabel, !Checked(MenuItem::AutoLabel));
}

void Form1::Clear_Click() {
  session_.Clear();
  Present();
}

void Form1::AutoSave_Click() {
  if (Checked(MenuItem::AutoSave)) {
    SetChecked(MenuItem::AutoSave, false);
    return;
  }
  const bool accepted = dialogs_.RunModal(form2_) == QDialog::Accepted;
  if (accepted) {
    session_.SetAutoSave(form2_->Choice());
    session_.SaveQuality(form2_->Choice().quality);
  }
  SetChecked(MenuItem::AutoSave, accepted);
}

void Form1::SaveAs_Click() {
  const std::optional<std::string> name =
      dialogs_.SaveFile(this, "Choose file to Save", std::string(kJpegOutput.saveFilter));
  if (!name) return;
  try {
    session_.SaveShownPicture(*name);
  } catch (const std::exception& error) {
    ReportError(error);
  }
  Present();
}

void Form1::SaveAll_Click() {
  if (saveAll_ || session_.Files().PictureCount() == 0) return;
  if (!session_.HasAutoSaveNames()) {
    if (dialogs_.RunModal(form2_) != QDialog::Accepted) return;
    session_.SetAutoSave(form2_->Choice());
    session_.SaveQuality(form2_->Choice().quality);
  }
  const RoadSwitches switches = Switches();
  SaveAllJob job{session_.Settings(), session_.Files(), switches,
                 switches.autoLabel ? session_.LastLabel() : std::nullopt, AllCores()};
  saveAll_ = new SaveAllView(this, std::move(job), [this](const SaveAllSummary& summary) {
    saveAll_->deleteLater();
    saveAll_ = nullptr;
    session_.MyLog(summary.Text());
    Present();
  });
  Present();
}

void Form1::AutoNext_Click() {
  SetChecked(MenuItem::AutoNext, !Checked(MenuItem::AutoNext));
}

void Form1::Border_Click() {
  SetChecked(MenuItem::Border, !Checked(MenuItem::Border));
  // The window menu comes on a right click; without a title bar it moves and sizes the window.
  Style->AutoSysMenu(true);
  if (Checked(MenuItem::Border)) {
    Style->Titlebar(true);
    Style->MaxButton(true);
    Style->MinButton(true);
    Style->ControlBox(true);
    Style->Sizable(true);
    const std::string& title = session_.WindowTitle();
    setWindowTitle(title.empty() ? QString(kProgramTitle) : FromBytes(title));
    shownTitle_ = title;
  } else {
    Style->Titlebar(false);
  }
  Form_Resize();
}

void Form1::HideMenu_Click() {
  SetChecked(MenuItem::HideMenu, !Checked(MenuItem::HideMenu));
  ShowHideMenu(!Checked(MenuItem::HideMenu));
  if (Checked(MenuItem::HideMenu) && Checked(MenuItem::Border)) Border_Click();
}

void Form1::ShowHideMenu(bool sh) {
  for (MenuName name :
       {MenuName::File, MenuName::ViewPics, MenuName::HelpMenu, MenuName::WindowMenu}) {
    Menu(name)->menuAction()->setVisible(sh);
  }
  // With every menu hidden the bar itself goes, so that the picture can take its place.
  menuBar()->setVisible(sh);
}

void Form1::About_Click() {
  form3_->SetTexts(
      QString("Snapwick v%1.%2.%3")
          .arg(SNAPWICK_VERSION_MAJOR)
          .arg(SNAPWICK_VERSION_MINOR)
          .arg(SNAPWICK_VERSION_PATCH),
      QString("Canvas Size %1x%2").arg(session_.ViewPixelWidth()).arg(session_.ViewPixelHeight()));
  dialogs_.RunModal(form3_);
}

void Form1::CheckIfBalck_Click() {
  session_.IsBlack();
  Present();
}

}  // namespace snapwick
