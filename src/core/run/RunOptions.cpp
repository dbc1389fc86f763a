#include "core/run/RunOptions.h"

namespace velkast {
namespace {

wchar_t LowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// The argument is the switch of this name: "/" or "-" and the name in any case.
bool IsSwitch(const std::wstring& argument, const std::wstring& name) {
    if (argument.size() != name.size() + 1 || (argument[0] != L'/' && argument[0] != L'-')) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (LowerAscii(argument[i + 1]) != name[i]) {
            return false;
        }
    }
    return true;
}

bool LooksLikeSwitch(const std::wstring& argument) {
    return !argument.empty() && (argument[0] == L'/' || argument[0] == L'-');
}

}  // namespace

RunOptions ParseRunOptions(const std::vector<std::wstring>& arguments) {
    RunOptions options;
    bool quiet = false;
    bool passive = false;
    // Only the first problem is told.
    const auto problem = [&](std::wstring text) {
        if (!options.problem) {
            options.problem = std::move(text);
        }
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (IsSwitch(argument, L"quiet")) {
            quiet = true;
        } else if (IsSwitch(argument, L"passive")) {
            passive = true;
        } else if (IsSwitch(argument, L"log")) {
            if (i + 1 == arguments.size()) {
                problem(L"\"" + argument + L"\" without a file name");
            } else {
                options.logPath = arguments[++i];
            }
        } else if (LooksLikeSwitch(argument)) {
            problem(L"unknown switch \"" + argument + L"\"");
        } else {
            problem(L"unexpected argument \"" + argument + L"\"");
        }
    }
    if (quiet && passive) {
        problem(L"/quiet and /passive together");
    }
    options.mode = quiet ? RunMode::Quiet : passive ? RunMode::Passive : RunMode::Interactive;
    return options;
}

}  // namespace velkast
