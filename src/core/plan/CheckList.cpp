#include "core/plan/CheckList.h"

#include <iterator>

#include "core/paths/Token.h"
#include "core/plan/ScriptNumber.h"

namespace velkast {

CheckListParts SplitCheckList(const std::wstring& text) {
    CheckListParts parts;
    std::vector<std::wstring> pieces = Tokens(text, L",");
    if (!pieces.empty()) {
        parts.modeText = std::move(pieces.front());
        parts.names.assign(std::make_move_iterator(pieces.begin() + 1),
                           std::make_move_iterator(pieces.end()));
    }
    parts.mode = ParseScriptNumber(parts.modeText);
    return parts;
}

}  // namespace velkast
