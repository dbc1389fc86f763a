#include "tools/pack/PackCommand.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "core/paths/PathText.h"
#include "tools/pack/PackDescription.h"
#include "tools/pack/PackPlan.h"
#include "tools/pack/PackText.h"
#include "tools/pack/PackVerdict.h"

namespace fs = std::filesystem;

namespace velkast::pack {
namespace {

constexpr wchar_t kStagingSuffix[] = L".velkast-tmp";
constexpr wchar_t kOldSuffix[] = L".velkast-old";

const wchar_t kUsage[] =
    L"usage: velkast-pack [DESCRIPTION] --output FOLDER [options]\n"
    L"Writes an update package: Velkast.exe, Update.up (code page 932, CR LF) and the files of the\n"
    L"update laid out under the folders that the script names; then checks it as velkast-check does.\n"
    L"\n"
    L"  -o, --output FOLDER        the package folder to write\n"
    L"  --replace                  replace the package folder if it exists\n"
    L"  --velkast PATH             the Velkast.exe to ship (default: the one beside velkast-pack)\n"
    L"  --installdir KEY=FOLDER    check with this install root for the key (HKLM\\KEY for\n"
    L"                             HKEY_LOCAL_MACHINE); other keys are checked with an assumed root\n"
    L"  --root-length N            characters of the install root to assume for long paths (default 64)\n"
    L"The package, replacing or adding to the description's [package] and [postprocess]:\n"
    L"  --title TEXT  --launch DOCUMENT  --include FOLDER  --post-process ITEM\n"
    L"One block, replacing the values of the description's only block, or making it:\n"
    L"  --key KEY  --check LIST  --mode required|exclusive|optional|N  --message TEXT\n"
    L"  --folder PACKAGE-FOLDER  --source FOLDER\n"
    L"  --help                     this text\n"
    L"\n"
    L"Exit status: 0 written, 1 written with warnings, 2 refused (nothing written), 64 usage error.\n";

PackResult UsageError(const std::wstring& message) {
    return PackResult{kUsageError, L"", L"velkast-pack: " + message + L"\nTry 'velkast-pack --help'.\n"};
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::wstring Trimmed(const std::wstring& text) {
    const std::size_t begin = text.find_first_not_of(L" \t");
    return begin == std::wstring::npos ? std::wstring()
                                       : text.substr(begin, text.find_last_not_of(L" \t") - begin + 1);
}

// A folder path without a trailing separator, absolute, in the build's form.
fs::path FolderPath(const fs::path& path) {
    fs::path absolute = fs::absolute(path).lexically_normal();
    if (absolute.filename().empty() && absolute.has_parent_path() && absolute != absolute.root_path()) {
        absolute = absolute.parent_path();
    }
    return absolute.make_preferred();
}

bool IsWithin(const fs::path& inner, const fs::path& outer) {
    const fs::path relative = inner.lexically_relative(outer);
    return !relative.empty() && *relative.begin() != "..";
}

std::wstring Replaced(std::wstring text, const std::wstring& from, const std::wstring& to) {
    for (std::size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

struct Arguments {
    std::optional<std::wstring> description;
    std::optional<std::wstring> output;
    std::optional<std::wstring> velkast;
    std::vector<std::wstring> installDirs;
    std::size_t rootLength = kDefaultRootLength;
    bool replace = false;
    std::optional<Value> title, launch, item;
    std::vector<Value> includes;
    BlockDescription block;
};

// Where an option that gives one value of the description keeps it.
std::optional<Value>* ValueSlot(Arguments& arguments, const std::wstring& name) {
    const std::pair<const wchar_t*, std::optional<Value>*> slots[] = {{L"--title", &arguments.title},
                                                                      {L"--launch", &arguments.launch},
                                                                      {L"--post-process", &arguments.item}};
    for (const auto& [option, slot] : slots) {
        if (name == option) {
            return slot;
        }
    }
    for (const BlockField& field : BlockFields()) {
        if (name == L"--" + std::wstring(field.key)) {
            return &(arguments.block.*field.value);
        }
    }
    return nullptr;
}

// Everything of the package but Update.up, then Update.up.
bool WritePackage(const PackPlan& plan, const fs::path& folder, Report& report) {
    std::error_code error;
    for (const PackageFile& file : plan.files) {
        const fs::path target = folder / PathOf(Replaced(file.name, L"\\", L"/"));
        fs::create_directories(target.parent_path(), error);
        if (!error) {
            fs::copy_file(file.source, target, fs::copy_options::overwrite_existing, error);
        }
        if (!error) {
            // A read-only source stays removable in the package.
            fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, error);
        }
        if (error) {
            report.Error(TextOf(file.source),
                         L"cannot be copied to " + TextOf(target) + L": " + Wide(error.message()));
            return false;
        }
    }
    const fs::path script = folder / "Update.up";
    std::ofstream out(script, std::ios::binary);
    out.write(plan.script.data(), static_cast<std::streamsize>(plan.script.size()));
    out.close();
    if (!out) {
        report.Error(TextOf(script), L"cannot be written");
        return false;
    }
    return true;
}

// What an interrupted run left beside the target: a folder being written is
// removed; a package set aside while the new one took its place is put back
// unless the new one is there.
void Recover(const fs::path& target, const fs::path& staging, const fs::path& old, std::wstring& out) {
    std::error_code error;
    if (fs::exists(staging, error)) {
        fs::remove_all(staging, error);
        out += L"removed " + TextOf(staging) + L", left by an interrupted run\n";
    }
    if (fs::exists(old, error)) {
        if (fs::exists(target, error)) {
            fs::remove_all(old, error);
        } else {
            fs::rename(old, target, error);
            out += L"put back " + TextOf(target) + L", set aside by an interrupted run\n";
        }
    }
}

bool MoveIntoPlace(const fs::path& staging, const fs::path& target, const fs::path& old, Report& report) {
    std::error_code error;
    const bool replacing = fs::exists(target, error);
    if (replacing) {
        fs::rename(target, old, error);
        if (error) {
            report.Error(TextOf(target), L"cannot be set aside to be replaced: " + Wide(error.message()));
            return false;
        }
    }
    fs::rename(staging, target, error);
    if (error) {
        report.Error(TextOf(target), L"cannot be put in place: " + Wide(error.message()));
        std::error_code ignored;
        if (replacing) {
            fs::rename(old, target, ignored);
        }
        return false;
    }
    if (replacing) {
        fs::remove_all(old, error);
        if (error) {
            report.Warning(TextOf(old), L"the replaced package cannot be removed: " + Wide(error.message()));
        }
    }
    return true;
}

}  // namespace

PackResult RunPackCommand(const std::vector<std::wstring>& args, const fs::path& toolFolder) {
    Arguments arguments;
    const fs::path here = fs::current_path();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        std::optional<std::wstring> inlineValue;
        std::wstring name = arg;
        if (StartsWith(arg, L"--") && arg.find(L'=') != std::wstring::npos) {
            name = arg.substr(0, arg.find(L'='));
            inlineValue = arg.substr(arg.find(L'=') + 1);
        }
        const auto value = [&]() -> std::optional<std::wstring> {
            if (inlineValue) {
                return inlineValue;
            }
            if (i + 1 < args.size()) {
                return args[++i];
            }
            return std::nullopt;
        };
        if (!StartsWith(arg, L"-") || arg == L"-") {
            if (arguments.description) {
                return UsageError(L"one description at a time");
            }
            arguments.description = arg;
        } else if (name == L"--help" || name == L"-h") {
            return PackResult{0, kUsage, L""};
        } else if (name == L"--replace") {
            arguments.replace = true;
        } else if (name == L"--output" || name == L"-o" || name == L"--velkast" || name == L"--installdir" ||
                   name == L"--root-length" || name == L"--include") {
            const std::optional<std::wstring> text = value();
            if (!text || text->empty()) {
                return UsageError(name + L" needs a value");
            }
            if (name == L"--velkast") {
                arguments.velkast = *text;
            } else if (name == L"--installdir") {
                arguments.installDirs.push_back(*text);
            } else if (name == L"--include") {
                arguments.includes.push_back(Value{*text, Origin{name}, here});
            } else if (name == L"--root-length") {
                const bool digits =
                    text->size() <= 3 && text->find_first_not_of(L"0123456789") == std::wstring::npos;
                const std::size_t length = digits ? std::stoul(*text) : 0;
                if (length < 3 || length >= kMaxPath) {
                    return UsageError(L"--root-length needs a number from 3 to " +
                                      std::to_wstring(kMaxPath - 1));
                }
                arguments.rootLength = length;
            } else {
                arguments.output = *text;
            }
        } else if (std::optional<Value>* slot = ValueSlot(arguments, name)) {
            const std::optional<std::wstring> text = value();
            if (!text) {
                return UsageError(name + L" needs a value");
            }
            *slot = Value{Trimmed(*text), Origin{name}, here};
        } else {
            return UsageError(L"unknown option " + arg);
        }
    }
    if (!arguments.output) {
        return UsageError(L"--output FOLDER names the package to write");
    }
    const auto& fields = BlockFields();
    if (!arguments.description && std::none_of(fields.begin(), fields.end(), [&](const BlockField& field) {
            return (arguments.block.*field.value).has_value();
        })) {
        return UsageError(L"give a description, or the block with --key, --mode, --folder and --source");
    }
    if (const auto problem = InstallDirProblem(arguments.installDirs)) {
        return UsageError(*problem);
    }
    const fs::path target = FolderPath(PathOf(*arguments.output));
    if (target.filename().empty()) {
        return UsageError(L"--output names no folder that can be made: " + *arguments.output);
    }
    if (!AnsiCodePageIs932()) {
        return PackResult{kRefused, L"",
                          L"velkast-pack: the system's ANSI code page is not 932 (Shift-JIS), in which the "
                          L"updater reads its script: run velkast-pack with a Japanese system locale\n"};
    }

    Report report;
    PackageDescription description;
    description.origin = Origin{L"command line"};
    if (arguments.description) {
        const fs::path file = PathOf(*arguments.description);
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.is_open() || in.bad()) {
            report.Error(*arguments.description, L"cannot be read");
            return PackResult{kRefused, L"", report.Text()};
        }
        description =
            ParseDescription(bytes, *arguments.description, fs::absolute(file).parent_path(), report);
    }
    if (arguments.title) {
        description.title = arguments.title;
    }
    if (arguments.launch) {
        description.launch = arguments.launch;
    }
    if (arguments.item) {
        description.item = arguments.item;
    }
    description.includes.insert(description.includes.end(), arguments.includes.begin(),
                                arguments.includes.end());
    ApplyOverrides(description, arguments.block, report);

