#include "win32/copy/CopyFileSeam.h"

namespace velkast {

Seam<CopyFileFunction> copyFileSeam{&::CopyFileExW};

}  // namespace velkast
