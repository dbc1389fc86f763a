#pragma once
// Whether the Japanese texts of Velkast's two dialogs fit their controls with
// the fonts that Wine puts in place of the dialogs' fonts ("ＭＳ Ｐゴシック"
// and "MS UI Gothic", replaced in the prefix by scripts/wine-prefix.sh).

#include <string>
#include <vector>

namespace velkast::e2e {

// The texts that do not fit on one line of their control, each with the
// size it needs and the size it has; empty when all fit. The dialogs are
// made from the templates of the given Velkast.exe, in this process, with the
// same fonts as the program gets. Besides the templates' own texts, the
// texts that the program puts into the copy dialog are tried.
std::vector<std::wstring> TextsThatDoNotFit(const std::wstring& velkastExe);

// The replacement face that the prefix names for a font, or empty.
std::wstring FontReplacement(const std::wstring& face);

}  // namespace velkast::e2e
