#include "core/paths/InstallRoot.h"

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <vector>

namespace velkast {
namespace {

PathBuffer g_installRoot;
PathBuffer g_pathSlots[kPathSlotCount];

constexpr std::size_t kFormattedMax = 1023;

// The text vswprintf makes of the format, cut at 1023 characters.
std::wstring FormatCut(const wchar_t* format, va_list args) {
    if (format == nullptr) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(kFormattedMax + 1);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int written = std::vswprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (written >= 0) {
            return std::wstring(buffer.data(), std::min<std::size_t>(written, kFormattedMax));
        }
        // A result that does not fit gives no count; try a larger buffer so
        // that the first 1023 characters come out right, up to a bound.
        if (buffer.size() >= (std::size_t{1} << 20)) {
            return std::wstring();
        }
        buffer.resize(buffer.size() * 4);
    }
}

}  // namespace

PathBuffer& InstallRootBuffer() {
    return g_installRoot;
}

PathBuffer& PathSlot(std::uint8_t index) {
    return g_pathSlots[std::min<std::uint8_t>(index, kPathSlotCount - 1)];
}

void ClearPathBuffers() {
    std::fill(std::begin(g_installRoot), std::end(g_installRoot), L'\0');
    for (auto& slot : g_pathSlots) {
        std::fill(std::begin(slot), std::end(slot), L'\0');
    }
}

bool GetInstallDir(InstallDirSource& registry, const std::wstring& key, RegistryHive hive) {
    ClearPathBuffers();
    PathBuffer value = {};
    if (!registry.ReadInstallDir(hive, key, value)) {
        return false;
    }
    // The value is taken up to its first NUL, and never past the buffer: one
    // that fills all 260 characters has no room for its backslash either.
    std::wstring root(value, std::find(std::begin(value), std::end(value), L'\0'));
    AddBackslash(root);
    if ((!root.empty() && root.back() != L'\\') || root.size() >= kMaxPath) {
        return false;
    }
    CopyPathText(g_installRoot, root.c_str());
    return true;
}

const wchar_t* MakeRootPath(std::uint8_t slot, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring path = std::wstring(g_installRoot) + FormatCut(format, args);
    va_end(args);
    ToBackslashes(path);
    CollapseBackslashes(path);
    PathBuffer& target = PathSlot(slot);
    CopyPathText(target, path.c_str());
    return target;
}

}  // namespace velkast
