#include "win32/app/CopyDialogDisplay.h"

#include <commctrl.h>

#include "core/progress/ByteCount.h"
#include "core/progress/Progress.h"
#include "resource.h"

namespace velkast {

void CopyDialogDisplay::StartFrames() {
    SetTimer(dialog_, kFrameTimer, kFrameMilliseconds, nullptr);
}

bool CopyDialogDisplay::Handle(UINT message, WPARAM wParam) {
    if ((message == WM_TIMER && wParam == kFrameTimer) || message == kDrawNowMessage) {
        Draw();
        return true;
    }
    if (message == kFinishedMessage) {
        ShowFinished();
        return true;
    }
    return false;
}

void CopyDialogDisplay::ShowFinished() {
    Draw();
    KillTimer(dialog_, kFrameTimer);
    SetDlgItemTextW(dialog_, IDC_HEADING, L"コピーが終了しました");
    EnableWindow(GetDlgItem(dialog_, IDC_EXIT), TRUE);
}

void CopyDialogDisplay::SetText(int control, const std::wstring& text, std::optional<std::wstring>& shown) {
    if (shown != text) {
        SetDlgItemTextW(dialog_, control, text.c_str());
        shown = text;
    }
}

void CopyDialogDisplay::Draw() {
    const ProgressSnapshot now = board_.Read();
    if (now.fileStarted) {
        SetText(IDC_TARGET_FOLDER, now.targetFolder, targetFolder_);
        SetText(IDC_FILE_NAME, now.displayName, fileName_);
    }
    if (!now.bytesReported) {
        return;
    }
    std::wstring copied;
    SetText(IDC_COPIED_BYTES, FormatByteCount(copied, now.copiedBytes), copiedBytes_);
    const std::uint64_t percent = ProgressPercent(now.copiedBytes, plan_.totalBytes);
    const auto position = static_cast<std::uint32_t>(percent);
    if (barPosition_ != position) {
        SendDlgItemMessageW(dialog_, IDC_PROGRESS, PBM_SETPOS, position, 0);
        barPosition_ = position;
    }
    SetText(IDC_PERCENT, PercentText(percent), percentText_);
}

void CopyDialogDisplay::FileStarted(const std::wstring& targetFolder, const std::wstring& displayName) {
    board_.FileStarted(targetFolder, displayName);
}

void CopyDialogDisplay::BytesCopied(std::uint64_t copiedBytes) {
    board_.BytesCopied(copiedBytes);
}

// A dialog that is gone takes no message: the worker then waits for nothing.
void CopyDialogDisplay::Flush() {
    SendMessageW(dialog_, kDrawNowMessage, 0, 0);
}

HWND CopyDialogDisplay::BoxOwner() {
    return IsWindow(dialog_) ? dialog_ : nullptr;
}

void CopyDialogDisplay::Finished() {
    SendMessageW(dialog_, kFinishedMessage, 0, 0);
}

}  // namespace velkast
