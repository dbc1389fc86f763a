// The core's platform interface with the real Win32 calls.

#include <windows.h>

#include "core/platform/Platform.h"

namespace velkast::platform {
namespace {

UINT CodePageOf(AnsiPage page) {
    return page == AnsiPage::Thread ? CP_THREAD_ACP : CP_ACP;
}

// One heap of the program's own, made on first use: no options, 1024 bytes to
// begin with and no maximum, so it grows as needed. It ends with the process.
HANDLE PrivateHeap() {
    static const HANDLE heap = HeapCreate(0, 1024, 0);
    return heap;
}

}  // namespace

int AnsiToWide(AnsiPage page, const char* src, int srcBytes, wchar_t* dst, int dstChars) {
    return MultiByteToWideChar(CodePageOf(page), 0, src, srcBytes, dst, dst == nullptr ? 0 : dstChars);
}

int WideToAnsi(AnsiPage page, const wchar_t* src, int srcChars, char* dst, int dstBytes) {
    return WideCharToMultiByte(CodePageOf(page), 0, src, srcChars, dst, dst == nullptr ? 0 : dstBytes,
                               nullptr, nullptr);
}

void* HeapAllocZeroed(std::size_t bytes) {
    const HANDLE heap = PrivateHeap();
    if (bytes == 0 || heap == nullptr) {
        return nullptr;
    }
    return HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes);
}

void HeapRelease(void* block) {
    if (block != nullptr) {
        HeapFree(PrivateHeap(), 0, block);
    }
}

void OutputDebugText(const wchar_t* text) {
    OutputDebugStringW(text);
}

}  // namespace velkast::platform
