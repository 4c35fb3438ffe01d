#include "labels/Form2.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "platform/Dialogs.h"
#include "slideshow/SlideSeconds.h"

namespace snapwick {

Form2::Form2(QWidget* parent, DialogHost& dialogs, int quality)
    : QDialog(parent), dialogs_(dialogs) {
  setWindowTitle("Auto Save File Name Setting");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(440, 300);

  Label1 = new QLabel("Folder", this);
  Label1->setGeometry(12, 14, 110, 22);
  Text1 = new QLineEdit(this);
  Text1->setGeometry(126, 12, 222, 26);
  Browse = new QPushButton("...", this);
  Browse->setGeometry(354, 12, 74, 26);
  Browse->setToolTip(tr("Choose the folder"));
  Label2 = new QLabel("File Name", this);
  Label2->setGeometry(12, 50, 110, 22);
  Text2 = new QLineEdit(this);
  Text2->setGeometry(126, 48, 302, 26);
  KeepFileName = new QCheckBox("Keep Original File Name", this);
  KeepFileName->setGeometry(126, 82, 302, 22);

  Label5 = new QLabel("Quality", this);
  Label5->setGeometry(12, 118, 110, 22);
  Label7 = new QLabel("Min", this);
  Label7->setGeometry(126, 118, 30, 22);
  QScroll = new QScrollBar(Qt::Horizontal, this);
  QScroll->setGeometry(160, 120, 200, 18);
  QScroll->setRange(kMinQuality, kMaxQuality);
  QScroll->setValue(90);
  Label6 = new QLabel("Max", this);
  Label6->setGeometry(366, 118, 30, 22);
  QualityValue = new QLabel(this);
  QualityValue->setGeometry(398, 118, 36, 22);
  connect(QScroll, &QScrollBar::valueChanged, this,
          [this](int value) { QualityValue->setText(QString::number(value)); });

  Label4 = new QLabel("Seconds per slide", this);
  Label4->setGeometry(12, 156, 130, 22);
  SlideTime = new QLineEdit("5", this);
  SlideTime->setGeometry(150, 154, 80, 26);
  GenerateSlideShow = new QCheckBox("Generate Slide Show", this);
  GenerateSlideShow->setGeometry(12, 192, 300, 22);

  Command1 = new QPushButton("Ok", this);
  Command1->setGeometry(236, 254, 92, 30);
  Command1->setDefault(true);
  Command2 = new QPushButton("Cancel", this);
  Command2->setGeometry(336, 254, 92, 30);
  connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
  connect(Browse, &QPushButton::clicked, this, &Form2::Browse_Click);

  Form_Load(quality);
}

void Form2::Form_Load(int quality) {
  // A stored quality beyond the bar's range is shown at the nearest end.
  QScroll->setValue(std::clamp(quality, kMinQuality, kMaxQuality));
  QualityValue->setText(QString::number(QScroll->value()));
}

void Form2::Command1_Click() {
  const std::string folder = Text1->text().toStdString();
  // The pictures go into a folder that exists; without one their names would start at the root.
  if (!QFileInfo(Text1->text()).isDir()) {
    const std::string choose = "Choose a folder to save the pictures in.";
    Refuse(Text1, folder.empty() ? choose : "There is no folder \"" + folder + "\". " + choose);
    return;
  }
  // The slide show reads the seconds as written here; a text it cannot use would stop it
  // half-way.
  if (GenerateSlideShow->isChecked() &&
      !SlideSecondsFromLocaleText(SlideTime->text().toStdString())) {
    Refuse(SlideTime, "Give the seconds per slide as a number above 0 and at most " +
                          QLocale().toString(kMaxSlideSeconds, 'f', 3).toStdString() + ".");
    return;
  }
  const std::string prefix = Text2->text().toStdString();
  // Kept names leave the prefix of an earlier "Ok" as it was.
  AutoSaveSettings& names = choice_.names;
  names.filePath = folder + "/";
  names.keepOriginalFileName = KeepFileName->isChecked();
  if (names.keepOriginalFileName) {
    names.base = folder + "/";
  } else {
    names.base = folder + "/" + prefix;
    names.prefix = prefix;
  }
  choice_.slideTime = SlideTime->text().toStdString();
  choice_.generateSlideShow = GenerateSlideShow->isChecked();
  choice_.quality = static_cast<int16_t>(QScroll->value());
  accept();
}

void Form2::Refuse(QLineEdit* field, const std::string& message) {
  dialogs_.ShowMessage(this, windowTitle().toStdString(), message);
  field->setFocus();
  field->selectAll();
}

void Form2::Command2_Click() {
  QDialog::reject();
}

// Escape and the window's close button act as "Cancel".
void Form2::reject() {
  Command2_Click();
}

void Form2::Browse_Click() {
  const std::optional<std::string> folder =
      dialogs_.ChooseFolder(this, "Choose the folder", Text1->text().toStdString());
  if (folder) Text1->setText(QString::fromStdString(*folder));
}

}  // namespace snapwick
