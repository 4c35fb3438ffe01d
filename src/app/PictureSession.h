#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/NextPicture.h"
#include "app/PictureList.h"
#include "base/FileSet.h"
#include "imaging/Canvas.h"
#include "imaging/Picture.h"
#include "imaging/cDIBSection.h"
#include "labels/LabelFont.h"
#include "labels/SaveNaming.h"
#include "metadata/PictureDataItems.h"

namespace snapwick {

// The menu switches that shape the road of a picture.
struct RoadSwitches {
  bool usePcZone = true;        // the date in the computer's time zone, else UTC
  bool autoDate = true;         // draw the date on every fitted picture
  bool pictureData = false;     // the date is followed by the picture string
  bool autoLabel = false;       // ask for a label for every fitted picture
  bool autoSave = false;        // save every shown picture under its auto-save name
  bool useCaptureDate = false;  // the date is when the picture was taken, where it tells
};

// The way through the list: "Next" and "Auto" go forward, "Prev" back.
enum class Travel { Forward, Back };

// What a session runs with, so that another session (a worker of a batch) can run the same road:
// the quality, the auto-save choice, the picture-data items, whether saved files keep the picture
// data, the label font (as QFont::toString gives it) and the display box in pixels.
struct SessionSettings {
  int32_t quality = 90;
  AutoSaveChoice autoSave;
  PicDataFlags picData{};
  bool keepPictureData = false;
  QString font;
  int32_t viewWidth = 640;
  int32_t viewHeight = 480;
};

// What became of one picture of a list saved without being shown.
struct SavedPicture {
  enum class Result {
    Written,     // the target holds the new JPEG
    Unreadable,  // the picture could not be read: nothing was written
    Failed,      // the picture was read but its target not written (the others may be)
    Stopped,     // the target's folder takes no file (full, read-only, gone): none will be
  };
  Result result = Result::Failed;
  std::string source;  // the picture's path
  std::string target;  // the auto-save name
  std::string reason;  // why it was not written
};

// One run of the program without its window: the list of pictures and where it stands, the
// settings (quality, auto-save names, slide show, picture-data items, label font), the shown
// picture's facts, and the whole road of a picture (load, fit, the temporary JPEG, labels, save,
// auto-save names, slide show). It has no timer and no dialogs: the view asks the user and hands
// the answers in; what the session produced (the canvas, the title, the log line) the view shows.
class PictureSession {
 public:
  // Asks the user for a label; none when the user cancels.
  using LabelAsker = std::function<std::optional<std::string>()>;

  // Reads the stored quality and picture-data items and picks the temporary file.
  PictureSession();
  // A session that runs another's road on the list given, for a worker of a batch: it reads no
  // setting, keeps the fitted picture's JPEG in memory rather than in a temporary file, reads
  // nothing ahead and holds no picture from one to the next.
  PictureSession(const SessionSettings& settings, const PictureList& files);
  ~PictureSession();

  // --- Settings ---
  int32_t Quality() const { return quality_; }
  int16_t GetQuality() const;
  void SaveQuality(int16_t NewQuality);
  const AutoSaveChoice& AutoSave() const { return autoSave_; }
  void SetAutoSave(const AutoSaveChoice& choice) {
    autoSave_ = choice;
    listNames_.clear();
  }
  const PicDataFlags& PictureDataItems() const { return picData_; }
  void SetPictureDataItems(const PicDataFlags& states) { picData_ = states; }
  // Whether saved JPEGs carry the shown picture's EXIF data, rewritten for the saved picture.
  void SetKeepPictureData(bool keep) { keepPictureData_ = keep; }
  // Whether the auto-save names were chosen.
  bool HasAutoSaveNames() const { return !autoSave_.names.filePath.empty(); }
  // This session's settings, for a batch to run with.
  SessionSettings Settings() const;
  // The label font: restored from its stored text (kept as it is when there is none or it cannot
  // be read), and stored.
  void GetFont();
  void SaveFont();
  void SetLabelFont(const QFont& font);
  // The font with the four chosen properties of a label font set on it.
  static QFont WithLabelFont(QFont font, const LabelFont& label);

  // --- The list ---
  PictureList& Files() { return files_; }
  const PictureList& Files() const { return files_; }

  // --- The display box ---
  // The box's size in pixels: the canvas takes it, and shows "640x480 ratio: 133.33%".
  void SetView(int32_t pixelWidth, int32_t pixelHeight);
  int32_t ViewPixelWidth() const { return viewPixelWidth_; }
  int32_t ViewPixelHeight() const { return viewPixelHeight_; }
  double ViewRatio() const { return viewRatio_; }
  Canvas& Picture2() { return canvas_; }
  const Canvas& Picture2() const { return canvas_; }

