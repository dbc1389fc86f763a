#pragma once
// From a package description to the package: the script's lines and the
// files laid out under the folders that its folder lines name. Everything
// that the script format cannot carry, or that the updater would read
// otherwise than meant, is reported here, before anything is written.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/pack/PackDescription.h"
#include "tools/pack/PackReport.h"

namespace velkast::pack {

// The install root assumed for the warning about long destination paths:
// as long as "C:\Program Files (x86)\Publisher Name\Application Name 2\".
constexpr std::size_t kDefaultRootLength = 64;

struct PackOptions {
    std::filesystem::path velkast;  // the program file to ship
    std::size_t rootLength = kDefaultRootLength;
};

struct PackageFile {
    std::wstring name;             // in the package, with backslashes
    std::filesystem::path source;  // where it comes from
};

struct PackPlan {
    std::wstring scriptText;  // the lines, each ending in CR LF
    std::string script;       // the same in code page 932: Update.up
    std::vector<PackageFile> files;
    std::size_t fileLines = 0;
    std::size_t blocks = 0;
    std::vector<std::wstring> keys;                    // of the blocks, in their order
    std::vector<std::filesystem::path> sourceFolders;  // the folders that files are taken from
};

// The plan of the package; the report says why it cannot be made, if so.
PackPlan PlanPackage(const PackageDescription& description, const PackOptions& options, Report& report);

}  // namespace velkast::pack
