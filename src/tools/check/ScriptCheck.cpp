#include "tools/check/ScriptCheck.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/platform/AnsiText.h"
#include "core/job/CopyJob.h"
#include "core/paths/FolderPart.h"
#include "core/paths/PathText.h"
#include "core/paths/Token.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/plan/PlanSystem.h"
#include "core/plan/ScriptNumber.h"
#include "core/platform/DebugOutput.h"
#include "core/platform/Platform.h"
#include "core/script/LaunchLine.h"
#include "core/text/TextLine.h"

namespace velkast::check {
namespace {

using Which = PlanObserver::BlockLine;
using Verdict = PlanObserver::RootVerdict;
using Refusal = PlanObserver::Refusal;

const std::wstring kParameterHeader = CopyPlanBuilder::kParameterHeader;
const std::wstring kPostProcessHeader = CopyPlanBuilder::kPostProcessHeader;
const std::wstring kRootMarker = CopyPlanBuilder::kRootMarker;
constexpr std::size_t kRootMarkerLength = 7;
constexpr std::size_t kLongPath = 260;
constexpr std::size_t kQuoteMax = 120;

// The box with which start-up tells that it has no script to read.
PlanBox MissingScriptBox() {
    return PlanBox{L"テキストデータ取得エラー", L"Update.upファイルが見つかりません"};
}

// A text in double quotes, shortened when it is long.
std::wstring Quote(const std::wstring& text) {
    if (text.size() <= kQuoteMax) {
        return L"\"" + text + L"\"";
    }
    return L"\"" + text.substr(0, kQuoteMax) + L"...\"";
}

std::wstring Number(std::uint64_t value) {
    return std::to_wstring(value);
}

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\x3000';
}

bool HasEdgeSpaces(const std::wstring& text) {
    return !text.empty() && (IsSpace(text.front()) || IsSpace(text.back()));
}

bool OnlySpaces(const std::wstring& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsSpace);
}

// Lower-case ASCII, full-width ASCII as ASCII, spaces left out: the form in
// which near misses of a keyword are compared.
std::wstring Folded(const std::wstring& text) {
    std::wstring folded;
    for (wchar_t c : text) {
        if (IsSpace(c)) {
            continue;
        }
        if (c >= 0xFF01 && c <= 0xFF5E) {
            c = static_cast<wchar_t>(c - 0xFF01 + 0x21);
        }
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
        folded.push_back(c);
    }
    return folded;
}

// The edit distance of two texts, or more than the limit once it is sure to be.
std::size_t Distance(const std::wstring& a, const std::wstring& b, std::size_t limit) {
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) {
        return limit + 1;
    }
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The header that the text nearly is, without being it.
const std::wstring* NearMissHeader(const std::wstring& text) {
    for (const std::wstring* header : {&kParameterHeader, &kPostProcessHeader}) {
        if (text != *header && Distance(Folded(text), Folded(*header), 2) <= 2) {
            return header;
        }
    }
    return nullptr;
}

// A number written as the updater expects one: digits, perhaps signed, with
// nothing else but white space around.
bool IsPlainNumber(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) {
        ++i;
    }
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        ++i;
    }
    const std::size_t digits = i;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
        ++i;
    }
    if (i == digits) {
        return false;
    }
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    return i == text.size();
}

const wchar_t* RootModeName(std::uint8_t mode) {
    if (mode == CopyPlanBuilder::kRootRequired) {
        return L"required";
    }
    if (mode == CopyPlanBuilder::kRootExclusive) {
        return L"exclusive";
    }
    return L"optional";
}

const wchar_t* BlockLineName(Which which) {
    switch (which) {
        case Which::RegistryKey:
            return L"registry key line";
        case Which::CheckList:
            return L"check list line";
        case Which::RootMode:
            return L"root mode line";
        case Which::Message:
            return L"message line";
        case Which::Folder:
            return L"folder line";
        case Which::PostProcess:
            return L"post-process line";
    }
    return L"block line";
}

// A path compared as Windows compares names: ASCII case and the kind of
// slash do not matter.
std::wstring PathKey(const std::wstring& path) {
    std::wstring key = path;
    for (wchar_t& c : key) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        } else if (c == L'/') {
            c = L'\\';
        }
    }
    return key;
}

bool IsAbsolute(const std::wstring& path) {
    return !path.empty() && (path[0] == L'\\' || path[0] == L'/' || (path.size() >= 2 && path[1] == L':'));
}

bool ClimbsOut(const std::wstring& path) {
    int depth = 0;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find_first_of(L"\\/", begin);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        const std::wstring part = path.substr(begin, end - begin);
        if (part == L"..") {
            if (--depth < 0) {
                return true;
            }
        } else if (!part.empty() && part != L".") {
            ++depth;
        }
        begin = end + 1;
    }
    return false;
}

// ---------------------------------------------------------------------------
// The script's lines as the store sees them, with their raw text beside.

struct LineView {
    std::wstring raw;           // the decoded line without its LF, and the CR before that
    std::size_t endLength = 0;  // characters of its line end
    bool content = false;       // the store selects it
    bool tooLong = false;       // the store cut it at 1023 characters
    std::wstring kept;          // what the store keeps of it
    bool tabLed = false;        // its first field is none
    std::vector<std::wstring> fields;

