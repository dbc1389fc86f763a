#include "tools/pack/PackTree.h"

#include <algorithm>
#include <system_error>

#include "tools/pack/PackText.h"

namespace fs = std::filesystem;

namespace velkast::pack {
namespace {

// Lists one folder; false when nothing below it is a file.
bool ListFolder(const fs::path& folder, std::vector<std::wstring>& names, Tree& tree, Report& report) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        report.Error(TextOf(folder), L"cannot be listed: " + Wide(error.message()));
        return true;
    }
    std::vector<std::pair<std::wstring, fs::path>> files;
    std::vector<std::pair<std::wstring, fs::path>> folders;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        const fs::path path = it->path();
        const std::wstring name = TextOf(path.filename());
        const fs::file_status link = fs::symlink_status(path, error);
        const fs::file_status status = fs::status(path, error);
        if (fs::is_directory(status) && fs::is_symlink(link)) {
            report.Error(TextOf(path), L"a link to a folder: give the folder itself");
        } else if (fs::is_directory(status)) {
            folders.emplace_back(name, path);
        } else if (fs::is_regular_file(status)) {
            files.emplace_back(name, path);
        } else {
            report.Error(TextOf(path), L"neither a file nor a folder");
        }
    }
    if (error) {
        report.Error(TextOf(folder), L"cannot be listed: " + Wide(error.message()));
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    for (const auto& [name, path] : files) {
        names.push_back(name);
        tree.files.push_back(TreeFile{names, path});
        names.pop_back();
    }
    bool any = !files.empty();
    for (const auto& [name, path] : folders) {
        names.push_back(name);
        const std::size_t emptyBefore = tree.emptyFolders.size();
        if (ListFolder(path, names, tree, report)) {
            any = true;
        } else {
            // Only the outermost empty folder is named.
            tree.emptyFolders.resize(emptyBefore);
            tree.emptyFolders.push_back(path);
        }
        names.pop_back();
    }
    return any;
}

}  // namespace

Tree ListTree(const fs::path& root, Report& report) {
    Tree tree;
    std::error_code error;
    if (!fs::is_directory(root, error)) {
        report.Error(TextOf(root), error ? L"cannot be read: " + Wide(error.message()) : L"is not a folder");
        return tree;
    }
    std::vector<std::wstring> names;
    if (!ListFolder(root, names, tree, report)) {
        tree.emptyFolders = {root};
    }
    return tree;
}

std::wstring Joined(const std::vector<std::wstring>& names) {
    std::wstring joined;
    for (const std::wstring& name : names) {
        joined += (joined.empty() ? L"" : L"\\") + name;
    }
    return joined;
}

}  // namespace velkast::pack
