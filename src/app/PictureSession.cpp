#include "app/PictureSession.h"

#include <unistd.h>

#include <algorithm>
#include <exception>
#include <vector>

#include "app/QualitySetting.h"
#include "app/Sizing.h"
#include "app/TempFile.h"
#include "app/WindowTitle.h"
#include "base/Checked.h"
#include "base/Error.h"
#include "base/FileTimes.h"
#include "base/Settings.h"
#include "imaging/BlackCheck.h"
#include "imaging/FileAttributes.h"
#include "imaging/JpegSegments.h"
#include "imaging/PictureLoader.h"
#include "imaging/mIntelJPEGLibrary.h"
#include "labels/LabelFont.h"
#include "metadata/CaptureDate.h"
#include "metadata/KeptExif.h"
#include "metadata/PictureString.h"
#include "metadata/TextBytes.h"
#include "slideshow/SlideShow.h"

namespace snapwick {

namespace {

constexpr const char* kNoPictureData = "No Picture Data";

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kRed = 0x0000FF;

// Text for the one-line log: shown as UTF-8 where valid, else Latin-1, with line breaks and
// other control characters (a file name may hold them) as blanks.
std::string OneLine(const std::string& bytes) {
  std::string text = TextBytesToUtf8(bytes);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

}  // namespace

PictureSession::PictureSession()
    : quality_(ParseQualitySetting(
          SettingsStore::GetSetting(kQualityKey, std::to_string(kDefaultQuality)))),
      picData_(ReadPicDataSetting()),
      pictureString_(kNoPictureData),
      tempFile_(ChooseTempFile()) {}

PictureSession::PictureSession(const SessionSettings& settings, const PictureList& files)
    : files_(files),
      quality_(settings.quality),
      autoSave_(settings.autoSave),
      picData_(settings.picData),
      keepPictureData_(settings.keepPictureData),
      pictureString_(kNoPictureData),
      holdsPictures_(false) {
  QFont font = canvas_.Font();
  if (!settings.font.isEmpty()) font.fromString(settings.font);
  canvas_.SetFont(font);
  viewPixelWidth_ = settings.viewWidth;
  viewPixelHeight_ = settings.viewHeight;
  viewRatio_ = static_cast<double>(settings.viewWidth) / settings.viewHeight;
  canvas_.SetBoxSize(settings.viewWidth, settings.viewHeight);
}

PictureSession::~PictureSession() {
  // The temporary JPEGs this session wrote are its own to remove.
  for (const std::string& path : madeTempFiles_)
    ::unlink(path.c_str());
}

SessionSettings PictureSession::Settings() const {
  return SessionSettings{
      quality_,        autoSave_,       picData_, keepPictureData_, canvas_.Font().toString(),
      viewPixelWidth_, viewPixelHeight_};
}

// ---------------------------------------------------------------------------------------------
// Settings

int16_t PictureSession::GetQuality() const {
  return checked::To16(quality_);
}

void PictureSession::SaveQuality(int16_t NewQuality) {
  quality_ = NewQuality;
  SettingsStore::SaveSetting(kQualityKey, std::to_string(quality_));
}

void PictureSession::SaveFont() {
  const QFont& font = canvas_.Font();
  SettingsStore::SaveSetting(
      kFontKey,
      FontSettingText(LabelFont{font.family().toStdString(), static_cast<float>(font.pointSizeF()),
                                font.bold(), font.italic()}));
}

void PictureSession::GetFont() {
  // A stored value that cannot be read keeps the canvas's own font.
  if (!SettingsStore::HasSetting(kFontKey)) return;
  const std::optional<LabelFont> stored =
      ParseFontSetting(SettingsStore::GetSetting(kFontKey, std::string()));
  if (!stored) return;
  canvas_.SetFont(WithLabelFont(canvas_.Font(), *stored));
}

QFont PictureSession::WithLabelFont(QFont font, const LabelFont& label) {
  font.setFamily(QString::fromStdString(label.face));
  font.setBold(label.bold);
  font.setPointSizeF(label.size);
  font.setItalic(label.italic);
  return font;
}

void PictureSession::SetLabelFont(const QFont& chosen) {
  QFont font = canvas_.Font();
  font.setFamily(chosen.family());
  font.setBold(chosen.bold());
  font.setPointSizeF(chosen.pointSizeF());
  font.setItalic(chosen.italic());
  canvas_.SetFont(font);
  SaveFont();
}

// ---------------------------------------------------------------------------------------------
// The display box

void PictureSession::SetView(int32_t pixelWidth, int32_t pixelHeight) {
  viewPixelWidth_ = pixelWidth;
  viewPixelHeight_ = pixelHeight;
  viewRatio_ = static_cast<double>(pixelWidth) / pixelHeight;
  canvas_.SetBoxSize(pixelWidth, pixelHeight);
  PicturePrint(0, 0, ViewSizeCaption(pixelWidth, pixelHeight, viewRatio_), kBlue, kWhite);
}

// ---------------------------------------------------------------------------------------------
// The road

void PictureSession::LoadSelection(const std::string& selection, const RoadSwitches& switches,
                                   const LabelAsker& askLabel) {
  files_.SetFiles(selection);
  listNames_.clear();
  listFiles_.reset();
  next_.Clear();
  if (switches.autoSave && autoSave_.generateSlideShow) {
    try {
      GenerateSlideShow(autoSave_.names.base + "SlideShow.htm");
    } catch (const std::exception& error) {
      MyLog(OneLine(std::string("Slide show not written: ") + error.what()));
      return;
    }
  }
  ShowPicture(switches, askLabel);
}

bool PictureSession::ShowPicture(const RoadSwitches& switches, const LabelAsker& askLabel,
                                 Travel travel) {
  // Steps whose failure is passed over. A message on the log line stays until the next one.
  canvas_.Cls();
  currentFileName_ = files_.GetFile();
  // The date and picture data drawn follow the picture on show.
  std::string keptDate = fileDateText_, keptData = pictureString_;
  ReadFacts(switches);
  try {
    LoadAndFit(switches);
  } catch (const std::exception& error) {
    // The picture stays as it was, with its own date and data; the log line says why.
    fileDateText_ = std::move(keptDate);
    pictureString_ = std::move(keptData);
    if (!currentFileName_.empty()) {
      MyLog(OneLine("Not shown: " + currentFileName_ + ": " + error.what()));
    }
    ReadAhead(travel);
    return false;
  }
  // Read ahead while the user types a label and the picture is saved.
  ReadAhead(travel);

  if (switches.autoLabel && askLabel) {
    if (const std::optional<std::string> label = askLabel()) DrawLabel(*label);
  }
  if (switches.autoSave) AutoSavePicture();
  return true;
}

void PictureSession::ReadFacts(const RoadSwitches& switches) {
  try {
    fileDateText_ = snapwick::GetFileDate(currentFileName_, switches.usePcZone);
    if (switches.useCaptureDate) {
      if (const auto taken = GetCaptureDate(currentFileName_)) fileDateText_ = *taken;
    }
  } catch (const std::exception&) {
  }
  pictureString_ = kNoPictureData;
}

void PictureSession::LoadAndFit(const RoadSwitches& switches) {
  // The first failure ends the road; what is on screen stays, and so do the shown picture's
  // size, ratio and title: they follow the new picture once it is shown.
  pictureString_ = GetPictureString();
  if (!next_.Take(currentFileName_, spare_)) LoadPicture(currentFileName_, spare_);
  if (spare_.IsEmpty()) {
    // Past the end of the list: nothing is left to fit.
    std::swap(picture1_, spare_);
    RaiseError(kErrInvalidPicture, "no picture");
  }
  const double ratio = static_cast<double>(spare_.Width()) / spare_.Height();
  const int32_t pixelWidth = HimetricToPixels(spare_.Width());
  const int32_t pixelHeight = HimetricToPixels(spare_.Height());
  const std::string megaPixels = MegaPixelText(pixelWidth, pixelHeight);
  const bool single = files_.FileCount <= 1;
  std::string title = BuildWindowTitle(currentFileName_, megaPixels, pixelWidth, pixelHeight,
                                       single, files_.CurrentFile - 1, files_.FileCount - 1);

  std::swap(picture1_, spare_);
  try {
    FitPicture(ratio, switches);
  } catch (...) {
    std::swap(picture1_, spare_);
    throw;
  }
  pictureRatio_ = ratio;
  pixelWidth_ = pixelWidth;
  shownFileName_ = currentFileName_;
  windowTitle_ = std::move(title);
}

void PictureSession::ReadAhead(Travel travel) {
  const std::string path = travel == Travel::Back ? files_.PeekFileBefore() : files_.PeekFile();
  if (path.empty()) {
    next_.Clear();
    return;
  }
  // The spare's memory (the picture shown before) takes the picture ahead, so that reading ahead
  // holds no more memory than the spare did.
  next_.Start(path, std::move(spare_));
}

void PictureSession::AutoSavePicture() {
  const std::string saveName =
      AutoSaveName(autoSave_.names, files_.Pictures(), files_.ShownNumber());
  if (const std::string why = NotWrittenOver(saveName); !why.empty()) {
    MyLog(OneLine("Not saved: " + saveName + " " + why));
    return;
  }
  try {
    SaveShownPicture(saveName);
  } catch (const std::exception& error) {
    MyLog(OneLine("Not saved: " + saveName + ": " + error.what()));
  }
}

std::string PictureSession::NotWrittenOver(const std::string& target) {
  FileStamp stamp;
  if (!ReadFileStamp(target, stamp)) return std::string();
  if (IsSameFile(target, currentFileName_)) return "is the original";
  // The list's files are looked up once for each list.
  if (!listFiles_) listFiles_ = FileSet(files_.PicturePaths());
  return listFiles_->Holds(target) ? "is another picture of the list" : std::string();
}

SavedPicture PictureSession::SaveListPicture(int32_t number, const RoadSwitches& switches,
                                             const std::optional<std::string>& label) {
  SavedPicture saved;
  // The names of the whole list are worked out once.
  if (listNames_.empty()) listNames_ = AutoSaveNames(autoSave_.names, files_.Pictures());
  if (number < 1 || number > static_cast<int32_t>(listNames_.size())) {
    saved.reason = "no such picture";
    return saved;
  }
  saved.target = listNames_[static_cast<size_t>(number - 1)];
  files_.SeekPicture(number);
  canvas_.Cls();
  currentFileName_ = files_.GetFile();
  saved.source = currentFileName_;
  // No picture is held from one to the next, but the memory of the largest surface is: the next
  // picture is decoded into it, without asking the system for memory again.
  const auto release = [this] {
    picture1_.Clear();
    if (m_cDib.IsCreated()) spare_.Surface() = std::move(m_cDib);
    m_cDib.ClearUp();
    FittedDib.reset();
  };
  ReadFacts(switches);
  try {
    LoadAndFit(switches);
  } catch (const std::exception& error) {
    release();
    saved.result = SavedPicture::Result::Unreadable;
    saved.reason = error.what();
    return saved;
  }
  if (label) DrawLabel(*label);
  try {
    if (const std::string why = NotWrittenOver(saved.target); !why.empty()) {
      saved.reason = "it " + why;
    } else {
      SaveShownPicture(saved.target);
      saved.result = SavedPicture::Result::Written;
    }
  } catch (const SnapError& error) {
    saved.reason = error.what();
    // A folder that takes no file, or a full disk, fails every picture after this one too.
    if (error.Number() == kErrDiskFull || !FolderTakesFiles(saved.target)) {
      saved.result = SavedPicture::Result::Stopped;
    }
  } catch (const std::exception& error) {
    saved.reason = error.what();
  }
  release();
  return saved;
}

void PictureSession::FitPicture(double ratio, const RoadSwitches& switches) {
  // A session that holds no picture for later fits hands the loaded one over rather than copy it.
  if (holdsPictures_) {
    m_cDib.CreateFrom(picture1_.Surface());
  } else {
    m_cDib = std::move(picture1_.Surface());
    picture1_.Clear();
  }
  const FittedSize fitted = FitToView(ratio, viewPixelWidth_, viewPixelHeight_, viewRatio_);
  if (m_cDib.IsCreated() && (m_cDib.Width() < 2 || m_cDib.Height() < 2)) {
    WidenThinSurface(m_cDib);
  }
  FittedDib = m_cDib.Resample(fitted.pixelHeight, fitted.pixelWidth);
  if (!FittedDib) RaiseError(kErrInvalidPicture, "the picture cannot be fitted to the view");
  Picture shown;
  RoundTrip(*FittedDib, shown);
  // The box takes the fitted size only once the fitted picture is there to show.
  canvas_.SetBoxSize(fitted.pixelWidth, fitted.pixelHeight);
  canvas_.SetPicture(ImageFromSurface(shown.Surface()));
  if (switches.autoDate) SetDate(switches.pictureData);
}

void PictureSession::RoundTrip(const cDIBSection& fitted, Picture& shown) {
  if (tempFile_.empty()) {
    const std::vector<unsigned char> jpeg = EncodeJPG(fitted, quality_);
    LoadPictureBytes(jpeg.data(), jpeg.size(), shown);
    return;
  }
  WriteTempFile(fitted);
  LoadPicture(tempFile_, shown);
}

void PictureSession::WriteTempFile(const cDIBSection& fitted) {
  // A picture that is itself the temporary file (a "temp.jpg" opened from the current folder)
  // is not written over: the temporary file moves to the cache folder.
  if (IsSameFile(tempFile_, currentFileName_)) tempFile_ = CacheTempFile();
  try {
    SaveJPG(fitted, tempFile_, quality_, SaveDurability::Scratch);
  } catch (const SnapError& error) {
    // The temporary file may have become unwritable since start-up (its folder or the file made
    // read-only, or its disk full): it moves to where it can be written, if that is elsewhere.
    if (error.Number() == kErrJpegWriter) throw;
    const std::string elsewhere = ChooseTempFile();
    if (elsewhere == tempFile_) throw;
    SaveJPG(fitted, elsewhere, quality_, SaveDurability::Scratch);
    tempFile_ = elsewhere;
  }
  const std::string made = AbsolutePaths({tempFile_}).front();
  if (std::find(madeTempFiles_.begin(), madeTempFiles_.end(), made) == madeTempFiles_.end())
    madeTempFiles_.push_back(made);
}

void PictureSession::SaveShownPicture(const std::string& fileName) {
  canvas_.ImageToPicture();
  canvas_.PictureToSurface(m_cDib);
  std::vector<unsigned char> jpeg = EncodeJPG(m_cDib, quality_);
  if (keepPictureData_) jpeg = WithKeptPictureData(jpeg);
  ReplaceFile(fileName, jpeg, SaveDurability::Durable);
}

std::vector<unsigned char> PictureSession::WithKeptPictureData(
    const std::vector<unsigned char>& jpeg) {
  // The shown picture's own EXIF data, made true of the saved picture; a source whose EXIF data
  // cannot be kept is saved without it, and the log line says so.
  try {
    const std::vector<unsigned char> source =
        ReadWholeFile(shownFileName_, kMaxPictureFileBytes,
                      SnapError(kErrInvalidPicture, "the picture's file is too large"));
    const std::string payload = KeptExifPayload(
        std::string_view(reinterpret_cast<const char*>(source.data()), source.size()),
        m_cDib.Width(), m_cDib.Height());
    if (payload.empty()) return jpeg;
    const std::string kept = InsertApp1Segment(
        std::string_view(reinterpret_cast<const char*>(jpeg.data()), jpeg.size()), payload);
    return std::vector<unsigned char>(kept.begin(), kept.end());
  } catch (const std::exception& error) {
    MyLog(OneLine("Picture data not kept: " + shownFileName_ + ": " + error.what()));
    return jpeg;
  }
}

// ---------------------------------------------------------------------------------------------
// Labels

void PictureSession::PicturePrint(int x, int y, const std::string& t, uint32_t fColor,
                                  uint32_t bColor) {
  const QString text = QString::fromStdString(t);
  canvas_.ForeColor = bColor;
  canvas_.CurrentX = x + 1;
  canvas_.CurrentY = y + 1;
  canvas_.Print(text);
  canvas_.ForeColor = fColor;
  canvas_.CurrentX = x;
  canvas_.CurrentY = y;
  canvas_.Print(text);
}

void PictureSession::SetDate(bool withPictureData) {
  if (withPictureData) {
    PicturePrint(0, 0, fileDateText_ + " " + TextBytesToUtf8(pictureString_), kWhite, kBlack);
  } else {
    PicturePrint(0, 0, fileDateText_, kWhite, kBlack);
  }
}

void PictureSession::DrawLabel(const std::string& text) {
  lastLabel_ = text;
  // The label sits below the date: at twice the font size in points, halves to even.
  const int32_t y = checked::Round32(static_cast<float>(canvas_.Font().pointSizeF()) * 2.0);
  PicturePrint(0, y, text, kWhite, kRed);
}

// ---------------------------------------------------------------------------------------------
// Picture data, names, slide show, black check

std::string PictureSession::GetPictureString() {
  std::vector<PictureDataItemState> items;
  items.reserve(kPictureDataCatalogue.size());
  for (size_t i = 0; i < kPictureDataCatalogue.size(); ++i) {
    items.push_back(PictureDataItemState{picData_[i], kPictureDataCatalogue[i].caption,
                                         kPictureDataCatalogue[i].tagId});
  }
  PictureStringResult result = ComposePictureString(currentFileName_, items);
  pictureDataText_ = std::move(result.listing);
  return result.text;
}

std::string PictureSession::GetImageName(const std::string& Name, int32_t Count) const {
  // The name depends on the pictures before it too (kept names that are alike are numbered).
  static_cast<void>(Name);
  return snapwick::GetImageName(autoSave_.names, files_.Pictures(), Count);
}

void PictureSession::GenerateSlideShow(const std::string& filename) {
  snapwick::GenerateSlideShow(filename, autoSave_.names.filePath,
                              ImageNames(autoSave_.names, files_.Pictures()),
                              [this] { return autoSave_.slideTime; });
}

bool PictureSession::IsBlack() {
  // The grid is laid in 0.01 mm over the image's extent and each point read in display pixels,
  // so that the grid covers the whole picture.
  const int32_t width = canvas_.ImageWidth(), height = canvas_.ImageHeight();
  const int lastX = std::max(canvas_.Image().width() - 1, 0);
  const int lastY = std::max(canvas_.Image().height() - 1, 0);
  int32_t dark = 0, light = 0;
  for (int32_t x = 0; x <= width; x += 100) {
    const int px = std::min(HimetricToPixels(x), lastX);
    for (int32_t y = 0; y <= height; y += 100) {
      const int py = std::min(HimetricToPixels(y), lastY);
      if (Darker(canvas_.Point(px, py), kBlackMargin)) {
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
