#pragma once

#include <windows.h>

namespace velkast {

// The progress routine that the copy worker hands to CopyFileExW; the data
// argument is the CopyJob. Moves the job's copied bytes by the file's progress
// and shows the count, the bar and the percentage of the whole plan in the
// copy dialog. Never cancels or quiets the copy.
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
