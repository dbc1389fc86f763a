#include "core/script/LaunchLine.h"

#include "core/paths/Token.h"

namespace velkast {

std::wstring LaunchDocument(const std::wstring& launchField) {
    std::int32_t position = 0;
    NextToken(launchField, L"]", position);  // the first piece only names the line
    if (position == -1) {
        return std::wstring();
    }
    return NextToken(launchField, L"]", position);
}

}  // namespace velkast
