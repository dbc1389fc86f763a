#include "tools/pack/PackPlan.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "core/job/CopyJob.h"
#include "core/paths/PathText.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/script/LaunchLine.h"
#include "tools/pack/PackText.h"
#include "tools/pack/PackTree.h"

namespace fs = std::filesystem;

namespace velkast::pack {
namespace {

constexpr wchar_t kScriptName[] = L"Update.up";
constexpr wchar_t kProgramName[] = L"Velkast.exe";
constexpr wchar_t kReportName[] = L"Report.txt";
constexpr wchar_t kDefaultTitle[] = L"Update";
constexpr wchar_t kNoCheck[] = L"None";
constexpr wchar_t kNoMessage[] = L"-";

const std::wstring kParameterHeader = CopyPlanBuilder::kParameterHeader;
const std::wstring kPostProcessHeader = CopyPlanBuilder::kPostProcessHeader;
const std::wstring kRootMarker = CopyPlanBuilder::kRootMarker;

// A name of the package as Windows compares names (ASCII case ignored).
std::wstring Folded(const std::wstring& name) {
    std::wstring folded = name;
    for (wchar_t& c : folded) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return folded;
}

fs::path Resolved(const Value& value) {
    const fs::path path = PathOf(value.text);
    return (path.is_absolute() ? path : value.base / path).lexically_normal().make_preferred();
}

// A place in the package as the description names it: names separated by
// backslashes or slashes. None, with the reason reported, when it is not
// a place inside the package that Windows can name.
std::optional<std::vector<std::wstring>> PackagePath(const Value& value,
                                                     const wchar_t* what,
                                                     Report& report) {
    const std::wstring& text = value.text;
    if (!text.empty() && (text[0] == L'\\' || text[0] == L'/')) {
        report.Error(value.origin, std::wstring(what) + L" " + Quoted(text) +
                                       L" is not a place in the package: write it relative to the package");
        return std::nullopt;
    }
    std::vector<std::wstring> names;
    bool valid = true;
    for (std::size_t begin = 0; begin <= text.size();) {
        std::size_t end = text.find_first_of(L"\\/", begin);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        const std::wstring name = text.substr(begin, end - begin);
        begin = end + 1;
        if (name.empty() || name == L".") {
            continue;
        }
        if (name == L"..") {
            report.Error(value.origin,
                         std::wstring(what) + L" " + Quoted(text) + L" climbs out of the package");
            valid = false;
        } else if (const auto problem = WindowsNameProblem(name)) {
            report.Error(value.origin, std::wstring(what) + L" " + Quoted(text) + L" holds the name " +
                                           Quoted(name) + L": " + *problem);
            valid = false;
        }
        names.push_back(name);
    }
    if (!valid) {
        return std::nullopt;
    }
    return names;
}

// Reports the text unless it stands as one line of the script that the
// updater reads exactly as written.
bool CheckLine(const std::wstring& line,
               const std::wstring& what,
               const std::wstring& where,
               Report& report) {
    if (const auto problem = ScriptLineProblem(line)) {
        report.Error(where, what + L" " + Quoted(line) + L" cannot be written as it is: " + *problem);
        return false;
    }
    return true;
}

// The files of the package under their names, each name once, never both a
// file and a folder.
class Layout {
public:
    bool Add(const std::vector<std::wstring>& names,
             const fs::path& source,
             const std::wstring& where,
             Report& report) {
        const std::wstring name = Joined(names);
        const std::wstring key = Folded(name);
        if (const auto found = files_.find(key); found != files_.end()) {
            const PackageFile& other = files.at(found->second);
            std::error_code error;
            if (!source.empty() && !other.source.empty() && fs::equivalent(source, other.source, error)) {
                return true;
            }
            report.Error(where, L"would be " + Quoted(other.name) + L" in the package, which " +
                                    (other.source.empty() ? L"velkast-pack writes itself"
                                                          : L"is already " + Quoted(TextOf(other.source))));
            return false;
        }
        if (folders_.count(key) != 0) {
            report.Error(where, L"would be " + Quoted(name) + L" in the package, which is a folder there");
            return false;
        }
        for (std::size_t i = 1; i < names.size(); ++i) {
            const std::vector<std::wstring> folder(names.begin(),
                                                   names.begin() + static_cast<std::ptrdiff_t>(i));
            if (files_.count(Folded(Joined(folder))) != 0) {
                report.Error(where, L"would be " + Quoted(name) + L" in the package, where " +
                                        Quoted(Joined(folder)) + L" is a file");
                return false;
            }
        }
        for (std::size_t i = 1; i < names.size(); ++i) {
            folders_.insert(Folded(Joined({names.begin(), names.begin() + static_cast<std::ptrdiff_t>(i)})));
        }
        files_[key] = files.size();
        files.push_back(PackageFile{name, source});
        return true;
    }

