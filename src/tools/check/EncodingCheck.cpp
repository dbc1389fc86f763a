#include "tools/check/EncodingCheck.h"

#include <algorithm>
#include <string_view>

#include "tools/check/Utf8.h"

namespace velkast::check {
namespace {

std::uint32_t LineOfByte(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(1 + std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

}  // namespace

void CheckEncoding(const std::string& bytes, Diagnostics& out) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const std::size_t nul = bytes.find('\0');
    const std::size_t nuls = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\0'));
    const bool utf16Mark =
        bytes.size() >= 2 && ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF));
    if (utf16Mark || (bytes.size() >= 4 && nuls * 4 >= bytes.size())) {
        out.Add(1, Severity::Warning, "utf16",
                L"the file is UTF-16: the updater reads it as ANSI text (code page 932) and stops at its "
                L"first NUL "
                L"byte, so it sees almost nothing of it; save the script as Shift-JIS");
        return;
    }
    if (nul != std::string::npos) {
        out.Add(LineOfByte(bytes, nul), Severity::Warning, "nul",
                L"the file holds a NUL byte here: the updater stops reading at it and ignores the rest of "
                L"the file");
    }
    const std::size_t end = nul == std::string::npos ? bytes.size() : nul;
    const bool utf8Mark = end >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF;
    if (utf8Mark) {
        out.Add(
            1, Severity::Warning, "bom",
            L"the file begins with a UTF-8 byte order mark: the updater does not skip it but reads its bytes "
            L"as the start of the launch line; save the script as Shift-JIS without one");
    }
    std::size_t firstWide = std::string::npos;
    bool valid = true;
    for (std::size_t i = utf8Mark ? 3 : 0; i < end && valid;) {
        if (at(i) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(std::string_view(bytes).substr(0, end), i);
        if (length == 0) {
            valid = false;
        } else {
            firstWide = std::min(firstWide, i);
            i += length;
        }
    }
    if (valid && firstWide != std::string::npos) {
        out.Add(LineOfByte(bytes, firstWide), Severity::Warning, "utf8",
                L"the file is UTF-8 with non-ASCII text: the updater reads it in the ANSI code page (932, "
                L"Shift-JIS), where this text turns into other characters; save the script as Shift-JIS");
    }
    if (bytes.find('\n') == std::string::npos) {
        const std::size_t cr = bytes.substr(0, end).find('\r');
        if (cr != std::string::npos && cr + 1 < end) {
            out.Add(
                1, Severity::Warning, "cr-line-ends",
                L"the lines end with CR alone: the updater ends lines at LF only, so it reads the whole file "
                L"as one line, the launch line");
        }
    }
}

}  // namespace velkast::check
