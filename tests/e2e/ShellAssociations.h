#pragma once
// What the shell opened for the program: the file types it opens are handed
// to the tests' recorder program (tests/support/win32/ShellRecorder.cpp),
// which writes its working folder and command line to the file that
// VELKAST_RECORD_FILE names. Children inherit that variable from the program,
// which inherits it from the driver.

#include <windows.h>

#include <string>
#include <vector>

#include "support/win32/RecordFile.h"

namespace velkast::e2e {

// The recorder program; its path relative to the driver comes from the build.
std::wstring RecorderPath();

// While it lives, the extensions are associated, in HKEY_CLASSES_ROOT of the
// prefix, with a file type whose "open" command is the recorder with the
// document's path ("%1"). In a fresh Wine prefix ".txt" names no file type,
// and the shell then fails or hangs; per-user classes did not take effect.
// What the extensions named before is put back at the end.
class ShellAssociations {
public:
    explicit ShellAssociations(std::vector<std::wstring> extensions);
    ~ShellAssociations();
    ShellAssociations(const ShellAssociations&) = delete;
    ShellAssociations& operator=(const ShellAssociations&) = delete;

private:
    struct Previous {
        std::wstring extension;
        bool existed;
        std::wstring type;
    };
    std::vector<Previous> previous_;
};

using testing::ReadRecords;
using testing::ShellRecord;

// Waits (up to about 20 seconds) until no process that the program started
// under one of these file names is still running, so that everything the
// program had opened has written its record. The program may have ended.
void WaitForChildren(DWORD programId, const std::vector<std::wstring>& fileNames);

}  // namespace velkast::e2e
