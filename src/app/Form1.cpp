#include "app/Form1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QString>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cstring>

#include "app/QualitySetting.h"
#include "app/Sizing.h"
#include "app/TempFile.h"
#include "app/WindowTitle.h"
#include "base/Checked.h"
#include "base/Error.h"
#include "base/Settings.h"
#include "chrome/Form3.h"
#include "chrome/Form6.h"
#include "chrome/modTransparant.h"
#include "imaging/BlackCheck.h"
#include "imaging/FileAttributes.h"
#include "imaging/OutputFormat.h"
#include "imaging/PictureLoader.h"
#include "imaging/mIntelJPEGLibrary.h"
#include "labels/Form2.h"
#include "labels/Form4.h"
#include "labels/LabelFont.h"
#include "metadata/Form5.h"
#include "metadata/PictureString.h"
#include "metadata/TextBytes.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/ScreenMetrics.h"
#include "platform/clsStyle.h"
#include "slideshow/SlideShow.h"

namespace snapwick {

namespace {

constexpr const char* kProgramTitle = "Snapwick";
constexpr const char* kOpenFilter =
    "Image Files|*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.tif;*.tiff;*.webp"
    "|JPEG Files|*.jpg;*.jpeg|BMP Files|*.bmp|PNG Files|*.png|GIF Files|*.gif"
    "|TIFF Files|*.tif;*.tiff|WebP Files|*.webp|All Files|*";
constexpr const char* kQuitQuestion = "Do you want to quit";
constexpr const char* kNoPictureData = "No Picture Data";
constexpr int kTimerInterval = 2000;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlue = 0xFF0000;

// One entry of the menu tree: its depth (0 a menu of the bar, 1 an item, 2 an item of a
// submenu), name, caption, shortcut, kind, check state at start, and handler.
enum class Kind { Menu, Item, Check, Separator };

struct MenuEntry {
  int depth;
  const char* name;
  const char* caption;
  const char* shortcut;
  Kind kind;
  bool checked;
  void (Form1::*handler)();
  int index;  // for the items of the fixed-size array, else -1
};

void (Form1::*const kNone)() = nullptr;

// clang-format off
const MenuEntry kMenuTable[] = {
  {0, "File", "&File", "", Kind::Menu, false, kNone, -1},
  {1, "Load", "Load...", "Ctrl+O", Kind::Item, false, &Form1::Load_Click, -1},
  {1, "SetDate", "Date", "Ctrl+D", Kind::Item, false, &Form1::SetDate_Click, -1},
  {1, "Lable", "Label", "Ctrl+L", Kind::Item, false, &Form1::Lable_Click, -1},
  {1, "PictureData", "Picture Data", "Ctrl+I", Kind::Check, false, &Form1::PictureData_Click, -1},
  {1, "SelectData", "Configure Picture Data...", "", Kind::Item, false, &Form1::SelectData_Click, -1},
  {1, "", "", "", Kind::Separator, false, kNone, -1},
  {1, "AutoDate", "Auto Date", "", Kind::Check, true, &Form1::AutoDate_Click, -1},
  {1, "UsePcZone", "Use PC Time Zone", "", Kind::Check, true, &Form1::UsePcZone_Click, -1},
  {1, "AutoSave", "Auto Save", "", Kind::Check, false, &Form1::AutoSave_Click, -1},
  {1, "AutoLabel", "Auto Label", "", Kind::Check, false, &Form1::AutoLabel_Click, -1},
  {1, "", "", "", Kind::Separator, false, kNone, -1},
  {1, "Clear", "Clear", "Ctrl+C", Kind::Item, false, &Form1::Clear_Click, -1},
  {1, "SelectFont", "Font...", "", Kind::Item, false, &Form1::SelectFont_Click, -1},
  {1, "", "", "", Kind::Separator, false, kNone, -1},
  {1, "SaveAs", "Save as...", "Ctrl+S", Kind::Item, false, &Form1::SaveAs_Click, -1},
  {1, "Exit", "Exit", "Ctrl+Q", Kind::Item, false, &Form1::Exit_Click, -1},
  {0, "ViewPics", "&View", "", Kind::Menu, false, kNone, -1},
  {1, "NextFile", "Next", "Ctrl+N", Kind::Item, false, &Form1::NextFile_Click, -1},
  {1, "PrevFile", "Prev", "Ctrl+P", Kind::Item, false, &Form1::PrevFile_Click, -1},
  {1, "AutoNext", "Auto", "Ctrl+A", Kind::Check, false, &Form1::AutoNext_Click, -1},
  {1, "", "", "", Kind::Separator, false, kNone, -1},
  {1, "PredefineResize", "Resize", "", Kind::Menu, false, kNone, -1},
  {2, "FixedSize(0)", "160x120", "", Kind::Item, false, kNone, 0},
  {2, "FixedSize(1)", "320x240", "", Kind::Item, false, kNone, 1},
  {2, "FixedSize(2)", "640x480", "", Kind::Item, false, kNone, 2},
  {2, "FixedSize(3)", "800x600", "", Kind::Item, false, kNone, 3},
  {2, "FixedSize(4)", "1024x768", "", Kind::Item, false, kNone, 4},
  {2, "FixedSize(5)", "1280x960", "", Kind::Item, false, kNone, 5},
  {2, "FixedSize(6)", "1600x1200", "", Kind::Item, false, kNone, 6},
  {1, "Resize", "Refresh", "F5", Kind::Item, false, &Form1::Resize_Click, -1},
  {1, "", "", "", Kind::Separator, false, kNone, -1},
  {1, "DisplayPicData", "Picture Data", "", Kind::Item, false, &Form1::DisplayPicData_Click, -1},
  {0, "WindowMenu", "&Window", "", Kind::Menu, false, kNone, -1},
  {1, "Border", "Border", "", Kind::Check, true, &Form1::Border_Click, -1},
  {1, "HideMenu", "Hide Menu", "F6", Kind::Check, false, &Form1::HideMenu_Click, -1},
  {1, "", "", "", Kind::Separator, false, kNone, -1},
  {1, "CheckIfBalck", "Check Black", "", Kind::Item, false, &Form1::CheckIfBalck_Click, -1},
  {0, "HelpMenu", "&Help", "", Kind::Menu, false, kNone, -1},
  {1, "About", "About", "", Kind::Item, false, &Form1::About_Click, -1},
};
// clang-format on

constexpr int kFixedSizes = 7;

// Where the display box and the log line sit in the window, in pixels.
constexpr int kBoxLeft = 13;
constexpr int kLogHeight = 20;

QString FromBytes(const std::string& bytes) {
  return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// Text for the one-line log: shown as UTF-8 where valid, else Latin-1, with line breaks and
// other control characters (a file name may hold them) as blanks.
std::string OneLine(const std::string& bytes) {
  std::string text = TextBytesToUtf8(bytes);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

// Repeats the single column or row of a surface narrower or lower than 2 pixels, so that it can
// be resized like any other; the copy looks the same.
void WidenThinSurface(cDIBSection& surface) {
  const int32_t width = surface.Width(), height = surface.Height();
  const int32_t wideWidth = std::max(width, 2), wideHeight = std::max(height, 2);
  cDIBSection wide;
  if (!wide.Create(wideWidth, wideHeight)) RaiseError(kErrOutOfMemory);
  const size_t inStride = static_cast<size_t>(surface.BytesPerScanLine());
  const size_t outStride = static_cast<size_t>(wide.BytesPerScanLine());
  const uint8_t* in = surface.DIBSectionBitsPtr();
  uint8_t* out = wide.DIBSectionBitsPtr();
  for (int32_t y = 0; y < wideHeight; ++y) {
    const uint8_t* from = in + static_cast<size_t>(std::min(y, height - 1)) * inStride;
    uint8_t* to = out + static_cast<size_t>(y) * outStride;
    if (width >= 2) {
      std::memcpy(to, from, static_cast<size_t>(width) * 3);
    } else {
      for (int32_t x = 0; x < wideWidth; ++x, to += 3) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
      }
    }
  }
  surface = std::move(wide);
}

}  // namespace

Form1::Form1(DialogHost& dialogs, QWidget* parent) : QMainWindow(parent), dialogs_(dialogs) {
  setWindowTitle(kProgramTitle);
  auto* central = new QWidget(this);
  setCentralWidget(central);
  Picture2 = new PictureBox(central);
  Picture2->move(kBoxLeft, 0);
  LogMessage = new QLabel(central);
  LogMessage->setTextFormat(Qt::PlainText);
  quitProgram = [] { QCoreApplication::exit(0); };

  BuildMenus();
  connect(Picture2, &PictureBox::mouseDown, this, &Form1::Picture2_MouseDown);
  connect(Picture2, &PictureBox::keyUp, this, &Form1::Picture2_KeyUp);

  Timer1.setInterval(kTimerInterval);
  connect(&Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
  Timer1.start();

  setAcceptDrops(true);
  resize(900, 700);
  Form_Load();
}

Form1::~Form1() = default;

// ---------------------------------------------------------------------------------------------
// Menus

void Form1::BuildMenus() {
  QMenu* top = nullptr;
  QMenu* sub = nullptr;
  for (const MenuEntry& entry : kMenuTable) {
    QMenu* parentMenu = entry.depth == 2 ? sub : top;
    if (entry.kind == Kind::Menu) {
      QMenu* menu =
          entry.depth == 0 ? menuBar()->addMenu(entry.caption) : parentMenu->addMenu(entry.caption);
      menu->setObjectName(entry.name);
      menus_[entry.name] = menu;
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
    // The window holds every action too, so that shortcuts work while the menus are hidden.
    addAction(action);
    actions_[entry.name] = action;
    const MenuEntry* e = &entry;
    connect(action, &QAction::triggered, this, [this, action, e] {
      // A check mark is switched by its handler, not by the menu itself.
      if (action->isCheckable()) action->setChecked(!action->isChecked());
      if (e->handler) {
        (this->*(e->handler))();
      } else if (e->index >= 0) {
        FixedSize_Click(e->index);
      }
    });
  }
}

QAction* Form1::Action(const std::string& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* Form1::Menu(const std::string& name) const {
  const auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

bool Form1::Checked(const std::string& name) const {
  return Action(name)->isChecked();
}

void Form1::SetChecked(const std::string& name, bool on) {
  Action(name)->setChecked(on);
}

// ---------------------------------------------------------------------------------------------
// Start-up, settings and quitting

void Form1::Form_Load() {
  TempFile = ChooseTempFile();

  Style = std::make_unique<clsStyle>();
  Style->Client(this);

  form5_ = new Form5(this);

  Quality =
      ParseQualitySetting(SettingsStore::GetSetting(kQualityKey, std::to_string(kDefaultQuality)));

  form3_ = new Form3(this);
  SetTransparency(form3_, 50);
  form2_ = new Form2(*this);
  SetTransparency(form2_, 20);
  form4_ = new Form4(*this);
  SetTransparency(form4_, 20);
  SetTransparency(form5_, 20);
  form6_ = new Form6(this);
  SetTransparency(form6_, 50);

  // Offer only the fixed sizes that fit on the screen.
  const double tppX = ScreenMetrics::TwipsPerPixelX(), tppY = ScreenMetrics::TwipsPerPixelY();
  for (int i = 0; i < kFixedSizes; ++i) {
    QAction* item = Action("FixedSize(" + std::to_string(i) + ")");
    const auto size = ParseFixedSize(item->text().toStdString());
    if (!size) continue;
    const double neededWidth = FixedSizeWindowWidth(size->first, tppX);
    const double neededHeight = FixedSizeWindowHeight(size->second, Checked("Border"), tppY);
    if (ScreenMetrics::ScreenWidthTwips() < neededWidth ||
        ScreenMetrics::ScreenHeightTwips() < neededHeight) {
      item->setEnabled(false);
    }
  }

  GetFont();
}

int16_t Form1::GetQuality() const {
  return checked::To16(Quality);
}

void Form1::SaveQuality(int16_t NewQuality) {
  Quality = NewQuality;
  SettingsStore::SaveSetting(kQualityKey, std::to_string(Quality));
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

// ---------------------------------------------------------------------------------------------
// Label font

void Form1::SaveFont() {
  const QFont font = Picture2->font();
  SettingsStore::SaveSetting(
      kFontKey,
      FontSettingText(LabelFont{font.family().toStdString(), static_cast<float>(font.pointSizeF()),
                                font.bold(), font.italic()}));
}

void Form1::GetFont() {
  // A stored value that cannot be read keeps the box's own font.
  if (!SettingsStore::HasSetting(kFontKey)) return;
  const std::optional<LabelFont> stored =
      ParseFontSetting(SettingsStore::GetSetting(kFontKey, std::string()));
  if (!stored) return;
  QFont font = Picture2->font();
  font.setFamily(QString::fromStdString(stored->face));
  font.setBold(stored->bold);
  font.setPointSizeF(stored->size);
  font.setItalic(stored->italic);
  Picture2->setFont(font);
}

void Form1::SelectFont_Click() {
  const std::optional<QFont> chosen = dialogs_.ChooseFont(this, Picture2->font());
  if (!chosen) return;
  QFont font = Picture2->font();
  font.setFamily(chosen->family());
  font.setBold(chosen->bold());
  font.setPointSizeF(chosen->pointSizeF());
  font.setItalic(chosen->italic());
  Picture2->setFont(font);
  SaveFont();
}

// ---------------------------------------------------------------------------------------------
// The picture road

void Form1::Load_Click() {
  const std::optional<std::string> selection =
      dialogs_.OpenFiles(this, "Choose file to load", kOpenFilter);
  if (selection) LoadSelection(*selection);
}

bool Form1::OpenPictures(const QStringList& paths) {
  std::vector<std::string> files;
  for (const QString& path : paths) {
    const QFileInfo info(path);
    if (info.isFile()) files.push_back(QFile::encodeName(info.absoluteFilePath()).toStdString());
  }
  if (files.empty()) return false;
  LoadSelection(PictureList::SelectionFor(files));
  return true;
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); })) {
    event->acceptProposedAction();
  }
}

void Form1::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  if (OpenPictures(paths)) event->acceptProposedAction();
}

void Form1::LoadSelection(const std::string& selection) {
  Files.SetFiles(selection);
  if (Checked("AutoSave") && form2_->GenerateSlideShow->isChecked()) {
    try {
      GenerateSlideShow(Text1 + "SlideShow.htm");
    } catch (const std::exception& error) {
      MyLog(OneLine(std::string("Slide show not written: ") + error.what()));
      return;
    }
  }
  ShowPicture();
}

void Form1::ShowPicture() {
  // Steps whose failure is passed over. The log line speaks of the picture shown last.
  MyLog("");
  Picture2->Cls();
  CurrentFileName = Files.GetFile();
  try {
    FileDateText = snapwick::GetFileDate(CurrentFileName, Checked("UsePcZone"));
  } catch (const std::exception&) {
  }
  PictureString = kNoPictureData;

  // From here the first failure ends the road; what is on screen stays, and so do the shown
  // picture's size, ratio and title: they follow the new picture once it is shown.
  try {
    PictureString = GetPictureString();
    LoadPicture(CurrentFileName, spare_);
    if (spare_.IsEmpty()) {
      // Past the end of the list: nothing is left to fit.
      std::swap(Picture1, spare_);
      RaiseError(kErrInvalidPicture, "no picture");
    }
    const double ratio = static_cast<double>(spare_.Width()) / spare_.Height();
    const int32_t pixelWidth = HimetricToPixels(spare_.Width());
    const int32_t pixelHeight = HimetricToPixels(spare_.Height());
    std::string megaPixels = snapwick::MegaPixelText(pixelWidth, pixelHeight);
    const bool single = Files.FileCount <= 1;
    std::string title = BuildWindowTitle(CurrentFileName, megaPixels, pixelWidth, pixelHeight,
                                         single, Files.CurrentFile - 1, Files.FileCount - 1);

    std::swap(Picture1, spare_);
    try {
      FitPicture(ratio);
    } catch (...) {
      std::swap(Picture1, spare_);
      throw;
    }
    PictureRatio = ratio;
    PixelWidth = pixelWidth;
    PixelHeight = pixelHeight;
    MegaPixelText = std::move(megaPixels);
    WindowTitle = std::move(title);
    if (Checked("Border")) setWindowTitle(FromBytes(WindowTitle));

    if (Checked("AutoLabel")) {
      const bool autoNext = Checked("AutoNext");
      SetChecked("AutoNext", false);
      Lable_Click();
      SetChecked("AutoNext", autoNext);
    }

    if (!Checked("AutoSave")) return;
    SaveName = AutoSaveName(AutoSave(), CurrentFileName, Files.ShownNumber());
    try {
      SaveShownPicture(SaveName);
    } catch (const std::exception& error) {
      MyLog(OneLine("Not saved: " + SaveName + ": " + error.what()));
    }
  } catch (const std::exception& error) {
    // The picture stays as it was; the log line says why.
    if (!CurrentFileName.empty()) {
      MyLog(OneLine("Not shown: " + CurrentFileName + ": " + error.what()));
    }
  }
}

void Form1::NextFile_Click() {
  ShowPicture();
}

void Form1::PrevFile_Click() {
  if (Files.StepBack()) ShowPicture();
}

void Form1::Timer1_Timer() {
  if (!Checked("AutoNext")) return;
  if (Files.HasMore()) {
    ShowPicture();
  } else {
    SetChecked("AutoNext", false);
  }
}

void Form1::Form_KeyUp(int keyCode) {
  if (keyCode == Qt::Key_F11) HideMenu_Click();
}

void Form1::Picture2_KeyUp(int keyCode) {
  Form_KeyUp(keyCode);
}

void Form1::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) Form_KeyUp(event->key());
  QMainWindow::keyReleaseEvent(event);
}