    bool HasFile(const std::vector<std::wstring>& names) const {
        return files_.count(Folded(Joined(names))) != 0;
    }

    std::vector<PackageFile> files;

private:
    std::map<std::wstring, std::size_t> files_;
    std::set<std::wstring> folders_;
};

bool LooksLikeProgram(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    char head[2] = {};
    return file.read(head, 2) && head[0] == 'M' && head[1] == 'Z';
}

class Planner {
public:
    Planner(const PackageDescription& description, const PackOptions& options, Report& report)
        : description_(description), options_(options), report_(report) {}

    PackPlan Run() {
        Program();
        layout_.Add({kScriptName}, fs::path(), TextOf(options_.velkast), report_);
        for (const Value& include : description_.includes) {
            Include(include);
        }
        std::vector<std::wstring> blockLines;
        std::size_t most = 0;
        std::size_t plain = 0;
        for (const BlockDescription& block : description_.blocks) {
            const std::size_t before = plan_.fileLines;
            const bool exclusive = Block(block, blockLines);
            const std::size_t count = plan_.fileLines - before;
            // An exclusive block whose install root is verified ends the pass at the next block.
            if (exclusive) {
                most = std::max(most, plain + count);
            } else {
                plain += count;
            }
        }
        most = std::max(most, plain);
        if (most > kMaxCopyEntries) {
            report_.Error(description_.origin,
                          std::to_wstring(most) +
                              L" file lines can be accepted in one run: the updater takes " +
                              std::to_wstring(kMaxCopyEntries) + L" at most");
        }
        if (description_.blocks.empty()) {
            report_.Error(description_.origin, L"no block: the package would have nothing to copy");
        }

        std::vector<std::wstring> lines = {LaunchLine()};
        Comments(description_.comments, lines);
        if (description_.item) {
            // Before every block: the updater then reads it whatever the blocks
            // decide, and checks it with every file line.
            lines.push_back(L"");
            Comments(description_.itemComments, lines);
            lines.push_back(kPostProcessHeader);
            lines.push_back(PostProcessLine(*description_.item));
        }
        lines.insert(lines.end(), blockLines.begin(), blockLines.end());

        if (!layout_.HasFile({kReportName})) {
            report_.Warning(
                description_.origin,
                L"the package has no Report.txt: the updater opens it when 終了 (Exit) is pressed "
                L"after a copy");
        }
        for (const std::wstring& line : lines) {
            plan_.scriptText += line + L"\r\n";
        }
        if (!report_.failed()) {
            const auto bytes = ScriptBytes(plan_.scriptText);
            if (!bytes) {
                report_.Error(description_.origin, L"the script cannot be written in code page 932");
            }
            plan_.script = bytes.value_or(std::string());
        }
        for (const PackageFile& file : layout_.files) {
            // Update.up is written, not copied.
            if (!file.source.empty()) {
                plan_.files.push_back(file);
            }
        }
        return plan_;
    }

private:
    void Program() {
        const std::wstring where = TextOf(options_.velkast);
        std::error_code error;
        if (!fs::is_regular_file(options_.velkast, error)) {
            report_.Error(where, L"no such program file: give the updater's Velkast.exe with --velkast PATH");
        } else if (!LooksLikeProgram(options_.velkast)) {
            report_.Error(where, L"is not a Windows program file");
        }
        layout_.Add({kProgramName}, options_.velkast, where, report_);
    }