    const std::wstring* first() const { return tabLed || fields.empty() ? nullptr : &fields.front(); }
    bool commentCut() const {
        return content && raw.size() >= kept.size() + 2 && raw.compare(0, kept.size(), kept) == 0 &&
               raw.compare(kept.size(), 2, L"//") == 0;
    }
};

std::vector<LineView> ViewLines(const std::string& bytes) {
    // Decoded as the store decodes: all of it in the system's ANSI code page,
    // up to the first NUL; a line begins after each LF that is not the last
    // character.
    std::string terminated = bytes;
    terminated.push_back('\0');
    std::wstring text(terminated.size(), L'\0');
    platform::AnsiToWide(platform::AnsiPage::System, terminated.data(), static_cast<int>(terminated.size()),
                         text.data(), static_cast<int>(text.size()));
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));

    std::vector<LineView> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || (text[i] == L'\n' && i + 1 < text.size())) {
            LineView view;
            view.raw = text.substr(start, i == text.size() ? i - start : i + 1 - start);
            if (!view.raw.empty() && view.raw.back() == L'\n') {
                view.raw.pop_back();
                view.endLength = 1;
                if (!view.raw.empty() && view.raw.back() == L'\r') {
                    view.raw.pop_back();
                    view.endLength = 2;
                }
            }
            lines.push_back(std::move(view));
            start = i + 1;
        }
    }

    CTextLine store;
    DebugOutputCapture capture;
    if (!store.Load(bytes.data(), static_cast<std::uint32_t>(bytes.size()))) {
        return lines;
    }
    lines.resize(std::min<std::size_t>(lines.size(), store.lineCount()));
    for (std::uint32_t i = 0; i < lines.size(); ++i) {
        LineView& view = lines[i];
        capture.clear();
        view.content = store.SetLine(i);
        view.tooLong = !capture.text().empty();
        if (!view.content) {
            continue;
        }
        view.kept = store.currentLine();
        const char* field = store.GetField();
        view.tabLed = field == nullptr;
        if (view.tabLed) {
            field = store.GetField();
        }
        while (field != nullptr) {
            view.fields.push_back(WidenAnsi(field));
            field = store.GetField();
        }
    }
    return lines;
}

// ---------------------------------------------------------------------------
// What the plan builder does with the script, as its observer hears it.

// The builder's view of the checker's system: the boxes are recorded, never
// shown.
class RecordingSystem : public PlanSystem {
public:
    explicit RecordingSystem(CheckSystem& system) : system_(system) {}

    bool ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) override {
        return system_.ReadInstallDir(hive, key, value);
    }
    bool IsPathMissing(const std::wstring& path) override { return system_.IsPathMissing(path); }
    std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path) override {
        std::wstring reason;
        const std::optional<std::uint64_t> size = system_.OpenForReadSize(path, reason);
        if (!size) {
            openPath = path;
            openError = reason;
        }
        return size;
    }
    void ShowPlanMessage(const std::wstring& text, const wchar_t* caption) override {
        boxes.push_back(
            PlanBox{caption == nullptr ? std::nullopt : std::optional<std::wstring>(caption), text});
    }

    std::vector<PlanBox> boxes;
    std::wstring openPath;  // the last file that could not be opened, and why
    std::wstring openError;

private:
    CheckSystem& system_;
};

struct BlockTrace {
    std::uint32_t header = 0;
    bool parameter = true;
    std::size_t index = 0;  // into the report's blocks, for a parameter block
    bool complete = true;
    bool usedLastFields = false;
};

struct BlockLineTrace {
    std::uint32_t line = 0;
    Which which = Which::RegistryKey;
    std::wstring text;
    bool present = true;
    std::size_t block = 0;  // into the trace's blocks
};

struct LineUse {
    enum class Use { Launch, ParameterHeader, PostProcessHeader, BlockLine, FileLine, NoText } use;
    Which which = Which::RegistryKey;
};

class Trace : public PlanObserver {
public:
    Trace(CheckReport& report, CheckSystem& system) : report_(report), system_(system) {}

    void LineRead(std::uint32_t line, LineKind kind, const std::wstring& text) override {
        switch (kind) {
            case LineKind::ParameterHeader:
                report_.blocks.push_back(BlockReport{});
                report_.blocks.back().line = line;
                blocks.push_back(BlockTrace{line, true, report_.blocks.size() - 1});
                uses[line] = {LineUse::Use::ParameterHeader};
                break;
            case LineKind::PostProcessHeader:
                blocks.push_back(BlockTrace{line, false, 0});
                uses[line] = {LineUse::Use::PostProcessHeader};
                break;
            case LineKind::FileLine:
                fileLines.emplace_back(line, text);
                uses[line] = {LineUse::Use::FileLine};
                break;
            case LineKind::NoText:
                uses[line] = {LineUse::Use::NoText};
                break;
        }
    }

    void BlockLineRead(std::uint32_t line, BlockLine which, const std::wstring& text, bool present) override {
        BlockTrace& block = blocks.back();
        if (present) {
            uses[line] = {LineUse::Use::BlockLine, which};
        } else {
            block.complete = false;
            block.usedLastFields = block.usedLastFields || !text.empty();
            if (!text.empty()) {
                lastFieldLines.insert(line);
            }
        }
        blockLines.push_back(BlockLineTrace{line, which, text, present, blocks.size() - 1});
        if (!block.parameter) {
            return;
        }
        BlockReport& report = report_.blocks[block.index];
        report.complete = block.complete;
        switch (which) {
            case BlockLine::RegistryKey:
                report.key = text;
                report.keyLine = line;
                break;
            case BlockLine::CheckList:
                report.checkList = text;
                report.checkListLine = line;
                break;
            case BlockLine::RootMode:
                report.rootModeText = text;
                break;
            case BlockLine::Message:
                report.message = text;
                break;
            case BlockLine::Folder:
            case BlockLine::PostProcess:
                break;
        }
    }

