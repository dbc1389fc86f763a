#pragma once
// The copy dialog's view of the copy. The worker reports to it from its own
// thread and never waits for the dialog while a file is copied: what it
// reports is left on a board, and the dialog's thread draws the board's
// latest state at a bounded rate, setting a control only when its text
// changes. Before a box of the worker and at the end, the worker has the
// dialog draw at once and waits for it, so the user reads the exact state.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/job/CopyJob.h"
#include "core/progress/ProgressBoard.h"
#include "win32/copy/CopyDisplay.h"

namespace velkast {

class CopyDialogDisplay final : public CopyDisplay {
public:
    // What the worker sends the dialog, which hands them to Handle.
    static constexpr UINT kDrawNowMessage = WM_APP + 1;
    static constexpr UINT kFinishedMessage = WM_APP + 2;
    static constexpr UINT_PTR kFrameTimer = 1;
    static constexpr UINT kFrameMilliseconds = 30;

    // The total to draw the percentage against is the plan's.
    explicit CopyDialogDisplay(const CopyJob& plan) : plan_(plan) {}

    // The dialog's thread. The dialog is known before a worker starts.
    void Attach(HWND dialog) { dialog_ = dialog; }
    // Starts drawing at the frame rate, for a copy that begins.
    void StartFrames();
    // Draws on the timer and on the worker's requests; false for any other message.
    bool Handle(UINT message, WPARAM wParam);
    // Draws what was reported, stops the frames, shows the finished heading and enables Exit.
    void ShowFinished();

    // The worker's thread.
    void FileStarted(const std::wstring& targetFolder, const std::wstring& displayName) override;
    void BytesCopied(std::uint64_t copiedBytes) override;
    void Flush() override;
    HWND BoxOwner() override;
    void Finished() override;

private:
    void Draw();
    void SetText(int control, const std::wstring& text, std::optional<std::wstring>& shown);

    const CopyJob& plan_;
    HWND dialog_ = nullptr;
    ProgressBoard board_;
    // What the controls show, as drawn here; none until first drawn.
    std::optional<std::wstring> targetFolder_;
    std::optional<std::wstring> fileName_;
    std::optional<std::wstring> copiedBytes_;
    std::optional<std::wstring> percentText_;
    std::optional<std::uint32_t> barPosition_;
};

}  // namespace velkast
