#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "metadata/PictureDataItems.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace snapwick {

// "Select Picture Data Items": the catalogue of EXIF items for the picture string, as 32 check
// boxes, and the stored choice ("PicData").
class Form5 : public QDialog {
  Q_OBJECT

 public:
  explicit Form5(QWidget* parent = nullptr);

  static constexpr int kItems = 32;

  int32_t CurrentMax = 0;
  std::array<int32_t, kPictureDataSlots> TagIds{};
  snapwick::PicDataFlags PicDataFlags{};

  std::array<QCheckBox*, kItems> PictureDataItem{};
  QPushButton* Command1 = nullptr;  // "&Ok"
  QPushButton* Command2 = nullptr;  // "&Cancel"

  void AddPictureItem(const std::string& Name, int32_t Id);
  // The tag number of check box index; an index outside 0..32 raises 9.
  int32_t GetTagId(int32_t index) const;
  void InitPicDataItems();
  void SavePicDataItems();
  // The state of check box i: 0, 1, or 2 for grey.
  int32_t ItemState(int i) const;
  // The states of all check boxes, in catalogue order: the items the picture string is made of.
  snapwick::PicDataFlags Flags() const;

  void Command1_Click();
  void Command2_Click();

 protected:
  void reject() override;

 private:
  void Form_Load();
};

}  // namespace snapwick