  // --- The road ---
  // Makes the selection the list; with "Auto Save" and "Generate Slide Show" writes the slide
  // show first (a failure ends here, with a note on the log line); then shows the first picture.
  void LoadSelection(const std::string& selection, const RoadSwitches& switches,
                     const LabelAsker& askLabel);
  // Shows the next picture of the list. Failures leave the previous picture on screen and are
  // told on the log line; returns whether a new picture is shown. Either way the picture that
  // travelling on the same way would show next is then decoded ahead (see NextPicture).
  bool ShowPicture(const RoadSwitches& switches, const LabelAsker& askLabel,
                   Travel travel = Travel::Forward);
  // Fits the loaded picture into the box again; raises what fails and keeps the screen then.
  void FitPicture(double ratio, const RoadSwitches& switches);
  // Writes the shown picture, drawn text included, as a JPEG at the quality.
  void SaveShownPicture(const std::string& fileName);
  // Writes picture `number` (from 1) of the list exactly as "Auto Save" writes it when it is
  // shown with these switches, without showing it; `label` is drawn as "Auto Label" would draw
  // the label typed. Never raises: the result says what became of it.
  SavedPicture SaveListPicture(int32_t number, const RoadSwitches& switches,
                               const std::optional<std::string>& label);

  // --- Labels ---
  // Draws a text with a one-pixel shadow (right and below) on the shown picture.
  void PicturePrint(int x, int y, const std::string& t, uint32_t fColor, uint32_t bColor);
  // The date, followed by the picture string when asked, at the top-left corner.
  void SetDate(bool withPictureData);
  // A typed label below the date, at twice the font's size in points.
  void DrawLabel(const std::string& text);
  // The label last drawn; none before the first.
  const std::optional<std::string>& LastLabel() const { return lastLabel_; }
  void Clear() { canvas_.Cls(); }

  // --- Picture data, names, slide show, black check ---
  std::string GetPictureString();
  std::string GetImageName(const std::string& Name, int32_t Count) const;
  void GenerateSlideShow(const std::string& filename);
  // Samples the shown image on a grid and says on the log line whether it is black.
  bool IsBlack();

  // --- Facts of the shown picture ---
  const std::string& CurrentFileName() const { return currentFileName_; }
  const std::string& FileDateText() const { return fileDateText_; }
  const std::string& PictureString() const { return pictureString_; }
  const std::string& PictureDataText() const { return pictureDataText_; }
  const std::string& WindowTitle() const { return windowTitle_; }
  double PictureRatio() const { return pictureRatio_; }
  int32_t PixelWidth() const { return pixelWidth_; }
  const std::string& TempFile() const { return tempFile_; }
  // The picture decoded ahead.
  const NextPicture& Ahead() const { return next_; }
  // The one-line message of the last command that left one.
  const std::string& Log() const { return log_; }
  void MyLog(const std::string& Msg) { log_ = Msg; }

 private:
  // The facts of the picture about to be shown (file date, picture string); failures leave the
  // defaults.
  void ReadFacts(const RoadSwitches& switches);
  // Loads the current file and fits it, making it the shown picture; raises what fails and
  // keeps what was shown then.
  void LoadAndFit(const RoadSwitches& switches);
  // The fitted picture as it comes back from its JPEG at the quality: through the temporary
  // file, or in memory for a session without one.
  void RoundTrip(const cDIBSection& fitted, Picture& shown);
  // Writes the fitted picture to the temporary file, moving it once when it cannot be written.
  void WriteTempFile(const cDIBSection& fitted);
  void AutoSavePicture();
  // Why a picture may not be saved under a name, or "" when it may: an automatic save never takes
  // the place of the picture it comes from or of another picture of the list.
  std::string NotWrittenOver(const std::string& target);
  // Starts decoding the picture that the next step the same way would show.
  void ReadAhead(Travel travel);
  // The encoded picture with the shown picture's EXIF data kept in it, where it can be.
  std::vector<unsigned char> WithKeptPictureData(const std::vector<unsigned char>& jpeg);

  PictureList files_;
  int32_t quality_ = 90;
  AutoSaveChoice autoSave_;
  PicDataFlags picData_{};
  bool keepPictureData_ = false;
  int32_t viewPixelWidth_ = 0;
  int32_t viewPixelHeight_ = 0;
  double viewRatio_ = 0;

  std::string currentFileName_;
  std::string shownFileName_;  // the file of the picture on show
  std::string fileDateText_;
  std::string pictureString_;
  std::string pictureDataText_;
  std::string windowTitle_;
  double pictureRatio_ = 0;
  int32_t pixelWidth_ = 0;
  std::string tempFile_;                    // empty: the fitted picture's JPEG stays in memory
  std::vector<std::string> madeTempFiles_;  // the temporary JPEGs written, by full path
  std::string log_;
  std::optional<std::string> lastLabel_;
  bool holdsPictures_ = true;           // false: nothing held ahead or between pictures
  std::vector<std::string> listNames_;  // the auto-save names of the list, once asked for
  std::optional<FileSet> listFiles_;    // the files of the list's pictures, once asked for

  Picture picture1_;  // the loaded picture at full size
  Picture spare_;     // receives the next picture, so that a failed load keeps the current one
  cDIBSection m_cDib;
  std::unique_ptr<cDIBSection> FittedDib;
  Canvas canvas_;     // the display box's image
  NextPicture next_;  // the next picture in the way of travel; its memory is the spare's
};

}  // namespace snapwick