    void Include(const Value& include) {
        const fs::path root = Resolved(include);
        plan_.sourceFolders.push_back(root);
        const Tree tree = ListTree(root, report_);
        for (const TreeFile& file : tree.files) {
            if (Names(file)) {
                layout_.Add(file.names, file.path, TextOf(file.path), report_);
            }
        }
    }

    // True when every name of the file can be a name on Windows.
    bool Names(const TreeFile& file) {
        for (const std::wstring& name : file.names) {
            if (const auto problem = WindowsNameProblem(name)) {
                report_.Error(TextOf(file.path),
                              L"the name " + Quoted(name) + L" cannot be copied to Windows: " + *problem);
                return false;
            }
        }
        return true;
    }

    void Comments(const std::vector<Value>& comments, std::vector<std::wstring>& lines) {
        for (const Value& comment : comments) {
            if (const auto problem = CodePageProblem(comment.text)) {
                report_.Error(comment.origin,
                              L"the comment " + Quoted(comment.text) + L" cannot be written: " + *problem);
            }
            lines.push_back(comment.text.empty() ? L"//" : L"// " + comment.text);
        }
    }

    std::wstring LaunchLine() {
        const Value title =
            description_.title.value_or(Value{kDefaultTitle, description_.origin, fs::path()});
        std::wstring document;
        if (description_.launch) {
            const auto names = PackagePath(*description_.launch, L"the launch document", report_);
            if (names && names->empty()) {
                report_.Error(description_.launch->origin, L"the launch document names no file");
            } else if (names && !layout_.HasFile(*names)) {
                report_.Error(description_.launch->origin,
                              L"the launch document " + Quoted(Joined(*names)) +
                                  L" is no file of the package: include it, or name one that a block ships");
            }
            document = names ? Joined(*names) : description_.launch->text;
        }
        const std::wstring line = L"[" + title.text + L"]" + document;
        const Origin& where = description_.launch ? description_.launch->origin : title.origin;
        if (CheckLine(line, L"the launch line", where.Text(), report_) && LaunchDocument(line) != document) {
            report_.Error(where,
                          L"the updater would read the launch line " + Quoted(line) + L" as naming " +
                              (LaunchDocument(line).empty() ? L"no document" : Quoted(LaunchDocument(line))) +
                              L": \"]\" ends the title and the document");
        }
        return line;
    }

    std::wstring PostProcessLine(const Value& item) {
        const auto names = PackagePath(item, L"the post-process item", report_);
        if (names && names->empty()) {
            report_.Error(item.origin, L"the post-process item names no file");
        } else if (names && !layout_.HasFile(*names)) {
            report_.Error(item.origin,
                          L"the post-process item " + Quoted(Joined(*names)) +
                              L" is no file of the package: include it, or name one that a block "
                              L"ships");
        }
        const std::wstring line = kRootMarker + (names ? Joined(*names) : item.text);
        CheckLine(line, L"the post-process line", item.origin.Text(), report_);
        return line;
    }

    // Appends the block's lines; true when its root mode is exclusive.
    bool Block(const BlockDescription& block, std::vector<std::wstring>& lines) {
        ++plan_.blocks;
        lines.push_back(L"");
        Comments(block.comments, lines);
        lines.push_back(kParameterHeader);

        if (!block.key) {
            report_.Error(block.origin,
                          L"the block has no key: the registry key whose INSTALLDIR names the "
                          L"install root");
        } else {
            Key(*block.key);
        }
        lines.push_back(block.key ? block.key->text : L"");
        plan_.keys.push_back(lines.back());

        const Value check = block.check.value_or(Value{kNoCheck, block.origin, fs::path()});
        CheckLine(check.text, L"the check list", check.origin.Text(), report_);
        lines.push_back(check.text);

        std::optional<std::wstring> mode;
        if (!block.mode) {
            report_.Error(block.origin, L"the block has no mode: required, exclusive, optional or a number");
        } else if (!(mode = RootModeNumber(block.mode->text))) {
            report_.Error(block.mode->origin, L"the mode " + Quoted(block.mode->text) +
                                                  L" is none of required, exclusive, optional or a number "
                                                  L"from 0 to 255");
        }
        lines.push_back(mode.value_or(L"0"));

        if (!block.message && mode == std::to_wstring(CopyPlanBuilder::kRootRequired)) {
            report_.Error(block.origin,
                          L"a required block needs a message: the updater shows it when the "
                          L"application is not installed");
        }
        const Value message = block.message.value_or(Value{kNoMessage, block.origin, fs::path()});
        CheckLine(message.text, L"the message", message.origin.Text(), report_);
        lines.push_back(message.text);

        std::vector<std::wstring> folder;
        if (block.folder) {
            folder = PackagePath(*block.folder, L"the folder", report_).value_or(std::vector<std::wstring>());
        } else if (block.source) {
            report_.Error(block.origin,
                          L"the block has a source but no folder: name the package folder for its "
                          L"files (\"folder =\" with nothing for the package's own)");
        }
        const std::wstring folderText = Joined(folder) + (folder.empty() ? L"" : L"\\");
        lines.push_back(kRootMarker + folderText);
        CheckLine(lines.back(), L"the folder line",
                  block.folder ? block.folder->origin.Text() : block.origin.Text(), report_);

        if (block.source) {
            Files(*block.source, folder, folderText, lines);
        }
        return mode == std::to_wstring(CopyPlanBuilder::kRootExclusive);
    }

