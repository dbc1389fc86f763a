#include "tools/pack/PackReport.h"

#include <algorithm>

namespace velkast::pack {

std::size_t Report::Count(Severity severity) const {
    return static_cast<std::size_t>(std::count_if(problems_.begin(), problems_.end(),
                                                  [&](const Problem& p) { return p.severity == severity; }));
}

std::wstring Report::Text() const {
    std::wstring text;
    for (const Problem& problem : problems_) {
        text += problem.where + (problem.severity == Severity::Error ? L": error: " : L": warning: ") +
                problem.text + L"\n";
    }
    return text;
}

}  // namespace velkast::pack
