#include "imaging/OutputFormat.h"

#include "imaging/mIntelJPEGLibrary.h"

namespace snapwick {

const OutputFormat kJpegOutput{".jpg", ".jpeg", "JPG File (*.jpg)|*.jpg", &EncodeJPG};

}  // namespace snapwick