    PackOptions options;
    options.velkast =
        (arguments.velkast ? fs::absolute(PathOf(*arguments.velkast)) : toolFolder / "Velkast.exe")
            .lexically_normal()
            .make_preferred();
    options.rootLength = arguments.rootLength;
    const PackPlan plan = PlanPackage(description, options, report);

    PackResult result;
    const fs::path staging = target.parent_path() / PathOf(TextOf(target.filename()) + kStagingSuffix);
    const fs::path old = target.parent_path() / PathOf(TextOf(target.filename()) + kOldSuffix);
    Recover(target, staging, old, result.out);
    for (const fs::path& source : plan.sourceFolders) {
        if (IsWithin(target, source) || IsWithin(source, target) || target == source) {
            report.Error(TextOf(target), L"the package folder and the folder " + TextOf(source) +
                                             L", whose files it takes, lie one inside the other");
        }
    }
    std::error_code error;
    if (fs::exists(target, error) && !fs::is_directory(target, error)) {
        report.Error(TextOf(target), L"exists and is not a folder");
    } else if (fs::exists(target, error) && !arguments.replace) {
        report.Error(TextOf(target), L"exists: give --replace to replace it");
    }
    const auto refused = [&]() {
        fs::remove_all(staging, error);
        result.status = kRefused;
        result.err = report.Text() + L"velkast-pack: nothing written\n";
        return result;
    };
    if (report.failed()) {
        return refused();
    }