    void EndedByExclusiveBlock(std::uint32_t line) override { report_.exclusiveEnd = line; }

    void InstallRootFound(std::uint32_t, RegistryHive hive, const std::wstring& root) override {
        report_.blocks.back().hive = hive;
        report_.blocks.back().installRoot = system_.ShownPath(root);
    }

    void CheckNameTested(std::uint32_t, const std::wstring& name, bool exists) override {
        report_.blocks.back().testedNames.emplace_back(name, exists);
    }

    void RootDecided(std::uint32_t, RootVerdict verdict) override { report_.blocks.back().verdict = verdict; }

    void RootModeRead(std::uint32_t, std::uint8_t mode) override { report_.blocks.back().rootMode = mode; }

    void SourceFolderSet(std::uint32_t, const std::wstring& folder) override {
        report_.blocks.back().sourceFolder = system_.ShownPath(folder);
    }

    void PostProcessSet(std::uint32_t line, const std::wstring& path) override {
        postProcesses.push_back(PostProcessReport{line, path, false});
    }

    void FileLineDropped(std::uint32_t line, const std::wstring&, DropReason why) override {
        dropped.push_back(Dropped{line, why, report_.blocks.empty() ? 0 : report_.blocks.back().line});
    }

    void FileLineAccepted(std::uint32_t line, const CopyEntry& entry, std::uint64_t size) override {
        FileReport file;
        file.line = line;
        file.block = report_.blocks.size() - 1;
        file.fileLine = entry.fileName;
        file.source = system_.ShownPath(entry.sourceFolder + entry.fileName);
        file.destination = system_.ShownPath(entry.targetFolder + entry.fileName);
        file.size = size;
        report_.files.push_back(file);
        report_.totalBytes += size;
        entries.push_back(entry);
        if (!postProcesses.empty()) {
            postProcesses.back().checkedByUpdater = true;
        }
    }

    void Refused(std::uint32_t line, Refusal why) override { refusal = std::make_pair(line, why); }

    std::map<std::uint32_t, LineUse> uses;
    std::vector<BlockTrace> blocks;
    std::vector<BlockLineTrace> blockLines;
    std::set<std::uint32_t> lastFieldLines;  // lines whose later fields were read as block lines
    std::vector<std::pair<std::uint32_t, std::wstring>> fileLines;
    struct Dropped {
        std::uint32_t line;
        DropReason why;
        std::uint32_t block;  // the header of the block in force
    };
    std::vector<Dropped> dropped;
    std::vector<CopyEntry> entries;                // of report.files, as the builder holds them
    std::vector<PostProcessReport> postProcesses;  // paths as the builder holds them
    std::optional<std::pair<std::uint32_t, Refusal>> refusal;

private:
    CheckReport& report_;
    CheckSystem& system_;
};

// ---------------------------------------------------------------------------
// Diagnostics.

class Diagnostics {
public:
    explicit Diagnostics(std::vector<Diagnostic>& list) : list_(list) {}
    void Add(std::uint32_t line, Severity severity, const char* code, std::wstring text) {
        list_.push_back(Diagnostic{line, severity, code, std::move(text)});
    }

private:
    std::vector<Diagnostic>& list_;
};

