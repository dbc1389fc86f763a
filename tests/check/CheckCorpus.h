#pragma once
// The scripts of fuzz/corpus/, built into the test program.

#include <string>
#include <vector>

namespace velkast::check::testing {

struct CorpusScript {
    std::string name;
    std::string bytes;
};

const std::vector<CorpusScript>& CorpusScripts();

}  // namespace velkast::check::testing
