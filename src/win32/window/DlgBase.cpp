#include "win32/window/DlgBase.h"

namespace velkast {

CDlgBase::~CDlgBase() {
    if (IsWindow(window())) {
        DestroyWindow(window());
    }
}

}  // namespace velkast
