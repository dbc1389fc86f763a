// velkast-check on Linux: install roots come from the command line, and the
// script's paths are mapped onto the local file system.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/check/CheckCommand.h"
#include "tools/check/CheckFormat.h"

namespace {

void Write(std::FILE* stream, const std::wstring& text) {
    const std::string bytes = velkast::check::ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(velkast::check::FromUtf8(argv[i]));
    }
    const auto host = velkast::check::MakeLocalHost();
    const velkast::check::CommandResult result = velkast::check::RunCheckCommand(args, *host);
    Write(stdout, result.out);
    Write(stderr, result.err);
    return result.status;
}
