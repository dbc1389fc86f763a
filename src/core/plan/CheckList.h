#pragma once
// The check list of a parameter block: "None", or a check mode followed by
// names below the install root, all separated by commas.

#include <cstdint>
#include <string>
#include <vector>

namespace velkast {

// The check list that verifies nothing.
constexpr wchar_t kNoCheckList[] = L"None";

struct CheckListParts {
    std::wstring modeText;            // the first piece
    std::int32_t mode = 0;            // the first piece as a script number
    std::vector<std::wstring> names;  // the other pieces; no piece is empty

    // With check mode 0 one of the names must exist, with any other all of them.
    bool needsAll() const { return mode != 0; }
};

// The check list cut at its commas, runs of commas counting as one.
CheckListParts SplitCheckList(const std::wstring& text);

}  // namespace velkast