std::uint32_t LineOfByte(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(1 + std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

// The length of the UTF-8 sequence at the offset, or 0 when there is none.
std::size_t Utf8Sequence(const std::string& bytes, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (at(i + k) < 0x80 || at(i + k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

void CheckEncoding(const std::string& bytes, Diagnostics& out) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const std::size_t nul = bytes.find('\0');
    const std::size_t nuls = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\0'));
    const bool utf16Mark =
        bytes.size() >= 2 && ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF));
    if (utf16Mark || (bytes.size() >= 4 && nuls * 4 >= bytes.size())) {
        out.Add(1, Severity::Warning, "utf16",
                L"the file is UTF-16: the updater reads it as ANSI text (code page 932) and stops at its "
                L"first NUL "
                L"byte, so it sees almost nothing of it; save the script as Shift-JIS");
        return;
    }
    if (nul != std::string::npos) {
        out.Add(LineOfByte(bytes, nul), Severity::Warning, "nul",
                L"the file holds a NUL byte here: the updater stops reading at it and ignores the rest of "
                L"the file");
    }
    const std::size_t end = nul == std::string::npos ? bytes.size() : nul;
    const bool utf8Mark = end >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF;
    if (utf8Mark) {
        out.Add(
            1, Severity::Warning, "bom",
            L"the file begins with a UTF-8 byte order mark: the updater does not skip it but reads its bytes "
            L"as the start of the launch line; save the script as Shift-JIS without one");
    }
    std::size_t firstWide = std::string::npos;
    bool valid = true;
    for (std::size_t i = utf8Mark ? 3 : 0; i < end && valid;) {
        if (at(i) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = Utf8Sequence(bytes.substr(0, end), i);
        if (length == 0) {
            valid = false;
        } else {
            firstWide = std::min(firstWide, i);
            i += length;
        }
    }
    if (valid && firstWide != std::string::npos) {
        out.Add(LineOfByte(bytes, firstWide), Severity::Warning, "utf8",
                L"the file is UTF-8 with non-ASCII text: the updater reads it in the ANSI code page (932, "
                L"Shift-JIS), where this text turns into other characters; save the script as Shift-JIS");
    }
    if (bytes.find('\n') == std::string::npos) {
        const std::size_t cr = bytes.substr(0, end).find('\r');
        if (cr != std::string::npos && cr + 1 < end) {
            out.Add(
                1, Severity::Warning, "cr-line-ends",
                L"the lines end with CR alone: the updater ends lines at LF only, so it reads the whole file "
                L"as one line, the launch line");
        }
    }
}

// A box of the updater, its text whole.
std::wstring BoxText(const PlanBox& box) {
    std::wstring text = L"\"" + box.text + L"\"";
    if (box.caption) {
        text += L" (caption \"" + *box.caption + L"\")";
    }
    return text;
}

std::wstring BoxesText(const RefusalReport& refusal) {
    std::wstring text;
    if (!refusal.systemError.empty()) {
        text = L"the system's message \"" + refusal.systemError + L"\" (caption \"エラー\")";
    }
    for (const PlanBox& box : refusal.boxes) {
        text += (text.empty() ? L"" : L", then ") + BoxText(box);
    }
    return text;
}

// The check list cut as the plan builder cuts it: the check mode, then the
// names up to the first empty piece.
struct CheckListParts {
    std::wstring modeText;
    std::int32_t mode = 0;
    std::vector<std::wstring> names;
};

CheckListParts SplitCheckList(const std::wstring& text) {
    CheckListParts parts;
    std::int32_t position = 0;
    parts.modeText = NextToken(text, L",", position);
    parts.mode = ParseScriptNumber(parts.modeText);
    while (position != -1) {
        std::wstring name = NextToken(text, L",", position);
        if (position != -1) {
            parts.names.push_back(std::move(name));
        }
    }
    return parts;
}

std::wstring RejectionText(const BlockReport& block) {
    if (block.verdict == Verdict::NotFound) {
        return L"no INSTALLDIR value for the key " + Quote(block.key) +
               L" under HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE";
    }
    const std::wstring why = L"the check list rejects the install root " + block.installRoot + L": ";
    if (block.testedNames.empty()) {
        return why + L"check mode 0 without names verifies nothing";
    }
    if (SplitCheckList(block.checkList).mode != 0 || block.testedNames.size() == 1) {
        return why + Quote(block.testedNames.back().first) + L" does not exist";
    }
    std::wstring names;
    for (const auto& tested : block.testedNames) {
        names += (names.empty() ? L"" : L", ") + Quote(tested.first);
    }
    return why + L"none of " + names + L" exists";
}

const char* RefusalCode(Refusal why) {
    switch (why) {
        case Refusal::NoText:
            return "tab-stop";
        case Refusal::RootRequired:
            return "root-required";
        case Refusal::FolderMarker:
            return "folder-marker";
        case Refusal::PostProcessMarker:
            return "post-process-marker";
        case Refusal::TooManyFiles:
            return "too-many-files";
        case Refusal::SourceUnreadable:
            return "source-unreadable";
        case Refusal::PostProcessUnreadable:
            return "post-process-unreadable";
        case Refusal::NoFiles:
            return "no-files";
    }
    return "refused";
}

// Everything the checker has learnt, turned into diagnostics.
class Diagnoser {
public:
    Diagnoser(CheckReport& report,
              CheckSystem& system,
              const Trace& trace,
              const RecordingSystem& recorder,
              const std::vector<LineView>& views,
              std::optional<std::wstring> launchDocument,
              Diagnostics& out)
        : report_(report),
          system_(system),
          trace_(trace),
          recorder_(recorder),
          views_(views),
          launchDocument_(std::move(launchDocument)),
          out_(out) {}

    void Run() {
        Launch();
        Refused();
        for (const BlockTrace& block : trace_.blocks) {
            Block(block);
        }
        for (const BlockLineTrace& line : trace_.blockLines) {
            BlockLineChecks(line, trace_.blocks[line.block]);
        }
        FileLines();
        PostProcess();
        ExclusiveEnd();
        for (std::size_t i = 0; i < views_.size(); ++i) {
            Lexical(static_cast<std::uint32_t>(i + 1), views_[i]);
        }
    }

private:
    const LineView* View(std::uint32_t line) const {
        return line >= 1 && line <= views_.size() ? &views_[line - 1] : nullptr;
    }
    bool CommentCut(std::uint32_t line) const {
        const LineView* view = View(line);
        return view != nullptr && view->commentCut();
    }
    const LineUse* Use(std::uint32_t line) const {
        const auto found = trace_.uses.find(line);
        return found == trace_.uses.end() ? nullptr : &found->second;
    }
    void Launch() {
        if (!report_.launch) {
            return;
        }
        const LaunchReport& launch = *report_.launch;
        if (launch.text == kParameterHeader || launch.text == kPostProcessHeader) {
            out_.Add(
                launch.line, Severity::Warning, "header-as-launch-line",
                L"the first line with content is always the launch line: this header is not recognised, and "
                L"the lines after it are read as file lines");
        }
        if (launchDocument_ && system_.IsPathMissing(*launchDocument_)) {
            out_.Add(launch.line, Severity::Warning, "launch-missing",
                     L"the launch document " + *launch.document +
                         L" does not exist: the updater opens it at start-up without checking");
        }
    }

    void Refused() {
        if (!trace_.refusal) {
            return;
        }
        const auto [line, why] = *trace_.refusal;
        RefusalReport refusal;
        refusal.line = line;
        refusal.code = RefusalCode(why);
        refusal.boxes = recorder_.boxes;
        if (why == Refusal::SourceUnreadable || why == Refusal::PostProcessUnreadable) {
            refusal.systemError = recorder_.openError;
        }
        const std::wstring shows = L": the updater shows " + BoxesText(refusal) + L" and stops";
        std::wstring text;
        switch (why) {
            case Refusal::NoText:
                text =
                    L"the line begins with a tab: the updater reads no text from it and stops the update "
                    L"here "
                    L"without a message";
                break;
            case Refusal::RootRequired: {
                const BlockReport& block = report_.blocks.back();
                refusal.line = block.verdict == Verdict::NotFound ? block.keyLine : block.checkListLine;
                text = L"required block without a valid install root (" + RejectionText(block) + L")" + shows;
                break;
            }
            case Refusal::FolderMarker:
            case Refusal::PostProcessMarker: {
                const BlockLineTrace& last = trace_.blockLines.back();
                const bool folder = why == Refusal::FolderMarker;
                std::wstring hint;
                if (!trace_.blocks.back().complete) {
                    hint = L" (the script ends inside the block)";
                } else if (PathKey(last.text).find(PathKey(kRootMarker)) != std::wstring::npos) {
                    hint = L" (the marker is case-sensitive)";
                }
                text = std::wstring(folder ? L"the folder line " : L"the post-process line ") +
                       Quote(last.text) + L" does not contain \"%Root%\\\"" + hint + shows;
                break;
            }
            case Refusal::TooManyFiles:
                text = L"one file line too many: the updater accepts at most " + Number(kMaxCopyEntries) +
                       L" file lines" + shows;
                break;
            case Refusal::SourceUnreadable:
                text = L"cannot open the source " + system_.ShownPath(recorder_.openPath) + L" (" +
                       recorder_.openError + L")" + shows;
                break;
            case Refusal::PostProcessUnreadable:
                text = L"cannot open the post-process item " + system_.ShownPath(recorder_.openPath) +
                       L" named at line " + Number(trace_.postProcesses.back().line) + L" (" +
                       recorder_.openError + L"); the updater checks it with every file line after it" +
                       shows;
                break;
            case Refusal::NoFiles:
                text = std::wstring(L"no file line is accepted") +
                       (trace_.fileLines.empty() ? L" (the script has none)" : L"") + shows;
                break;
        }
        out_.Add(refusal.line, Severity::Error, refusal.code.c_str(), text);
        report_.refusal = std::move(refusal);
    }

    void Block(const BlockTrace& block) {
        if (!block.complete) {
            out_.Add(block.header, Severity::Warning, "ends-in-block",
                     block.usedLastFields
                         ? L"the script ends inside this block: the updater reads its missing lines from the "
                           L"text after the tabs of the last line, or as empty text"
                         : L"the script ends inside this block: the updater reads its missing lines as empty "
                           L"text");
        }
        if (block.parameter) {
            RootNotes(report_.blocks[block.index]);
        }
    }

    void BlockLineChecks(const BlockLineTrace& line, const BlockTrace& block) {
        // An empty block line is a tab-led line or one past the end of the
        // script; the warnings about those say what it reads as.
        if (line.text.empty()) {
            return;
        }
        const std::wstring& text = line.text;
        if (line.present && (text == kParameterHeader || text == kPostProcessHeader)) {
            out_.Add(line.line, Severity::Warning, "header-in-block",
                     L"this header is read as the " + std::wstring(BlockLineName(line.which)) +
                         L" of the block at line " + Number(block.header) + L": that block lacks lines");
        }
        switch (line.which) {
            case Which::RegistryKey:
                if (HasEdgeSpaces(text)) {
                    out_.Add(line.line, Severity::Warning, "spaces",
                             L"the registry key " + Quote(text) +
                                 L" has spaces at its start or end: the updater looks it up with them");
                }
                break;
            case Which::CheckList:
                CheckList(line.line, text);
                break;
            case Which::RootMode:
                RootMode(line.line, text);
                break;
            case Which::Message: {
                const BlockReport& report = report_.blocks[block.index];
                if (report.rootMode == CopyPlanBuilder::kRootRequired &&
                    std::all_of(text.begin(), text.end(), IsSpace)) {
                    out_.Add(line.line, Severity::Warning, "empty-message",
                             L"the message of this required block is blank: without a valid install root the "
                             L"updater shows an empty box");
                }
                break;
            }
            case Which::Folder:
            case Which::PostProcess:
                RootLine(line, line.which == Which::Folder);
                break;
        }
    }

    void CheckList(std::uint32_t line, const std::wstring& text) {
        if (text == L"None") {
            return;
        }
        if (Folded(text) == L"none") {
            out_.Add(
                line, Severity::Warning, "none-spelling",
                L"the check list " + Quote(text) +
                    L" is not exactly \"None\": the updater reads it as check mode 0 without names, which "
                    L"never verifies the install root");
            return;
        }
        const CheckListParts parts = SplitCheckList(text);
        if (!parts.modeText.empty() && !IsPlainNumber(parts.modeText)) {
            out_.Add(line, Severity::Warning, "check-mode-not-number",
                     L"the check mode " + Quote(parts.modeText) +
                         L" is not a number: the updater reads it as " + std::to_wstring(parts.mode));
        }
        if (parts.mode == 0 && parts.names.empty()) {
            out_.Add(
                line, Severity::Warning, "check-zero-no-names",
                L"check mode 0 without names never verifies the install root: name a file or folder of the "
                L"application after it, or write \"None\"");
        }
        for (const std::wstring& name : parts.names) {
            if (HasEdgeSpaces(name)) {
                out_.Add(line, Severity::Warning, "spaces",
                         L"the check name " + Quote(name) +
                             L" has spaces at its start or end: the updater looks for it with them");
            }
        }
    }

    void RootMode(std::uint32_t line, const std::wstring& text) {
        const std::int32_t value = ParseScriptNumber(text);
        const auto mode = static_cast<std::uint8_t>(value & 0xFF);
        const std::wstring reading = std::to_wstring(mode) + L" (" + RootModeName(mode) + L")";
        if (!IsPlainNumber(text)) {
            out_.Add(
                line, Severity::Warning, "root-mode-not-number",
                L"the root mode " + Quote(text) + L" is not a number: the updater reads it as " + reading);
        } else if (value < 0 || value > 255) {
            out_.Add(line, Severity::Warning, "root-mode-range",
                     L"only the low 8 bits of the root mode count: the updater reads " +
                         std::to_wstring(value) + L" as " + reading);
        }
    }

    // A folder line or a post-process line.
    void RootLine(const BlockLineTrace& line, bool folder) {
        const std::wstring& text = line.text;
        const std::size_t marker = text.find(kRootMarker);
        if (marker == std::wstring::npos) {
            return;  // the refusal says it
        }
        const std::wstring rest = text.substr(kRootMarkerLength);
        const wchar_t* what = folder ? L"folder" : L"post-process item";
        if (marker > 0) {
            out_.Add(
                line.line, Severity::Warning, "marker-not-at-start",
                L"\"%Root%\\\" is not at the start of the line: the updater drops its first seven characters "
                L"all the same, which leaves the " +
                    std::wstring(what) + L" " + Quote(rest));
            return;
        }
        if (!rest.empty() && IsSpace(rest.back())) {
            if (!CommentCut(line.line)) {
                out_.Add(line.line, Severity::Warning, "spaces",
                         folder
                             ? L"the folder line ends with spaces: the updater joins them to every file name"
                             : L"the post-process line ends with spaces: the updater keeps them in the path");
            }
        } else if (folder && !rest.empty() && rest.back() != L'\\' && rest.back() != L'/') {
            out_.Add(
                line.line, Severity::Warning, "folder-no-backslash",
                L"the folder " + Quote(rest) +
                    L" does not end with a backslash: the updater joins it to each file line without one");
        }
    }

    void RootNotes(const BlockReport& block) {
        if (report_.refusal && report_.refusal->code == "root-required" && &block == &report_.blocks.back()) {
            return;
        }
        if (block.verdict == Verdict::NotFound && block.keyLine != 0) {
            out_.Add(block.keyLine, Severity::Note, "root-not-found",
                     RejectionText(block) + L" here: the file lines of this block are ignored");
        } else if (block.verdict == Verdict::Rejected) {
            out_.Add(block.checkListLine, Severity::Note, "root-rejected",
                     RejectionText(block) + L": the file lines of this block are ignored");
        }
    }

    void FileLines() {
        for (const auto& [line, text] : trace_.fileLines) {
            if (const std::wstring* header = NearMissHeader(text)) {
                out_.Add(line, Severity::Warning, "near-miss-header",
                         Quote(text) + L" is read as a file line, not as a header: the " +
                             (*header == kParameterHeader
                                  ? L"parameter block header is exactly \"[SetParamter]\" (no \"e\" after "
                                    L"\"Param\")"
                                  : L"post-process block header is exactly \"[SetPostProc]\"") +
                             L", alone on its line");
            }
            if (OnlySpaces(text)) {
                out_.Add(line, Severity::Warning, "spaces",
                         L"the line holds only spaces: the updater reads it as a file line");
            } else if (HasEdgeSpaces(text) && !CommentCut(line)) {
                out_.Add(line, Severity::Warning, "spaces",
                         L"the file line " + Quote(text) +
                             L" has spaces at its start or end: the updater keeps them in the file name");
            }
            if (IsAbsolute(text)) {
                out_.Add(
                    line, Severity::Warning, "absolute-file-line",
                    L"the file line " + Quote(text) +
                        L" is an absolute path: the updater joins it to the source folder and to the install "
                        L"root all the same");
            } else if (ClimbsOut(text)) {
                out_.Add(line, Severity::Warning, "climbs-out",
                         L"the file line " + Quote(text) +
                             L" climbs out of the install root with \"..\": the file would land outside the "
                             L"application's folder");
            }
        }
        for (const Trace::Dropped& dropped : trace_.dropped) {
            if (dropped.why == PlanObserver::DropReason::BeforeAnyBlock) {
                out_.Add(dropped.line, Severity::Warning, "dropped-before-block",
                         L"this file line comes before any parameter block: the updater ignores it");
            } else {
                out_.Add(dropped.line, Severity::Note, "dropped",
                         L"file line ignored: the block at line " + Number(dropped.block) +
                             L" has no valid install root here");
            }
        }
        std::map<std::wstring, std::uint32_t> copies;
        std::map<std::wstring, std::uint32_t> destinations;
        for (std::size_t i = 0; i < report_.files.size(); ++i) {
            const FileReport& file = report_.files[i];
            const CopyEntry& entry = trace_.entries[i];
            const std::wstring source = entry.sourceFolder + entry.fileName;
            const std::wstring destination = entry.targetFolder + entry.fileName;
            if (source.size() >= kLongPath) {
                out_.Add(
                    file.line, Severity::Warning, "long-path",
                    L"the source path has " + Number(source.size()) +
                        L" characters: Windows opens paths of 260 characters or more only with long path "
                        L"support, and the updater then refuses the script");
            }
            if (destination.size() >= kLongPath) {
                out_.Add(
                    file.line, Severity::Warning, "long-path",
                    L"the destination path has " + Number(destination.size()) +
                        L" characters: Windows handles paths of 260 characters or more only with long path "
                        L"support");
            }
            const std::wstring copyKey = PathKey(source) + L"|" + PathKey(destination);
            if (const auto found = copies.find(copyKey); found != copies.end()) {
                out_.Add(file.line, Severity::Warning, "duplicate-file-line",
                         L"the same copy as line " + Number(found->second) +
                             L": the updater copies the file twice");
            } else if (const auto same = destinations.find(PathKey(destination));
                       same != destinations.end()) {
                out_.Add(file.line, Severity::Warning, "same-destination",
                         L"the same destination as line " + Number(same->second) +
                             L": this copy overwrites that one");
            }
            copies.emplace(copyKey, file.line);
            destinations.emplace(PathKey(destination), file.line);
        }
    }

    void PostProcess() {
        const auto& items = trace_.postProcesses;
        for (std::size_t i = 0; i + 1 < items.size(); ++i) {
            out_.Add(items[i].line, Severity::Warning, "post-process-replaced",
                     L"the post-process block at line " + Number(items[i + 1].line) + L" replaces this one");
        }
        if (items.empty()) {
            return;
        }
        const PostProcessReport& item = items.back();
        if (item.path.size() >= kLongPath) {
            out_.Add(item.line, Severity::Warning, "long-path",
                     L"the post-process path has " + Number(item.path.size()) +
                         L" characters: Windows opens paths of 260 characters or more only with long path "
                         L"support");
        }
        if (report_.accepted && !item.checkedByUpdater) {
            const std::wstring shown = system_.ShownPath(item.path);
            std::wstring reason;
            if (system_.OpenForReadSize(item.path, reason)) {
                out_.Add(
                    item.line, Severity::Note, "post-process-unchecked",
                    L"the post-process block comes after the last file line: the updater never checks that " +
                        shown + L" exists (it does here)");
            } else {
                out_.Add(
                    item.line, Severity::Warning, "post-process-unchecked",
                    L"the post-process block comes after the last file line: the updater never checks that " +
                        shown + L" exists, and it cannot be opened here (" + reason + L")");
            }
        }
    }

    void ExclusiveEnd() {
        const std::uint32_t end = report_.exclusiveEnd;
        if (end == 0) {
            return;
        }
        const auto last = static_cast<std::uint32_t>(views_.size());
        out_.Add(
            end, Severity::Note, "exclusive-end",
            L"the block at line " + Number(report_.blocks.back().line) +
                L" is exclusive and its install root is valid: the updater stops reading at this header and "
                L"ignores " +
                (end < last ? L"lines " + Number(end) + L" to " + Number(last) : std::wstring(L"this line")));
        for (std::uint32_t line = end + 1; line <= last; ++line) {
            const std::wstring* first = views_[line - 1].first();
            if (views_[line - 1].content && first != nullptr && *first == kPostProcessHeader) {
                out_.Add(line, Severity::Warning, "exclusive-drops-post-process",
                         L"this post-process block is ignored: the updater stops reading at line " +
                             Number(end) + L", after the exclusive block at line " +
                             Number(report_.blocks.back().line));
            }
        }
    }

    void Lexical(std::uint32_t line, const LineView& view) {
        if (!view.content) {
            return;  // blank or a comment, however long
        }
        if (view.tooLong) {
            out_.Add(
                line, Severity::Warning, "long-line",
                L"the line holds " + Number(view.raw.size() + view.endLength) +
                    L" characters with its line end: the updater reads only the first 1023 and drops the "
                    L"rest");
        }
        if (view.commentCut()) {
            std::wstring text = L"\"//\" starts a comment here: the updater reads this line only as far as " +
                                Quote(view.kept);
            if (IsSpace(view.kept.back())) {
                text += L", spaces included";
            }
            out_.Add(line, Severity::Warning, "comment-cut", text);
        }
        const LineUse* use = Use(line);
        if (view.tabLed) {
            if (use != nullptr && use->use == LineUse::Use::NoText) {
                return;  // the refusal says it
            }
            if (use != nullptr && use->use == LineUse::Use::BlockLine) {
                out_.Add(line, Severity::Warning, "tab-led",
                         L"the line begins with a tab: the updater reads this " +
                             std::wstring(BlockLineName(use->which)) + L" as empty text");
            } else {
                out_.Add(
                    line, Severity::Warning, "tab-led",
                    L"the line begins with a tab: wherever the updater expects a header or a file line, such "
                    L"a line stops the update without a message");
            }
            return;
        }
        if (view.fields.size() >= 2 && trace_.lastFieldLines.count(line) == 0) {
            const bool tab = view.kept.find(L'\t') != std::wstring::npos;
            out_.Add(line, Severity::Warning, "text-after-tab",
                     std::wstring(tab ? L"text after a tab is ignored"
                                      : L"text after a carriage return is ignored") +
                         L": the updater reads only " + Quote(view.fields.front()) + L" from this line");
        }
    }

    CheckReport& report_;
    CheckSystem& system_;
    const Trace& trace_;
    const RecordingSystem& recorder_;
    const std::vector<LineView>& views_;
    const std::optional<std::wstring> launchDocument_;  // as the updater forms it
    Diagnostics& out_;
};

void Finish(CheckReport& report, std::vector<Diagnostic>& list) {
    std::stable_sort(list.begin(), list.end(), [](const Diagnostic& a, const Diagnostic& b) {
        return a.line != b.line ? a.line < b.line : a.severity < b.severity;
    });
    report.diagnostics = std::move(list);
}

}  // namespace

const wchar_t* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return L"error";
        case Severity::Warning:
            return L"warning";
        case Severity::Note:
            return L"note";
    }
    return L"note";
}

