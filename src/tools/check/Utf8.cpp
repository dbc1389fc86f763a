#include "tools/check/Utf8.h"

#include <cstdint>

namespace velkast::check {

std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t offset) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(offset);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (offset + length > bytes.size() || at(offset + 1) < low || at(offset + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (at(offset + k) < 0x80 || at(offset + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

std::string ToUtf8(const std::wstring& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto code = static_cast<std::uint32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() &&
                static_cast<std::uint32_t>(text[i + 1]) >= 0xDC00 &&
                static_cast<std::uint32_t>(text[i + 1]) <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<std::uint32_t>(text[i + 1]) - 0xDC00);
                ++i;
            }
        }
        if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    std::wstring out;
    const auto put = [&](std::uint32_t code) {
        if constexpr (sizeof(wchar_t) == 2) {
            if (code >= 0x10000) {
                code -= 0x10000;
                out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
                out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
                return;
            }
        }
        out.push_back(static_cast<wchar_t>(code));
    };
    // The bits that the lead byte of a sequence of each length carries.
    static const std::uint32_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            put(0xFFFD);
            ++i;
            continue;
        }
        std::uint32_t code = static_cast<unsigned char>(text[i]) & kLeadBits[length];
        for (std::size_t k = 1; k < length; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        put(code);
        i += length;
    }
    return out;
}

}  // namespace velkast::check
