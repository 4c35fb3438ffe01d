#include "imaging/OutputFormat.h"

#include "imaging/mIntelJPEGLibrary.h"

namespace snapwick {

const OutputFormat kJpegOutput{".jpg", "JPG File (*.jpg)|*.jpg", &EncodeJPG};

}  // namespace snapwick
