// The core's platform interface for the native host build: just enough to run
// the core and its tests. The ANSI code page is fixed to 932 (Shift-JIS), the
// code page of the systems the program is made for, as glibc's iconv has it.
// Units that do not convert become U+30FB (to wide) or '?' (to ANSI), one for
// each offending source unit, so a conversion never fails on its input.
//
// Opening an iconv converter costs far more than converting the short texts
// of the core, so iconv is asked once per process, for every character of the
// code page, and conversions read tables. Code page 932 keeps no state: a
// byte is a character of its own, or the first of a pair; a byte that is
// neither, or whose pair is no character, or that ends the text, is one
// offending unit, and the byte after it is read anew.

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/platform/Platform.h"

namespace velkast::platform {
namespace {

constexpr const char* kAnsiCodePage = "CP932";
constexpr wchar_t kWideReplacement = L'\x30FB';
constexpr char kAnsiReplacement = '?';

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

    // Converts all of [in, in + inBytes) in one go; the number of bytes
    // written, or -1 when some of the input does not convert.
    int Whole(const void* in, std::size_t inBytes, void* out, std::size_t outBytes) {
        char* inPtr = static_cast<char*>(const_cast<void*>(in));
        char* outPtr = static_cast<char*>(out);
        std::size_t inLeft = inBytes;
        std::size_t outLeft = outBytes;
        const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
            return -1;
        }
        return static_cast<int>(outBytes - outLeft);
    }

private:
    iconv_t cd_;
};

// Bytes to wide characters. kNone marks a byte that is no character on its
// own, and a pair that is none.
class ToWideTable {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    // Null when iconv cannot convert the code page at all.
    static const ToWideTable* Get() {
        static const std::unique_ptr<ToWideTable> table = Build();
        return table.get();
    }

    std::uint32_t Single(unsigned char byte) const { return single_[byte]; }
    std::uint32_t Pair(unsigned char lead, unsigned char trail) const { return pairs_[lead * 256 + trail]; }

private:
    static std::unique_ptr<ToWideTable> Build() {
        Converter converter("WCHAR_T", kAnsiCodePage);
        if (!converter.ok()) {
            return nullptr;
        }
        auto table = std::make_unique<ToWideTable>();
        for (int b = 0; b < 256; ++b) {
            const unsigned char in[1] = {static_cast<unsigned char>(b)};
            table->single_[b] = One(converter, in, 1);
            for (int t = 0; t < 256; ++t) {
                const unsigned char pair[2] = {static_cast<unsigned char>(b), static_cast<unsigned char>(t)};
                table->pairs_[b * 256 + t] = table->single_[b] == kNone ? One(converter, pair, 2) : kNone;
            }
        }
        return table;
    }

    // The one character that all of the bytes make, or kNone.
    static std::uint32_t One(Converter& converter, const unsigned char* in, std::size_t bytes) {
        wchar_t out[2] = {};
        if (converter.Whole(in, bytes, out, sizeof(out)) != static_cast<int>(sizeof(wchar_t))) {
            return kNone;
        }
        return static_cast<std::uint32_t>(out[0]);
    }

    std::uint32_t single_[256];
    std::uint32_t pairs_[256 * 256];
};

// Wide characters to bytes. Code page 932 has no character outside the Basic
// Multilingual Plane, and iconv drops the language tags (U+E0000 to U+E007F)
// without a word; the table covers both ranges. Each entry holds the byte
// count in its high half and the bytes, first byte high, in its low half.
class ToAnsiTable {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    static const ToAnsiTable* Get() {
        static const std::unique_ptr<ToAnsiTable> table = Build();
        return table.get();
    }

    std::uint32_t Entry(wchar_t c) const {
        const auto code = static_cast<std::uint32_t>(c);
        if (code < kPlaneSize) {
            return entries_[code];
        }
        return code - kTagsFirst < kTagCount ? entries_[kPlaneSize + code - kTagsFirst] : kNone;
    }

private:
    static constexpr std::uint32_t kPlaneSize = 0x10000;
    static constexpr std::uint32_t kTagsFirst = 0xE0000;
    static constexpr std::uint32_t kTagCount = 0x80;

    static std::unique_ptr<ToAnsiTable> Build() {
        Converter converter(kAnsiCodePage, "WCHAR_T");
        if (!converter.ok()) {
            return nullptr;
        }
        auto table = std::make_unique<ToAnsiTable>();
        for (std::uint32_t index = 0; index < kPlaneSize + kTagCount; ++index) {
            const auto in =
                static_cast<wchar_t>(index < kPlaneSize ? index : kTagsFirst + index - kPlaneSize);
            unsigned char out[4] = {};
            const int bytes = converter.Whole(&in, sizeof(in), out, sizeof(out));
            std::uint32_t entry = kNone;
            if (bytes >= 0 && bytes <= 2) {
                entry = static_cast<std::uint32_t>(bytes) << 16;
                for (int i = 0; i < bytes; ++i) {
                    entry |= static_cast<std::uint32_t>(out[i]) << (8 * (bytes - 1 - i));
                }
            }
            table->entries_[index] = entry;
        }
        return table;
    }

    std::uint32_t entries_[kPlaneSize + kTagCount];
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

// Runs a conversion twice: to count the units it makes, then, when they fit,
// to write them. convert(put) calls put(unit) for each unit in order.
template <typename Unit, typename Convert>
int Deliver(Convert convert, Unit* dst, int capacity) {
    int needed = 0;
    convert([&needed](Unit) { ++needed; });
    if (dst == nullptr || capacity == 0) {
        return needed;
    }
    if (needed > capacity) {
        return 0;
    }
    Unit* out = dst;
    convert([&out](Unit unit) { *out++ = unit; });
    return needed;
}

}  // namespace

int AnsiToWide(AnsiPage, const char* src, int srcBytes, wchar_t* dst, int dstChars) {
    if (src == nullptr || srcBytes == 0 || srcBytes < -1 || dstChars < 0) {
        return 0;
    }
    const ToWideTable* table = ToWideTable::Get();
    if (table == nullptr) {
        return 0;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(src);
    const int count = SourceUnits(src, srcBytes);
    const auto convert = [&](auto put) {
        for (int i = 0; i < count; ++i) {
            const unsigned char byte = bytes[i];
            std::uint32_t c = table->Single(byte);
            if (c == ToWideTable::kNone && i + 1 < count) {
                c = table->Pair(byte, bytes[i + 1]);
                i += c != ToWideTable::kNone ? 1 : 0;
            }
            put(c != ToWideTable::kNone ? static_cast<wchar_t>(c) : kWideReplacement);
        }
    };
    return Deliver<wchar_t>(convert, dst, dstChars);
}

int WideToAnsi(AnsiPage, const wchar_t* src, int srcChars, char* dst, int dstBytes) {
    if (src == nullptr || srcChars == 0 || srcChars < -1 || dstBytes < 0) {
        return 0;
    }
    const ToAnsiTable* table = ToAnsiTable::Get();
    if (table == nullptr) {
        return 0;
    }
    const int count = SourceUnits(src, srcChars);
    const auto convert = [&](auto put) {
        for (int i = 0; i < count; ++i) {
            const std::uint32_t entry = table->Entry(src[i]);
            if (entry == ToAnsiTable::kNone) {
                put(kAnsiReplacement);
                continue;
            }
            for (int shift = 8 * (static_cast<int>(entry >> 16) - 1); shift >= 0; shift -= 8) {
                put(static_cast<char>((entry >> shift) & 0xFF));
            }
        }
    };
    return Deliver<char>(convert, dst, dstBytes);
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
