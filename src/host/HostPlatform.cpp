// The core's platform interface for the native host build: just enough to run
// the core and its tests. The ANSI code page is fixed to 932 (Shift-JIS), the
// code page of the systems the program is made for; glibc's iconv converts.
// Units that do not convert become U+30FB (to wide) or '?' (to ANSI), one for
// each offending source unit, so a conversion never fails on its input.

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/platform/Platform.h"

namespace velkast::platform {
namespace {

constexpr const char* kAnsiCodePage = "CP932";

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of [in, in + inBytes) into out, replacing what does not
    // convert; unitBytes is the size of one source unit.
    template <typename Out>
    void Run(const char* in,
             std::size_t inBytes,
             std::size_t unitBytes,
             Out replacement,
             std::basic_string<Out>& out) {
        char* inPtr = const_cast<char*>(in);
        std::size_t inLeft = inBytes;
        Out chunk[256];
        while (inLeft > 0) {
            char* outPtr = reinterpret_cast<char*>(chunk);
            std::size_t outLeft = sizeof(chunk);
            const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(chunk, (sizeof(chunk) - outLeft) / sizeof(Out));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                out.push_back(replacement);
                const std::size_t skip = inLeft < unitBytes ? inLeft : unitBytes;
                inPtr += skip;
                inLeft -= skip;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
    }

private:
    iconv_t cd_;
};

template <typename Unit>
int SourceUnits(const Unit* src, int count) {
    if (count != -1) {
        return count;
    }
    int n = 0;
    while (src[n] != 0) {
        ++n;
    }
    return n + 1;
}

template <typename Unit>
int Deliver(const std::basic_string<Unit>& converted, Unit* dst, int capacity) {
    const int needed = static_cast<int>(converted.size());
    if (dst == nullptr || capacity == 0) {
        return needed;
    }
    if (needed > capacity) {
        return 0;
    }
    std::memcpy(dst, converted.data(), converted.size() * sizeof(Unit));
    return needed;
}

}  // namespace

int AnsiToWide(AnsiPage, const char* src, int srcBytes, wchar_t* dst, int dstChars) {
    if (src == nullptr || srcBytes == 0 || srcBytes < -1 || dstChars < 0) {
        return 0;
    }
    Converter converter("WCHAR_T", kAnsiCodePage);
    if (!converter.ok()) {
        return 0;
    }
    std::wstring converted;
    converter.Run(src, static_cast<std::size_t>(SourceUnits(src, srcBytes)), 1, L'\x30FB', converted);
    return Deliver(converted, dst, dstChars);
}

int WideToAnsi(AnsiPage, const wchar_t* src, int srcChars, char* dst, int dstBytes) {
    if (src == nullptr || srcChars == 0 || srcChars < -1 || dstBytes < 0) {
        return 0;
    }
    Converter converter(kAnsiCodePage, "WCHAR_T");
    if (!converter.ok()) {
        return 0;
    }
    std::string converted;
    const auto units = static_cast<std::size_t>(SourceUnits(src, srcChars));
    converter.Run(reinterpret_cast<const char*>(src), units * sizeof(wchar_t), sizeof(wchar_t), '?',
                  converted);
    return Deliver(converted, dst, dstBytes);
}

void* HeapAllocZeroed(std::size_t bytes) {
    return bytes == 0 ? nullptr : std::calloc(1, bytes);
}

void HeapRelease(void* block) {
    std::free(block);
}

void OutputDebugText(const wchar_t* text) {
    std::fprintf(stderr, "%ls", text);
}

}  // namespace velkast::platform
