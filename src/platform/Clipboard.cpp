#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include "platform/Dialogs.h"
#include "imaging/Canvas.h"

namespace snapwick {

bool CopyToClipboard(const cDIBSection& surface, bool bAsDIB, DialogHost& dialogs, QWidget* owner) {
  if (bAsDIB) {
    dialogs.ShowMessage(
        owner, "Snapwick",
        "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");
    return false;
  }
  const QImage image = ImageFromSurface(surface);
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (image.isNull() || clipboard == nullptr) return false;
  clipboard->setImage(image);
  return true;
}

}  // namespace snapwick
