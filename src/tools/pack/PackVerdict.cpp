#include "tools/pack/PackVerdict.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "core/paths/PathText.h"
#include "core/paths/ProgramFolder.h"
#include "tools/check/CheckCommand.h"
#include "tools/check/ScriptCheck.h"
#include "tools/pack/PackText.h"

namespace velkast::pack {
namespace {

// Registry keys compare as the registry compares them (ASCII case ignored).
bool SameKey(const std::wstring& a, const std::wstring& b) {
    const auto upper = [](wchar_t c) {
        return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](wchar_t x, wchar_t y) { return upper(x) == upper(y); });
}

// A folder of exactly the length, ending in a backslash, that names itself
// as assumed.
std::wstring AssumedRoot(std::size_t index, std::size_t length) {
    const std::wstring number = std::to_wstring(index);
    for (const std::wstring& stem : {L"C:\\Program Files (x86)\\Assumed root " + number, L"C:\\R" + number}) {
        if (stem.size() + 1 <= length) {
            return stem + std::wstring(length - stem.size() - 1, L'_') + L"\\";
        }
    }
    return L"C:\\R" + number + L"\\";
}

struct Assumptions {
    std::vector<std::pair<std::wstring, std::wstring>> roots;  // key, root
    // The program folder that the checker is given, and where its files are.
    std::wstring package;
    std::wstring written;
    // The script as the checker names it, and where it is.
    std::wstring scriptName;
    std::wstring scriptFile;
};

// The checker's system with install roots of the package's author: the
// roots given on the command line, and for every other key one assumed,
// which holds every name of a check list. Files come from the real system.
class AssumedRootsSystem : public check::CheckSystem {
public:
    AssumedRootsSystem(std::unique_ptr<check::CheckSystem> files,
                       std::vector<check::InstallDirOption> given,
                       std::size_t rootLength,
                       Assumptions& assumptions)
        : files_(std::move(files)),
          given_(std::move(given)),
          rootLength_(rootLength),
          assumptions_(assumptions) {}

    bool ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) override {
        bool named = false;
        for (const check::InstallDirOption& option : given_) {
            if (!SameKey(option.key, key)) {
                continue;
            }
            named = true;
            if (option.hive == hive && option.folder.size() < kMaxPath) {
                std::copy(option.folder.begin(), option.folder.end(), value);
                return true;
            }
        }
        if (named || hive != RegistryHive::CurrentUser) {
            return false;
        }
        const std::wstring root = Assumed(key);
        std::copy(root.begin(), root.end(), value);
        return true;
    }

    bool IsPathMissing(const std::wstring& path) override {
        return !IsAssumed(path) && files_->IsPathMissing(Written(path));
    }

    std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path, std::wstring& reason) override {
        return files_->OpenForReadSize(Written(path), reason);
    }

    std::wstring ShownPath(const std::wstring& path) const override {
        return IsAssumed(path) ? path : files_->ShownPath(path);
    }

private:
    std::wstring Assumed(const std::wstring& key) {
        for (const auto& [assumedKey, root] : assumptions_.roots) {
            if (SameKey(assumedKey, key)) {
                return root;
            }
        }
        assumptions_.roots.emplace_back(key, AssumedRoot(assumptions_.roots.size() + 1, rootLength_));
        return assumptions_.roots.back().second;
    }

    // Where a path of the package is while it is being written.
    std::wstring Written(const std::wstring& path) const {
        const std::wstring& package = assumptions_.package;
        if (package.empty() || path.compare(0, package.size(), package) != 0) {
            return path;
        }
        return assumptions_.written + path.substr(package.size());
    }

    bool IsAssumed(const std::wstring& path) const {
        return std::any_of(assumptions_.roots.begin(), assumptions_.roots.end(),
                           [&](const auto& assumed) { return path.rfind(assumed.second, 0) == 0; });
    }

    std::unique_ptr<check::CheckSystem> files_;
    std::vector<check::InstallDirOption> given_;
    std::size_t rootLength_;
    Assumptions& assumptions_;
};

// The checker's host of this build, whose systems take the assumed roots.
class AssumingHost : public check::CheckHost {
public:
    AssumingHost(std::size_t rootLength, Assumptions& assumptions)
        : local_(check::MakeLocalHost()), rootLength_(rootLength), assumptions_(assumptions) {}

    bool ReadFile(const std::wstring& path, std::string& bytes, std::wstring& reason) override {
        return local_->ReadFile(path == assumptions_.scriptName ? assumptions_.scriptFile : path, bytes,
                                reason);
    }
    std::wstring AbsolutePath(const std::wstring& path) override { return local_->AbsolutePath(path); }
    // The program folder that the checker forms from the folder.
    std::wstring ProgramFolder(const std::filesystem::path& folder) {
        return ProgramFolderOf(local_->AbsolutePath(TextOf(folder)));
    }
    // The roots are the author's, on every build.
    bool TakesInstallDirs() const override { return true; }
    std::unique_ptr<check::CheckSystem> MakeSystem(
        const std::vector<check::InstallDirOption>& installDirs) override {
        return std::make_unique<AssumedRootsSystem>(local_->MakeSystem(installDirs), installDirs, rootLength_,
                                                    assumptions_);
    }

private:
    std::unique_ptr<check::CheckHost> local_;
    std::size_t rootLength_;
    Assumptions& assumptions_;
};

std::vector<std::wstring> InstallDirArgs(const std::vector<std::wstring>& installDirs) {
    std::vector<std::wstring> args;
    for (const std::wstring& installDir : installDirs) {
        args.push_back(L"--installdir");
        args.push_back(installDir);
    }
    return args;
}

}  // namespace

std::optional<std::wstring> InstallDirProblem(const std::vector<std::wstring>& installDirs) {
    // The checker reads its options in order and answers --help once it has
    // taken those before: a usage error instead means an --installdir it
    // does not take.
    std::vector<std::wstring> args = InstallDirArgs(installDirs);
    args.push_back(L"--help");
    Assumptions assumptions;
    AssumingHost host(kMaxPath - 1, assumptions);
    const check::CommandResult result = check::RunCheckCommand(args, host);
    if (result.status != check::kUsageError) {
        return std::nullopt;
    }
    const std::wstring prefix = L"velkast-check: ";
    std::wstring text = result.err.substr(0, result.err.find(L'\n'));
    if (text.rfind(prefix, 0) == 0) {
        text.erase(0, prefix.size());
    }
    return text;
}

Verdict CheckPackage(const std::filesystem::path& written,
                     const std::filesystem::path& package,
                     const std::vector<std::wstring>& installDirs,
                     std::size_t rootLength) {
    std::vector<std::wstring> args = InstallDirArgs(installDirs);
    args.push_back(L"--program-folder");
    args.push_back(TextOf(package));
    args.push_back(L"--");
    args.push_back(TextOf(package / "Update.up"));
    Assumptions assumptions;
    assumptions.scriptName = args.back();
    assumptions.scriptFile = TextOf(written / "Update.up");
    AssumingHost host(rootLength, assumptions);
    assumptions.package = host.ProgramFolder(package);
    assumptions.written = host.ProgramFolder(written);
    const check::CommandResult result = check::RunCheckCommand(args, host);
    Verdict verdict;
    verdict.status = result.status;
    verdict.plan = result.out;
    for (const auto& [key, root] : assumptions.roots) {
        verdict.assumed += L"assumed install root of " + key + L": " + root +
                           L" (not on this machine; every name of the check list taken as there)\n";
    }
    return verdict;
}

}  // namespace velkast::pack
