#include "win32/copy/CopyFileSeam.h"

#include <atomic>

namespace velkast {
namespace {
std::atomic<CopyFileFunction> g_copyFile{&::CopyFileExW};
}

BOOL CopyFileWithProgress(LPCWSTR source,
                          LPCWSTR destination,
                          LPPROGRESS_ROUTINE progress,
                          LPVOID data,
                          LPBOOL cancel,
                          DWORD flags) {
    return g_copyFile.load()(source, destination, progress, data, cancel, flags);
}

CopyFileFunctionScope::CopyFileFunctionScope(CopyFileFunction function)
    : previous_(g_copyFile.exchange(function)) {}

CopyFileFunctionScope::~CopyFileFunctionScope() {
    g_copyFile.store(previous_);
}

}  // namespace velkast
