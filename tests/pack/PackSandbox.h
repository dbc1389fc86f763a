#pragma once
// A folder of the test's own under the system's temporary folder, with the
// trees, descriptions and program file that velkast-pack takes, removed with
// all that it holds when the object goes.

#include <filesystem>
#include <string>
#include <vector>

#include "tools/pack/PackCommand.h"

namespace velkast::pack::testing {

class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // The path below the sandbox, "/" separating names, in the build's form.
    std::filesystem::path Path(const std::wstring& relative) const;
    // Its text, as velkast-pack names it in its messages.
    std::wstring Text(const std::wstring& relative) const;

    // A file (its folders made), or a folder.
    void File(const std::wstring& relative, const std::string& bytes = "new");
    void Folder(const std::wstring& relative);
    // The description, written in UTF-8.
    void Description(const std::wstring& relative, const std::wstring& text);
    std::string Read(const std::wstring& relative) const;
    bool Exists(const std::wstring& relative) const;
    // Every file below the folder, relative to it with "/", sorted.
    std::vector<std::wstring> Files(const std::wstring& relative) const;

    // Runs velkast-pack with Velkast.exe beside it, in the sandbox's folder "tool".
    PackResult Pack(const std::vector<std::wstring>& args) const;

    // The bytes of the program file beside the tool.
    static const std::string kProgram;

private:
    std::filesystem::path root_;
};

// A file of the given size whose bytes depend on the seed, CR LF and NUL included.
std::string Contents(std::size_t size, unsigned seed);

}  // namespace velkast::pack::testing
