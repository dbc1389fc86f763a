#pragma once
// The record of one run, shared by start-up, the dialogs, the plan builder
// and the copy engine. There is one, process-wide; each part is handed it.

#include <cstdint>
#include <string>
#include <vector>

#include "core/job/CopyEntry.h"

// The system's window and module handle types, declared as the system
// declares them, so that the portable core can hold them.
struct HWND__;
struct HINSTANCE__;

namespace velkast {

class CTextLine;
class CVelkastDlg;
class CWaitDlg;

// The most file lines one plan accepts.
constexpr std::size_t kMaxCopyEntries = 2048;

struct CopyJob {
    HWND__* copyDialog = nullptr;
    HWND__* waitDialog = nullptr;
    HINSTANCE__* instance = nullptr;
    std::wstring programFolder;   // folder of the program file, ending in a backslash
    std::int32_t entryCount = 0;  // set once the plan is complete
    std::uint64_t totalBytes = 0;
    std::vector<CopyEntry> entries;
    std::uint64_t copiedBytes = 0;
    std::uint64_t fileBytesCounted = 0;
    std::wstring postProcessPath;    // empty when the script names none
    std::wstring postProcessFolder;  // its drive and folder, ending in a separator
    CVelkastDlg* copyDialogObject = nullptr;
    CTextLine* script = nullptr;
    CWaitDlg* waitDialogObject = nullptr;
};

}  // namespace velkast
