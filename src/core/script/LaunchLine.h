#pragma once

#include <string>

namespace velkast {

// The document that the launch line (the first field of the script's first
// line with content) names, relative to the program folder: the second piece
// of the line cut at every "]", empty pieces dropped. Empty when there is
// none: "[Guide]readme.txt" names readme.txt, "[a]b]c" names b, "[Guide",
// "]b" and "" name nothing.
std::wstring LaunchDocument(const std::wstring& launchField);

}  // namespace velkast
