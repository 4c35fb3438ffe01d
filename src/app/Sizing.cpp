#include "app/Sizing.h"

#include <QLocale>
#include <QString>
#include <algorithm>
#include <cmath>

#include "base/Checked.h"

namespace snapwick {

ViewSize ComputeViewSize(double windowWidthTwips, double windowHeightTwips, bool border,
                         bool hideMenu, double twipsPerPixelX, double twipsPerPixelY) {
  ViewSize view;
  view.widthTwips = windowWidthTwips - kWidthMargin;
  if (border && !hideMenu) {
    view.heightTwips = windowHeightTwips - kHeightMarginMenuAndBorder;
  } else if (hideMenu && !border) {
    view.heightTwips = windowHeightTwips;
  } else {
    view.heightTwips = windowHeightTwips - kHeightMarginOther;
  }
  view.widthTwips = std::max(view.widthTwips, kMinViewTwips);
  view.heightTwips = std::max(view.heightTwips, kMinViewTwips);
  view.pixelWidth = checked::Round32(view.widthTwips / twipsPerPixelX);
  view.pixelHeight = checked::Round32(view.heightTwips / twipsPerPixelY);
  view.ratio = static_cast<double>(view.pixelWidth) / view.pixelHeight;
  return view;
}

FittedSize FitToView(double ratio, int32_t viewPixelWidth, int32_t viewPixelHeight,
                     double viewRatio) {
  FittedSize fitted;
  if (ratio > viewRatio) {
    fitted.width = static_cast<float>(viewPixelWidth);
    fitted.height = static_cast<float>(viewPixelWidth / ratio);
  } else {
    fitted.height = static_cast<float>(viewPixelHeight);
    fitted.width = static_cast<float>(viewPixelHeight * ratio);
  }
  // However thin the picture, it keeps a pixel in each direction.
  fitted.pixelWidth = std::max(checked::Round32(fitted.width), 1);
  fitted.pixelHeight = std::max(checked::Round32(fitted.height), 1);
  return fitted;
}

std::optional<std::pair<float, float>> ParseFixedSize(const std::string& caption) {
  const size_t x = caption.find('x');
  if (x == std::string::npos) return std::nullopt;
  bool okWidth = false, okHeight = false;
  const float width = QString::fromStdString(caption.substr(0, x)).toFloat(&okWidth);
  const float height = QString::fromStdString(caption.substr(x + 1)).toFloat(&okHeight);
  if (!okWidth || !okHeight) return std::nullopt;
  return std::make_pair(width, height);
}

double FixedSizeWindowWidth(float width, double twipsPerPixelX) {
  return width * twipsPerPixelX + kWidthMargin;
}

double FixedSizeWindowHeight(float height, bool border, double twipsPerPixelY) {
  return height * twipsPerPixelY + (border ? kHeightMarginMenuAndBorder : kHeightMarginOther);
}

std::string ViewSizeCaption(int32_t pixelWidth, int32_t pixelHeight, double ratio) {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return std::to_string(pixelWidth) + "x" + std::to_string(pixelHeight) +
         " ratio: " + locale.toString(ratio * 100, 'f', 2).toStdString() + "%";
}

}  // namespace snapwick
