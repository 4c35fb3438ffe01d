#pragma once

#include "imaging/cDIBSection.h"

class QWidget;

namespace snapwick {

class DialogHost;

// Puts a surface on the clipboard as a picture. Asked for the device-independent form, it says
// that it cannot and leaves the clipboard alone. Returns whether the clipboard took the picture.
bool CopyToClipboard(const cDIBSection& surface, bool bAsDIB, DialogHost& dialogs,
                     QWidget* owner = nullptr);

}  // namespace snapwick