    fs::create_directories(staging, error);
    if (error) {
        report.Error(TextOf(staging), L"cannot be made: " + Wide(error.message()));
        return refused();
    }
    if (!WritePackage(plan, staging, report)) {
        return refused();
    }
    const Verdict verdict = CheckPackage(staging, target, arguments.installDirs, arguments.rootLength);
    result.out += verdict.assumed + verdict.plan;
    if (verdict.status != 0 && verdict.status != 1) {
        report.Error(TextOf(target / "Update.up"),
                     L"the updater would refuse this package, as the checker's report above says");
        return refused();
    }
    if (!MoveIntoPlace(staging, target, old, report)) {
        return refused();
    }
    std::uintmax_t bytes = 0;
    for (const PackageFile& file : plan.files) {
        const std::uintmax_t size = fs::file_size(file.source, error);
        bytes += error ? 0 : size;
    }
    result.out += L"wrote " + TextOf(target) + L": " + std::to_wstring(plan.files.size() + 1) + L" files, " +
                  std::to_wstring(bytes + plan.script.size()) + L" bytes; Update.up has " +
                  std::to_wstring(plan.blocks) + L" blocks and " + std::to_wstring(plan.fileLines) +
                  L" file lines\n";
    result.err = report.Text();
    result.status = report.Count(Severity::Warning) > 0 ? 1 : verdict.status;
    return result;
}

}  // namespace velkast::pack
