// The seams through which tests stand in for the user and the system: the
// message box here, as the one that other threads use too.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

#include "support/win32/MessageBoxRecorder.h"
#include "win32/copy/CopyFileSeam.h"
#include "win32/ui/MessageBoxSeam.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::RecordedBox;

TEST(MessageBoxSeam, BoxFromAnotherThreadReachesTheRecorder) {
    MessageBoxRecorder boxes(IDCANCEL);
    int answer = 0;
    std::thread worker([&] { answer = ShowMessageBox(nullptr, L"作業スレッド", L"", MB_OKCANCEL); });
    worker.join();

    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(boxes.boxes(), (std::vector<RecordedBox>{{nullptr, L"作業スレッド", L"", MB_OKCANCEL}}));
}

TEST(MessageBoxSeam, PassesArgumentsThroughAndKeepsNullCaptionApart) {
    MessageBoxRecorder boxes;
    const HWND desktop = GetDesktopWindow();
    EXPECT_EQ(ShowMessageBox(desktop, L"本文", nullptr, MB_YESNO), IDOK);
    EXPECT_EQ(ShowMessageBox(nullptr, L"", L"", MB_OK), IDOK);
    EXPECT_EQ(boxes.boxes(), (std::vector<RecordedBox>{
                                 {desktop, L"本文", std::nullopt, MB_YESNO},
                                 {nullptr, L"", L"", MB_OK},
                             }));
}

TEST(MessageBoxSeam, ScopeRestoresThePreviousHandler) {
    MessageBoxRecorder outer;
    {
        MessageBoxRecorder inner(IDYES);
        EXPECT_EQ(ShowMessageBox(nullptr, L"内側", nullptr, MB_YESNO), IDYES);
        EXPECT_EQ(inner.boxes().size(), 1u);
    }
    EXPECT_EQ(ShowMessageBox(nullptr, L"外側", nullptr, MB_OK), IDOK);
    EXPECT_EQ(outer.boxes(), (std::vector<RecordedBox>{{nullptr, L"外側", std::nullopt, MB_OK}}));
}

BOOL WINAPI RefuseCopy(LPCWSTR, LPCWSTR, LPPROGRESS_ROUTINE, LPVOID, LPBOOL, DWORD) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

BOOL WINAPI AcceptCopy(LPCWSTR, LPCWSTR, LPPROGRESS_ROUTINE, LPVOID, LPBOOL, DWORD) {
    return TRUE;
}

TEST(ScopedOverride, NestedOverridesComeBackInReverseOrder) {
    const CopyFileFunction real = copyFileSeam.get();
    {
        const ScopedOverride<CopyFileFunction> outer(copyFileSeam, &RefuseCopy);
        EXPECT_FALSE(CopyFileWithProgress(L"a", L"b", nullptr, nullptr, nullptr, 0));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
        {
            const ScopedOverride<CopyFileFunction> inner(copyFileSeam, &AcceptCopy);
            EXPECT_TRUE(CopyFileWithProgress(L"a", L"b", nullptr, nullptr, nullptr, 0));
        }
        EXPECT_EQ(copyFileSeam.get(), &RefuseCopy);
    }
    EXPECT_EQ(copyFileSeam.get(), real);
}

}  // namespace
}  // namespace velkast
