#pragma once

#include <windows.h>

namespace velkast {

// The progress routine that the copy worker hands to CopyFileExW; the data
// argument is the CopyRun. Moves the job's copied bytes by the file's progress
// and hands the new count to the display, without waiting for anything.
// Never cancels or quiets the copy.
DWORD CALLBACK CopyProgressProc(LARGE_INTEGER totalFileSize,
                                LARGE_INTEGER totalBytesTransferred,
                                LARGE_INTEGER streamSize,
                                LARGE_INTEGER streamBytesTransferred,
                                DWORD streamNumber,
                                DWORD callbackReason,
                                HANDLE sourceFile,
                                HANDLE destinationFile,
                                LPVOID data);

}  // namespace velkast
