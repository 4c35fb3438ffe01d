#include "metadata/PictureString.h"

#include <exception>

#include "metadata/ExifReader.h"

namespace snapwick {

PictureStringResult ComposePictureString(const std::string& fileName,
                                         const std::vector<PictureDataItemState>& items) {
  PictureStringResult result;
  ExifReader reader;
  // Whatever cannot be read leaves its items out; no error stops the composition.
  try {
    reader.Load(fileName);
  } catch (const std::exception&) {
  }
  for (const PictureDataItemState& item : items) {
    if (item.state != 1) continue;  // the grey state counts as unticked
    std::string value;
    try {
      value = reader.Tag(item.tagId).ToText();
    } catch (const std::exception&) {
      value.clear();
    }
    if (value.empty()) continue;
    result.text += ' ';
    result.text += item.caption;
    result.text += ": ";
    result.text += value;
    result.listing += ' ';
    result.listing += item.caption;
    result.listing += '\t';
    result.listing += value;
    result.listing += "\r\n";
  }
  return result;
}

}  // namespace snapwick
