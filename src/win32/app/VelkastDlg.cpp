#include "win32/app/VelkastDlg.h"

#include <commctrl.h>

#include "core/plan/CopyPlanBuilder.h"
#include "resources/resource.h"
#include "win32/plan/Win32PlanSystem.h"

namespace velkast {

bool CVelkastDlg::BuildCopyPlan() {
    job_.copyDialog = window_;
    SendDlgItemMessageW(window_, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    Win32PlanSystem system(window_);
    return CopyPlanBuilder(job_, system).Build();
}

}  // namespace velkast
