#pragma once
// What the copy plan builder needs of the system besides the script: the
// registry, file tests and message boxes.

#include <cstdint>
#include <optional>
#include <string>

#include "core/paths/InstallRoot.h"

namespace velkast {

class PlanSystem : public InstallDirSource {
public:
    // True when the path has no file attributes: neither a file nor a folder.
    virtual bool IsPathMissing(const std::wstring& path) = 0;

    // Opens the file for reading and closes it again, giving its size. When
    // it cannot be opened, the user has been shown why and there is no size.
    virtual std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path) = 0;

    // One of the plan builder's own boxes: an OK button, no icon, topmost,
    // owned by the copy dialog. A null caption leaves the system's default.
    virtual void ShowPlanMessage(const std::wstring& text, const wchar_t* caption) = 0;
};

}  // namespace velkast