std::size_t CheckReport::Count(Severity severity) const {
    return static_cast<std::size_t>(std::count_if(
        diagnostics.begin(), diagnostics.end(), [&](const Diagnostic& d) { return d.severity == severity; }));
}

int CheckReport::ExitStatus() const {
    if (!accepted) {
        return 2;
    }
    return Count(Severity::Warning) > 0 ? 1 : 0;
}

std::wstring ProgramFolderOf(const std::wstring& folder) {
    ClearPathBuffers();
    CopyPathText(InstallRootBuffer(), folder.c_str());
    std::wstring text = InstallRootBuffer();
    AddBackslash(text);
    CopyPathText(InstallRootBuffer(), text.c_str());
    std::wstring programFolder = MakeRootPath(0, L"");
    ClearPathBuffers();
    return programFolder;
}

std::wstring ProgramFolderOfFile(const std::wstring& file) {
    SplitParts parts{};
    return ProgramFolderOf(GetFolderPart(parts, file.c_str()));
}

CheckReport UnreadableScript(const std::wstring& scriptName, const std::wstring& reason) {
    CheckReport report;
    report.scriptName = scriptName;
    RefusalReport refusal;
    refusal.code = "unreadable";
    refusal.boxes.push_back(MissingScriptBox());
    report.refusal = refusal;
    report.diagnostics.push_back(Diagnostic{0, Severity::Error, "unreadable",
                                            L"cannot read the script (" + reason + L"): the updater shows " +
                                                BoxesText(refusal) + L" and stops"});
    return report;
}

