#include "metadata/Form5.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include "base/Error.h"

namespace snapwick {

namespace {
// Twips at the usual 15 per pixel.
constexpr int Px(int twips) {
  return twips / 15;
}
constexpr int kColumnLeft[4] = {240, 2280, 4200, 6240};
}  // namespace

Form5::Form5(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Select Picture Data Items");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(Px(8400), Px(4500));

  auto* frame = new QGroupBox(this);
  frame->setGeometry(Px(120), Px(120), Px(8160), Px(3480));
  for (int i = 0; i < kItems; ++i) {
    auto* box = new QCheckBox("Check1", frame);
    const int column = i / 8, row = i % 8;
    box->setGeometry(Px(kColumnLeft[column]), Px(480 + 360 * row) - Px(120), Px(1815), Px(255));
    box->setObjectName(QString("PictureDataItem(%1)").arg(i));
    box->hide();
    PictureDataItem[static_cast<size_t>(i)] = box;
  }
  Command1 = new QPushButton("&Ok", this);
  Command1->setGeometry(Px(5280), Px(3840), Px(1335), Px(435));
  Command1->setDefault(true);
  Command2 = new QPushButton("&Cancel", this);
  Command2->setGeometry(Px(6840), Px(3840), Px(1335), Px(435));
  connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);

  Form_Load();
}

void Form5::Form_Load() {
  InitPicDataItems();
  for (const PictureDataCatalogueEntry& entry : kPictureDataCatalogue) {
    AddPictureItem(entry.caption, entry.tagId);
  }
}

void Form5::AddPictureItem(const std::string& Name, int32_t Id) {
  if (CurrentMax >= kItems) return;
  const auto index = static_cast<size_t>(CurrentMax);
  TagIds[index] = Id;
  QCheckBox* box = PictureDataItem[index];
  box->setVisible(true);
  box->setText(QString::fromStdString(Name));
  const int32_t state = PicDataFlags[index];
  box->setCheckState(state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
  ++CurrentMax;
}

int32_t Form5::GetTagId(int32_t index) const {
  if (index < 0 || index >= kPictureDataSlots) RaiseError(kErrSubscriptOutOfRange);
  return TagIds[static_cast<size_t>(index)];
}

void Form5::InitPicDataItems() {
  CurrentMax = 0;
  PicDataFlags = ReadPicDataSetting();
}

int32_t Form5::ItemState(int i) const {
  switch (PictureDataItem[static_cast<size_t>(i)]->checkState()) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    default:
      return 0;
  }
}

snapwick::PicDataFlags Form5::Flags() const {
  snapwick::PicDataFlags states{};
  for (int i = 0; i < kItems; ++i)
    states[static_cast<size_t>(i)] = ItemState(i);
  return states;
}

void Form5::SavePicDataItems() {
  PicDataFlags = Flags();
  StorePicDataSetting(PicDataFlags);
}

void Form5::Command1_Click() {
  SavePicDataItems();
  hide();
}

void Form5::Command2_Click() {
  InitPicDataItems();
  hide();
}

// Escape and the window's close button act as "&Cancel".
void Form5::reject() {
  Command2_Click();
  QDialog::reject();
}

}  // namespace snapwick