void Form1::Picture2_MouseDown(Qt::MouseButton button, const QPoint& globalPos) {
  if (button == Qt::RightButton) Menu("ViewPics")->popup(globalPos);
}

// ---------------------------------------------------------------------------------------------
// Sizing and output

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutControls();
  Form_Resize();
}

void Form1::LayoutControls() {
  QWidget* central = centralWidget();
  LogMessage->setGeometry(kBoxLeft, std::max(0, central->height() - kLogHeight),
                          std::max(0, central->width() - kBoxLeft), kLogHeight);
  LogMessage->raise();
}

void Form1::Form_Resize() {
  const double tppX = ScreenMetrics::TwipsPerPixelX(), tppY = ScreenMetrics::TwipsPerPixelY();
  const ViewSize view = ComputeViewSize(width() * tppX, height() * tppY, Checked("Border"),
                                        Checked("HideMenu"), tppX, tppY);
  ViewWidth = view.widthTwips;
  ViewHeight = view.heightTwips;
  ViewPixelWidth = view.pixelWidth;
  ViewPixelHeight = view.pixelHeight;
  ViewRatio = view.ratio;
  Picture2->SetBoxSize(ViewPixelWidth, ViewPixelHeight);
  Picture2->Cls();
  PicturePrint(0, 0, ViewSizeCaption(ViewPixelWidth, ViewPixelHeight, ViewRatio), kBlue, kWhite);
}

