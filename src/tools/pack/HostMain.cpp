// velkast-pack on Linux: the package is checked with the script's paths
// mapped onto the local file system, as velkast-check maps them.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tools/pack/PackCommand.h"
#include "tools/pack/PackText.h"

int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(velkast::pack::Wide(argv[i]));
    }
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const velkast::pack::PackResult result = velkast::pack::RunPackCommand(args, self.parent_path());
    std::fputs(velkast::pack::Utf8(result.out).c_str(), stdout);
    std::fflush(stdout);
    std::fputs(velkast::pack::Utf8(result.err).c_str(), stderr);
    return result.status;
}
