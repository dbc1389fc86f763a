#include "PackSandbox.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "tools/pack/PackText.h"

namespace fs = std::filesystem;

namespace velkast::pack::testing {

const std::string Sandbox::kProgram = std::string("MZ\x90\0\x03\0program", 13);

Sandbox::Sandbox() {
    static std::atomic<unsigned> count{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    // A blank and Japanese in the name, as in a user's folders.
    root_ = fs::temp_directory_path() /
            PathOf(L"velkast-pack テスト " + std::to_wstring(stamp) + L"-" + std::to_wstring(count++));
    fs::create_directories(root_);
    File(L"tool/Velkast.exe", kProgram);
}

Sandbox::~Sandbox() {
    std::error_code error;
    // Files that a test made read-only must go too.
    for (auto it = fs::recursive_directory_iterator(root_, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    fs::remove_all(root_, error);
}

fs::path Sandbox::Path(const std::wstring& relative) const {
    return (root_ / PathOf(relative)).make_preferred();
}

std::wstring Sandbox::Text(const std::wstring& relative) const {
    return TextOf(Path(relative));
}

void Sandbox::File(const std::wstring& relative, const std::string& bytes) {
    const fs::path path = Path(relative);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + Utf8(relative));
    }
}

void Sandbox::Folder(const std::wstring& relative) {
    fs::create_directories(Path(relative));
}

void Sandbox::Description(const std::wstring& relative, const std::wstring& text) {
    File(relative, Utf8(text));
}

std::string Sandbox::Read(const std::wstring& relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Sandbox::Exists(const std::wstring& relative) const {
    std::error_code error;
    return fs::exists(Path(relative), error);
}

std::vector<std::wstring> Sandbox::Files(const std::wstring& relative) const {
    std::vector<std::wstring> files;
    const fs::path folder = Path(relative);
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file()) {
            const std::u8string name = it->path().lexically_relative(folder).generic_u8string();
            files.push_back(Wide(std::string(name.begin(), name.end())));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

PackResult Sandbox::Pack(const std::vector<std::wstring>& args) const {
    return RunPackCommand(args, Path(L"tool"));
}

std::string Contents(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned value = seed * 2654435761u + 1;
    for (char& c : bytes) {
        value = value * 1103515245u + 12345u;
        c = static_cast<char>(value >> 16);
    }
    if (size >= 4) {
        bytes.replace(0, 4, std::string("\r\n\0\x5C", 4));
    }
    return bytes;
}

}  // namespace velkast::pack::testing
