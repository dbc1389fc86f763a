// The copy dialog's display against a real dialog from template 108: what the
// controls show at the points where the user must read the exact state (a
// box of the worker, the end), with the real worker behind it.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VelkastResources.h"
#include "core/job/CopyJob.h"
#include "resource.h"
#include "support/win32/MessageBoxRecorder.h"
#include "support/win32/PlannedCopy.h"
#include "support/win32/TempFolder.h"
#include "win32/app/CopyDialogDisplay.h"
#include "win32/copy/CopyWorker.h"
#include "win32/platform/Owners.h"
#include "win32/window/MessagePump.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::RecordedBox;
using testing::TempFolder;

// A dialog procedure that hands the display its messages, as the copy dialog does.
INT_PTR CALLBACK DisplayDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;
    }
    auto* display = reinterpret_cast<CopyDialogDisplay*>(GetWindowLongPtrW(window, DWLP_USER));
    return display != nullptr && display->Handle(message, wParam) ? TRUE : FALSE;
}

// Every control that the copy shows.
struct Controls {
    std::wstring heading, targetFolder, fileName, copiedBytes, percent;
    LRESULT position;
    bool exitEnabled;

    bool operator==(const Controls&) const = default;
};

void PrintTo(const Controls& c, std::ostream* out) {
    const auto narrow = [](const std::wstring& text) {
        std::string ascii;
        for (const wchar_t ch : text) {
            ascii += ch < 0x80 ? static_cast<char>(ch) : '?';
        }
        return ascii;
    };
    *out << "{" << narrow(c.heading) << " | " << narrow(c.targetFolder) << " | " << narrow(c.fileName)
         << " | " << narrow(c.copiedBytes) << " | " << narrow(c.percent) << " | " << c.position << " | "
         << (c.exitEnabled ? "exit" : "no exit") << "}";
}

class CopyDisplayOnDialog : public ::testing::Test, protected testing::PlannedCopy {
protected:
    void SetUp() override {
        ASSERT_NE(testing::VelkastResources(), nullptr);
        dialog = CreateDialogParamW(testing::VelkastResources(), MAKEINTRESOURCEW(IDD_COPY), nullptr,
                                    DisplayDialogProc, reinterpret_cast<LPARAM>(&display));
        ASSERT_NE(dialog, nullptr);
        display.Attach(dialog);
        // As Start leaves the dialog.
        SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        EnableWindow(GetDlgItem(dialog, IDC_START), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_EXIT), FALSE);
        SetDlgItemTextW(dialog, IDC_HEADING, L"コピー中です");
        display.StartFrames();
    }
    void TearDown() override { DestroyWindow(dialog); }

    // Callable from any thread: the dialog's thread answers while it pumps.
    Controls Read() const {
        const auto text = [this](int id) {
            wchar_t buffer[512] = {};
            GetDlgItemTextW(dialog, id, buffer, 512);
            return std::wstring(buffer);
        };
        return Controls{text(IDC_HEADING),
                        text(IDC_TARGET_FOLDER),
                        text(IDC_FILE_NAME),
                        text(IDC_COPIED_BYTES),
                        text(IDC_PERCENT),
                        SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_GETPOS, 0, 0),
                        IsWindowEnabled(GetDlgItem(dialog, IDC_EXIT)) != FALSE};
    }

    void RunWorker() { EXPECT_EQ(testing::RunCopyWorker(run), 0u); }

    CopyDialogDisplay display{job};
    CopyRun run{job, display};
    HWND dialog = nullptr;
};

// The count, the bar and the percentage, drawn against the plan's total.
TEST_F(CopyDisplayOnDialog, DrawsTheCountAgainstThePlan) {
    job.totalBytes = 100;
    struct Step {
        std::uint64_t copied;
        std::wstring copiedText, percent;
        LRESULT position;
    };
    const Step steps[] = {
        {0, L"0", L"  0 %", 0},    {5, L"5", L"  5 %", 5},       {29, L"29", L" 28 %", 28},
        {57, L"57", L" 56 %", 56}, {100, L"100", L"100 %", 100}, {120, L"120", L"120 %", 100},
    };
    for (const Step& step : steps) {
        display.BytesCopied(step.copied);
        display.Flush();
        const Controls now = Read();
        EXPECT_EQ(now.copiedBytes, step.copiedText);
        EXPECT_EQ(now.percent, step.percent);
        // The bar is sent the percentage; it keeps within its range.
        EXPECT_EQ(now.position, step.position);
    }
}

// When the worker's box shows, the dialog shows the failing file and the
// count up to it, still copying; at the end, the finished state.
TEST_F(CopyDisplayOnDialog, ExactAtTheFailureBoxAndAtTheEnd) {
    Plan(L"one.txt", std::string(1000, '1'));
    Plan(L"sub\\two.dat", std::string(3000, '2'));
    Plan(L"blocked\\three.txt", "3");
    Plan(L"four.txt", "4");
    testing::WriteFile(install / L"blocked", "a file where a folder should be");
    MessageBoxRecorder boxes;
    std::vector<Controls> atBox;
    boxes.onShow([&](const RecordedBox&) { atBox.push_back(Read()); });
    RunWorker();

    const std::wstring root = install.path();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].owner, dialog);
    EXPECT_EQ(atBox,
              (std::vector<Controls>{{L"コピー中です", root, L"three", L"4,000", L" 99 %", 99, false}}));
    EXPECT_EQ(Read(), (Controls{L"コピーが終了しました", root, L"three", L"4,000", L" 99 %", 99, true}));
}

// However fast the files go by, the end leaves every control at its final value.
TEST_F(CopyDisplayOnDialog, ManySmallFilesEndAtTheirFinalValues) {
    for (int i = 0; i < 300; ++i) {
        Plan(L"many\\file" + std::to_wstring(i) + L".bin",
             std::string(static_cast<std::size_t>(i % 7 + 1), 'x'));
    }
    MessageBoxRecorder boxes;
    RunWorker();
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(Read(),
              (Controls{L"コピーが終了しました", install.path(), L"file299", L"1,197", L"100 %", 100, true}));
}

// A window that is gone owns no box, and the worker waits for nothing.
TEST_F(CopyDisplayOnDialog, ClosedDialogOwnsNoBox) {
    EXPECT_EQ(display.BoxOwner(), dialog);
    DestroyWindow(dialog);
    EXPECT_EQ(display.BoxOwner(), nullptr);
    display.Flush();
    display.Finished();
}

}  // namespace
}  // namespace velkast
