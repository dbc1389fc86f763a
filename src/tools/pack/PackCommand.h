#pragma once
// The command line of velkast-pack, apart from the process: the arguments
// in, the texts for standard output and standard error and the exit status
// out. The package is made in a folder beside the target and renamed into
// place once the checker has accepted it, so that a refused or interrupted
// run never leaves half a package.

#include <filesystem>
#include <string>
#include <vector>

namespace velkast::pack {

// Exit status of a usage error (EX_USAGE); 2 means nothing was written.
constexpr int kUsageError = 64;
constexpr int kRefused = 2;

struct PackResult {
    int status = 0;
    std::wstring out;
    std::wstring err;
};

// toolFolder is where Velkast.exe is looked for when --velkast does not name it.
PackResult RunPackCommand(const std::vector<std::wstring>& args, const std::filesystem::path& toolFolder);

}  // namespace velkast::pack
