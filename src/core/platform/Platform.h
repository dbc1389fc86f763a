#pragma once
// What the portable core needs from the operating system. Each build links
// exactly one implementation: the Win32 one with the real calls, or the
// minimal host one used to run the core natively under the sanitizers.

#include <cstddef>

namespace velkast::platform {

// Which ANSI code page a conversion uses: the system's (CP_ACP), as the
// script store decodes with, or the calling thread's (CP_THREAD_ACP), as the
// readers of script fields widen them with. They differ only when a thread
// has changed its locale.
enum class AnsiPage { System, Thread };

// Conversions with the contract of MultiByteToWideChar and WideCharToMultiByte
// (no flags, no default character): the counts are in units of the source and
// the destination; whatever the source count covers is converted, a NUL
// included; a null destination (or a capacity of 0) asks for the units needed.
// The result is the number of units written or needed, 0 on failure.
int AnsiToWide(AnsiPage page, const char* src, int srcBytes, wchar_t* dst, int dstChars);
int WideToAnsi(AnsiPage page, const wchar_t* src, int srcChars, char* dst, int dstBytes);

// The program's private heap: zero-filled blocks. A request of 0 bytes, or
// one that cannot be met, yields null. Releasing null does nothing.
void* HeapAllocZeroed(std::size_t bytes);
void HeapRelease(void* block);

// One text to the debugger output, as it stands.
void OutputDebugText(const wchar_t* text);

}  // namespace velkast::platform