void Form1::FixedSize_Click(int index) {
  try {
    QAction* item = Action("FixedSize(" + std::to_string(index) + ")");
    const auto size = ParseFixedSize(item ? item->text().toStdString() : std::string());
    if (!size) RaiseError(kErrInvalidCall, "not a size");
    const double tppX = ScreenMetrics::TwipsPerPixelX(), tppY = ScreenMetrics::TwipsPerPixelY();
    const double widthTwips = FixedSizeWindowWidth(size->first, tppX);
    const double heightTwips = FixedSizeWindowHeight(size->second, Checked("Border"), tppY);
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) showNormal();
    resize(checked::Round32(widthTwips / tppX), checked::Round32(heightTwips / tppY));
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

void Form1::Resize_Click() {
  // The fit replaces the picture, which clears what was drawn; a fit that fails leaves
  // everything on screen as it was.
  try {
    FitPicture(PictureRatio);
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

void Form1::FitPicture(const double& ratio) {
  m_cDib.CreateFrom(Picture1.Surface());
  const FittedSize fitted = FitToView(ratio, ViewPixelWidth, ViewPixelHeight, ViewRatio);
  if (m_cDib.IsCreated() && (m_cDib.Width() < 2 || m_cDib.Height() < 2)) {
    WidenThinSurface(m_cDib);
  }
  FittedDib = m_cDib.Resample(fitted.pixelHeight, fitted.pixelWidth);
  if (!FittedDib) RaiseError(kErrInvalidPicture, "the picture cannot be fitted to the view");
  WriteTempFile(*FittedDib);
  Picture shown;
  LoadPicture(TempFile, shown);
  // The box takes the fitted size only once the fitted picture is there to show.
  Picture2->SetBoxSize(fitted.pixelWidth, fitted.pixelHeight);
  Picture2->SetPicture(shown);
  if (Checked("AutoDate")) SetDate_Click();
}

void Form1::WriteTempFile(const cDIBSection& fitted) {
  try {
    SaveJPG(fitted, TempFile, Quality, SaveDurability::Scratch);
  } catch (const SnapError& error) {
    // The temporary file may have become unwritable since start-up (its folder or the file made
    // read-only, or its disk full): it moves to where it can be written, if that is elsewhere.
    if (error.Number() == kErrJpegWriter) throw;
    const std::string elsewhere = ChooseTempFile();
    if (elsewhere == TempFile) throw;
    SaveJPG(fitted, elsewhere, Quality, SaveDurability::Scratch);
    TempFile = elsewhere;
  }
}

void Form1::SaveShownPicture(const std::string& fileName) {
  Picture2->ImageToPicture();
  Picture2->PictureToSurface(m_cDib);
  SaveJPG(m_cDib, fileName, Quality);
}

// ---------------------------------------------------------------------------------------------
// Picture data

std::string Form1::GetPictureString() {
  std::vector<PictureDataItemState> items;
  items.reserve(Form5::kItems);
  for (int i = 0; i < Form5::kItems; ++i) {
    items.push_back(PictureDataItemState{
        form5_->ItemState(i), form5_->PictureDataItem[static_cast<size_t>(i)]->text().toStdString(),
        form5_->GetTagId(i)});
  }
  PictureStringResult result = ComposePictureString(CurrentFileName, items);
  PictureDataText = std::move(result.listing);
  return result.text;
}

void Form1::PictureData_Click() {
  SetChecked("PictureData", !Checked("PictureData"));
}

void Form1::DisplayPicData_Click() {
  form6_->Text1->setPlainText(FromBytes(CurrentFileName) + "\r\n" +
                              QString::fromStdString(TextBytesToUtf8(PictureDataText)));
  dialogs_.RunModal(form6_);
}

void Form1::SelectData_Click() {
  dialogs_.RunModal(form5_);
}

void Form1::UsePcZone_Click() {
  SetChecked("UsePcZone", !Checked("UsePcZone"));
}

// ---------------------------------------------------------------------------------------------
// Labels and saving

void Form1::PicturePrint(int x, int y, const std::string& t, uint32_t fColor, uint32_t bColor) {
  const QString text = QString::fromStdString(t);
  Picture2->ForeColor = bColor;
  Picture2->CurrentX = x + 1;
  Picture2->CurrentY = y + 1;
  Picture2->Print(text);
  Picture2->ForeColor = fColor;
  Picture2->CurrentX = x;
  Picture2->CurrentY = y;
  Picture2->Print(text);
}

void Form1::SetDate_Click() {
  if (Checked("PictureData")) {
    PicturePrint(0, 0, FileDateText + " " + TextBytesToUtf8(PictureString), kWhite, kBlack);
  } else {
    PicturePrint(0, 0, FileDateText, kWhite, kBlack);
  }
}

void Form1::Lable_Click() {
  form4_->Text1->selectAll();
  dialogs_.RunModal(form4_);
}

void Form1::AutoDate_Click() {
  SetChecked("AutoDate", !Checked("AutoDate"));
}

void Form1::AutoLabel_Click() {
  SetChecked("AutoLabel", !Checked("AutoLabel"));
}

void Form1::Clear_Click() {
  Picture2->Cls();
}

void Form1::AutoSave_Click() {
  if (!Checked("AutoSave")) {
    dialogs_.RunModal(form2_);
  } else {
    SetChecked("AutoSave", false);
  }
}

void Form1::SaveAs_Click() {
  const std::optional<std::string> name =
      dialogs_.SaveFile(this, "Choose file to Save", std::string(kJpegOutput.saveFilter));
  if (!name) return;
  try {
    SaveShownPicture(*name);
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

void Form1::AutoNext_Click() {
  SetChecked("AutoNext", !Checked("AutoNext"));
}

AutoSaveSettings Form1::AutoSave() const {
  return AutoSaveSettings{Text1, FilePath, FilePreFix, KeepOriginalFileName};
}

std::string Form1::GetImageName(const std::string& Name, int32_t Count) const {
  return snapwick::GetImageName(AutoSave(), Name, Count);
}

void Form1::GenerateSlideShow(const std::string& filename) {
  std::vector<std::string> names;
  if (Files.CurrentFile == 0 && Files.FileCount == 1) {
    names.push_back(GetImageName(Files.FileList[0], 1));
  } else {
    for (int32_t n = 1; n < Files.FileCount; ++n) {
      names.push_back(GetImageName(Files.FileList[static_cast<size_t>(n)], n));
    }
  }
  snapwick::GenerateSlideShow(filename, FilePath, names,
                              [this] { return form2_->SlideTime->text().toStdString(); });
}

// ---------------------------------------------------------------------------------------------
// Window chrome

void Form1::Border_Click() {
  SetChecked("Border", !Checked("Border"));
  if (Checked("Border")) {
    Style->Titlebar(true);
    Style->AutoSysMenu(true);
    Style->MaxButton(true);
    Style->MinButton(true);
    Style->ControlBox(true);
    Style->Sizable(true);
    setWindowTitle(WindowTitle.empty() ? QString(kProgramTitle) : FromBytes(WindowTitle));
  } else {
    Style->Titlebar(false);
  }
  Form_Resize();
}

void Form1::HideMenu_Click() {
  SetChecked("HideMenu", !Checked("HideMenu"));
  ShowHideMenu(!Checked("HideMenu"));
  if (Checked("HideMenu") && Checked("Border")) Border_Click();
}

void Form1::ShowHideMenu(bool sh) {
  for (const char* name : {"File", "ViewPics", "HelpMenu", "WindowMenu"}) {
    Menu(name)->menuAction()->setVisible(sh);
  }
  // With every menu hidden the bar itself goes, so that the picture can take its place.
  menuBar()->setVisible(sh);
}

void Form1::MyLog(const std::string& Msg) {
  LogMessage->setText(QString::fromStdString(Msg));
}

void Form1::About_Click() {
  form3_->Label1[0]->setText(QString("Snapwick v%1.%2.%3")
                                 .arg(SNAPWICK_VERSION_MAJOR)
                                 .arg(SNAPWICK_VERSION_MINOR)
                                 .arg(SNAPWICK_VERSION_PATCH));
  form3_->Label2[0]->setText(QString("Canvas Size %1x%2").arg(ViewPixelWidth).arg(ViewPixelHeight));
  form3_->Label1[1]->setText(form3_->Label1[0]->text());
  form3_->Label2[1]->setText(form3_->Label2[0]->text());
  const int dx = checked::Round32(50 / ScreenMetrics::TwipsPerPixelX());
  const int dy = checked::Round32(50 / ScreenMetrics::TwipsPerPixelY());
  form3_->Label1[1]->move(form3_->Label1[0]->pos() + QPoint(dx, dy));
  form3_->Label2[1]->move(form3_->Label2[0]->pos() + QPoint(dx, dy));
  form3_->TransparencyLevel = 100;
  SetTransparency(form3_, 100);
  dialogs_.RunModal(form3_);
}

void Form1::CheckIfBalck_Click() {
  IsBlack();
}

bool Form1::IsBlack() {
  // The grid is laid in 0.01 mm over the image's extent and each point read in display pixels,
  // so that the grid covers the whole picture.
  const int32_t width = Picture2->ImageWidth(), height = Picture2->ImageHeight();
  const int lastX = std::max(Picture2->Image().width() - 1, 0);
  const int lastY = std::max(Picture2->Image().height() - 1, 0);
  int32_t dark = 0, light = 0;
  for (int32_t x = 0; x <= width; x += 100) {
    const int px = std::min(HimetricToPixels(x), lastX);
    for (int32_t y = 0; y <= height; y += 100) {
      const int py = std::min(HimetricToPixels(y), lastY);
      if (Darker(Picture2->Point(px, py), kBlackMargin)) {
        dark = checked::Add(dark, 1);
      } else {
        light = checked::Add(light, 1);
      }
    }
  }
  const double ratio = static_cast<double>(dark) / (dark + light);
  const bool black = IsBlackRatio(ratio);
  MyLog(BlackVerdictText(black, ratio));
  return black;
}

}  // namespace snapwick