CheckReport CheckScript(const std::string& bytes,
                        const std::wstring& scriptName,
                        const std::wstring& programFolder,
                        CheckSystem& system) {
    CheckReport report;
    report.scriptName = scriptName;
    report.programFolder = system.ShownPath(programFolder);
    std::vector<Diagnostic> list;
    Diagnostics out(list);
    CheckEncoding(bytes, out);

    // The store's traces go to the capture, not to the output.
    DebugOutputCapture capture;
    CTextLine store;
    if (bytes.size() >= CTextBase::kInvalidFileSize ||
        !store.Load(bytes.data(), static_cast<std::uint32_t>(bytes.size()))) {
        RefusalReport refusal;
        refusal.line = 1;
        refusal.code = "no-content";
        refusal.boxes.push_back(MissingScriptBox());
        report.refusal = refusal;
        out.Add(
            1, Severity::Error, "no-content",
            L"the script has no line with content: the updater shows " + BoxesText(refusal) + L" and stops");
        Finish(report, list);
        return report;
    }
    const std::vector<LineView> views = ViewLines(bytes);

    // The launch line, as start-up reads it.
    LaunchReport launch;
    launch.line = store.currentLineIndex() + 1;
    const char* field = store.GetField();
    launch.text = field == nullptr ? std::wstring() : WidenAnsi(field);
    const std::wstring piece = LaunchDocument(launch.text);
    std::optional<std::wstring> document;
    if (!piece.empty()) {
        document = programFolder + piece;
        launch.document = system.ShownPath(*document);
    }
    report.launch = launch;

    CopyJob job;
    job.programFolder = programFolder;
    RecordingSystem recorder(system);
    Trace trace(report, system);
    trace.uses[launch.line] = {LineUse::Use::Launch};
    report.accepted = CopyPlanBuilder(store, job, recorder, &trace).Build();
    if (!trace.postProcesses.empty()) {
        report.postProcess = trace.postProcesses.back();
        report.postProcess->path = system.ShownPath(report.postProcess->path);
    }

    Diagnoser(report, system, trace, recorder, views, document, out).Run();
    Finish(report, list);
    return report;
}

}  // namespace velkast::check