    void Key(const Value& key) {
        if (!CheckLine(key.text, L"the registry key", key.origin.Text(), report_)) {
            return;
        }
        static const wchar_t* const kHives[] = {L"HKEY_CURRENT_USER\\", L"HKEY_LOCAL_MACHINE\\", L"HKCU\\",
                                                L"HKLM\\"};
        for (const wchar_t* hive : kHives) {
            if (Folded(key.text).rfind(Folded(hive), 0) == 0) {
                report_.Error(key.origin,
                              L"the registry key " + Quoted(key.text) +
                                  L" names its hive: the updater looks under HKEY_CURRENT_USER and "
                                  L"HKEY_LOCAL_MACHINE itself, so write the key without it");
            }
        }
    }

    void Files(const Value& source,
               const std::vector<std::wstring>& folder,
               const std::wstring& folderText,
               std::vector<std::wstring>& lines) {
        const fs::path root = Resolved(source);
        plan_.sourceFolders.push_back(root);
        const Tree tree = ListTree(root, report_);
        for (const fs::path& empty : tree.emptyFolders) {
            report_.Warning(TextOf(empty),
                            L"an empty folder: a script names files only, so the update cannot "
                            L"make it");
        }
        for (const TreeFile& file : tree.files) {
            ++plan_.fileLines;
            const std::wstring where = TextOf(file.path);
            const std::wstring line = Joined(file.names);
            lines.push_back(line);
            if (line == kParameterHeader || line == kPostProcessHeader) {
                report_.Error(where, L"its file line " + Quoted(line) + L" would read as a block header");
                continue;
            }
            if (!CheckLine(line, L"its file line", where, report_) || !Names(file)) {
                continue;
            }
            const std::size_t inPackage = folderText.size() + line.size();
            if (IsLongPath(folderText + line)) {
                report_.Error(where, L"its path in the package, " + Quoted(folderText + line) + L", is " +
                                         std::to_wstring(inPackage) +
                                         L" characters long: the updater refuses source paths of " +
                                         std::to_wstring(kMaxPath) + L" characters or more");
                continue;
            }
            const std::size_t installed = options_.rootLength + line.size();
            if (installed >= kMaxPath) {
                report_.Warning(where, L"installed as " + Quoted(line) + L" under an install root of " +
                                           std::to_wstring(options_.rootLength) +
                                           L" characters, its path is " + std::to_wstring(installed) +
                                           L" characters long: Windows copies to "
                                           L"no path of " +
                                           std::to_wstring(kMaxPath) + L" characters or more");
            }
            std::vector<std::wstring> names = folder;
            names.insert(names.end(), file.names.begin(), file.names.end());
            layout_.Add(names, file.path, where, report_);
        }
    }

    const PackageDescription& description_;
    const PackOptions& options_;
    Report& report_;
    Layout layout_;
    PackPlan plan_;
};

}  // namespace

PackPlan PlanPackage(const PackageDescription& description, const PackOptions& options, Report& report) {
    return Planner(description, options, report).Run();
}

}  // namespace velkast::pack
