#pragma once
// The script checker's verdict on a package that velkast-pack has written:
// velkast-check's own command, run on the package's Update.up, with install
// roots that are assumed rather than read from this machine's registry.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velkast::pack {

struct Verdict {
    int status = 0;        // velkast-check's: 0 or 1 accepted, 2 refused, 64 usage error
    std::wstring plan;     // its report
    std::wstring assumed;  // the install roots assumed, one a line
};

// velkast-check's complaint about the "KEY=FOLDER" texts, or none when it
// takes them all.
std::optional<std::wstring> InstallDirProblem(const std::vector<std::wstring>& installDirs);

// Checks the script of the package being written in the folder "written"
// as the updater will read it from the folder "package": paths are those of
// the package, files are read from where they are now. Each "KEY=FOLDER" (velkast-check's
// --installdir) gives a key's install root; every other key is taken as
// installed in a root of rootLength characters that no file system holds,
// where every name of the check list exists.
Verdict CheckPackage(const std::filesystem::path& written,
                     const std::filesystem::path& package,
                     const std::vector<std::wstring>& installDirs,
                     std::size_t rootLength);

}  // namespace velkast::pack
