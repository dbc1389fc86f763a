#pragma once
// The copy worker copies through CopyFileWithProgress, which is CopyFileExW unless a test
// has put a function of its own in its place: to look at a destination at the
// moment of its copy, or to call the progress routine the way the system does
// on Windows (Wine never calls it).

#include <windows.h>

namespace velkast {

using CopyFileFunction = BOOL(WINAPI*)(LPCWSTR source,
                                       LPCWSTR destination,
                                       LPPROGRESS_ROUTINE progress,
                                       LPVOID data,
                                       LPBOOL cancel,
                                       DWORD flags);

BOOL CopyFileWithProgress(LPCWSTR source,
                          LPCWSTR destination,
                          LPPROGRESS_ROUTINE progress,
                          LPVOID data,
                          LPBOOL cancel,
                          DWORD flags);

// While it lives, CopyFileWithProgress calls the function; the one before comes back
// when it ends.
class CopyFileFunctionScope {
public:
    explicit CopyFileFunctionScope(CopyFileFunction function);
    ~CopyFileFunctionScope();
    CopyFileFunctionScope(const CopyFileFunctionScope&) = delete;
    CopyFileFunctionScope& operator=(const CopyFileFunctionScope&) = delete;

private:
    CopyFileFunction previous_;
};

}  // namespace velkast
