#pragma once

#include <QFont>
#include <QStringList>

namespace snapwick {

// The bold, informal face of the "About" and text windows: Comic Sans MS where it is installed,
// else a plain sans face rather than whatever the font system offers in its place.
inline QFont CasualFont(double points) {
  QFont font;
  font.setFamilies({"Comic Sans MS", "Comic Neue", "DejaVu Sans", "Sans Serif"});
  font.setPointSizeF(points);
  font.setBold(true);
  return font;
}

}  // namespace snapwick
