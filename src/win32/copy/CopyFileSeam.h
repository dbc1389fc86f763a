#pragma once
// The copy worker copies through CopyFileWithProgress, which is CopyFileExW
// unless a test has put a function of its own in the seam: to look at a
// destination at the moment of its copy, to make a copy fail, or to call the
// progress routine the way the system does on Windows (Wine never calls it).

#include <windows.h>

#include "core/base/Seam.h"

namespace velkast {

using CopyFileFunction = BOOL(WINAPI*)(LPCWSTR source,
                                       LPCWSTR destination,
                                       LPPROGRESS_ROUTINE progress,
                                       LPVOID data,
                                       LPBOOL cancel,
                                       DWORD flags);

extern Seam<CopyFileFunction> copyFileSeam;

inline BOOL CopyFileWithProgress(LPCWSTR source,
                                 LPCWSTR destination,
                                 LPPROGRESS_ROUTINE progress,
                                 LPVOID data,
                                 LPBOOL cancel,
                                 DWORD flags) {
    return copyFileSeam.get()(source, destination, progress, data, cancel, flags);
}

}  // namespace velkast
