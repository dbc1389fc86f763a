#include "tools/check/HostCheckSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/paths/Token.h"
#include "tools/check/Utf8.h"

namespace velkast::check {
namespace {

bool SameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

bool SameNoCase(const std::wstring& a, const std::wstring& b) {
    return SameNoCase(ToUtf8(a), ToUtf8(b));
}

bool Exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

// The entry of the folder whose name matches regardless of ASCII case.
std::string FindNoCase(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return name;
    }
    std::string found = name;
    while (const dirent* entry = readdir(dir)) {
        if (SameNoCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

std::wstring ErrorText(int code) {
    return FromUtf8(std::strerror(code));
}

// Resolves "." and ".." in an absolute path, without asking the file system.
std::wstring Normalised(const std::wstring& path) {
    std::vector<std::wstring> names;
    for (const std::wstring& name : Tokens(path, L"/")) {
        if (name == L"..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (name != L".") {
            names.push_back(name);
        }
    }
    std::wstring result;
    for (const std::wstring& name : names) {
        result += L"/" + name;
    }
    return result.empty() ? L"/" : result;
}

class LinuxHost : public CheckHost {
public:
    bool ReadFile(const std::wstring& path, std::string& bytes, std::wstring& reason) override {
        std::FILE* file = std::fopen(ToUtf8(path).c_str(), "rb");
        if (file == nullptr) {
            reason = ErrorText(errno);
            return false;
        }
        char buffer[65536];
        std::size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
            bytes.append(buffer, read);
        }
        const bool failed = std::ferror(file) != 0;
        std::fclose(file);
        if (failed) {
            reason = ErrorText(EIO);
        }
        return !failed;
    }

    std::wstring AbsolutePath(const std::wstring& path) override {
        if (!path.empty() && path[0] == L'/') {
            return Normalised(path);
        }
        std::string folder(4096, '\0');
        if (getcwd(folder.data(), folder.size()) == nullptr) {
            return path;
        }
        folder.resize(std::strlen(folder.c_str()));
        return Normalised(FromUtf8(folder) + L"/" + path);
    }

    bool TakesInstallDirs() const override { return true; }

    std::unique_ptr<CheckSystem> MakeSystem(const std::vector<InstallDirOption>& installDirs) override {
        return std::make_unique<HostCheckSystem>(installDirs);
    }
};

}  // namespace

bool HostCheckSystem::ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) {
    for (const InstallDirOption& option : installDirs_) {
        if (option.hive == hive && SameNoCase(option.key, key)) {
            if (option.folder.size() >= kMaxPath) {
                return false;
            }
            std::copy(option.folder.begin(), option.folder.end(), value);
            return true;
        }
    }
    return false;
}

bool HostCheckSystem::IsPathMissing(const std::wstring& path) {
    return !Exists(LocalPath(path));
}

std::optional<std::uint64_t> HostCheckSystem::OpenForReadSize(const std::wstring& path,
                                                              std::wstring& reason) {
    const std::string local = LocalPath(path);
    struct stat status {};
    if (stat(local.c_str(), &status) != 0) {
        reason = ErrorText(errno);
        return std::nullopt;
    }
    // Windows opens no folder as a file.
    if (S_ISDIR(status.st_mode)) {
        reason = ErrorText(EISDIR);
        return std::nullopt;
    }
    const int file = open(local.c_str(), O_RDONLY);
    if (file < 0) {
        reason = ErrorText(errno);
        return std::nullopt;
    }
    close(file);
    return static_cast<std::uint64_t>(status.st_size);
}

std::wstring HostCheckSystem::ShownPath(const std::wstring& path) const {
    std::wstring shown = path;
    std::replace(shown.begin(), shown.end(), L'\\', L'/');
    return shown;
}

std::unique_ptr<CheckHost> MakeLocalHost() {
    return std::make_unique<LinuxHost>();
}

std::string HostCheckSystem::LocalPath(const std::wstring& path) {
    std::wstring slashed = path;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    const std::size_t lastBegin = slashed.rfind(L'/') == std::wstring::npos ? 0 : slashed.rfind(L'/') + 1;
    const std::wstring last = slashed.substr(lastBegin);
    if (last != L"." && last != L"..") {
        while (slashed.size() > lastBegin && (slashed.back() == L' ' || slashed.back() == L'.')) {
            slashed.pop_back();
        }
    }

    const std::string text = ToUtf8(slashed);
    std::string local = !text.empty() && text[0] == '/' ? "/" : "";
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find('/', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string name = text.substr(begin, end - begin);
        if (!name.empty()) {
            if (!local.empty() && local.back() != '/') {
                local.push_back('/');
            }
            const bool plain = name == "." || name == ".." || Exists(local + name);
            local += plain ? name : FindNoCase(local, name);
        }
        begin = end + 1;
    }
    if (!text.empty() && text.back() == '/' && (local.empty() || local.back() != '/')) {
        local.push_back('/');
    }
    return local;
}

}  // namespace velkast::check
