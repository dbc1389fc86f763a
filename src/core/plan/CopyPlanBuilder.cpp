#include "core/plan/CopyPlanBuilder.h"

#include <vector>

#include "core/paths/FolderPart.h"
#include "core/paths/InstallRoot.h"
#include "core/paths/Token.h"
#include "core/plan/ScriptNumber.h"
#include "core/platform/Platform.h"
#include "core/text/TextLine.h"

namespace velkast {
namespace {

constexpr std::size_t kRootMarkerLength = 7;
constexpr std::size_t kLongPath = 260;

const wchar_t* const kPathErrorCaption = L"パスエラー";
const wchar_t* const kFileErrorCaption = L"ファイル取得エラー";

// A field of the script, widened with the thread's ANSI code page.
std::wstring Widen(const char* ansi) {
    const int needed = platform::AnsiToWide(platform::AnsiPage::Thread, ansi, -1, nullptr, 0);
    if (needed <= 1) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written = platform::AnsiToWide(platform::AnsiPage::Thread, ansi, -1, wide.data(), needed);
    wide.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return wide;
}

std::wstring LongPathText(const wchar_t* heading, const std::wstring& path) {
    return std::wstring(heading) + L"\n\n[文字数] " + std::to_wstring(path.size()) + L"\n [path]  " + path;
}

}  // namespace

CopyPlanBuilder::CopyPlanBuilder(CopyJob& job, PlanSystem& system)
    : job_(job), script_(*job.script), system_(system) {}

std::optional<std::wstring> CopyPlanBuilder::Field() {
    const char* field = script_.GetField();
    if (field == nullptr) {
        return std::nullopt;
    }
    return Widen(field);
}

// The lines of a block are read whatever they hold; past the end of the
// script they read as the next field of its last line, or as empty text.
std::wstring CopyPlanBuilder::BlockLine() {
    script_.NextLine();
    return Field().value_or(std::wstring());
}

bool CopyPlanBuilder::Build() {
    for (;;) {
        if (!script_.NextLine()) {
            return Finish();
        }
        const std::optional<std::wstring> line = Field();
        if (!line) {
            return false;
        }
        Step step;
        if (*line == kParameterHeader) {
            step = ReadParameterBlock();
        } else if (*line == kPostProcessHeader) {
            step = ReadPostProcessBlock();
        } else {
            step = ReadFileLine(*line);
        }
        if (step == Step::Fail) {
            return false;
        }
        if (step == Step::Finish) {
            return Finish();
        }
    }
}

CopyPlanBuilder::Step CopyPlanBuilder::ReadParameterBlock() {
    // After an exclusive block with a valid root the script ends here.
    if (rootMode_ == kRootExclusive && rootValid_) {
        return Step::Finish;
    }

    const std::wstring key = BlockLine();
    rootValid_ = GetInstallDir(system_, key, RegistryHive::CurrentUser) ||
                 GetInstallDir(system_, key, RegistryHive::LocalMachine);
    if (rootValid_) {
        targetRoot_ = MakeRootPath(0, L"");
    }

    const std::wstring checkList = BlockLine();
    if (rootValid_ && checkList != L"None") {
        rootValid_ = VerifyRoot(checkList);
    }

    rootMode_ = static_cast<std::uint8_t>(ParseScriptNumber(BlockLine()) & 0xFF);
    const std::wstring message = BlockLine();
    if (rootMode_ == kRootRequired && !rootValid_) {
        system_.ShowPlanMessage(message, nullptr);
        return Step::Fail;
    }

    const std::wstring folder = BlockLine();
    if (folder.find(kRootMarker) == std::wstring::npos) {
        system_.ShowPlanMessage(L"ディレクトリ設定が不正です", nullptr);
        return Step::Fail;
    }
    // The marker is expected at the start of the line: its length is dropped.
    sourceFolder_ = job_.programFolder + folder.substr(kRootMarkerLength);
    return Step::Continue;
}

// "None" verifies nothing. Otherwise the first piece is the check mode and
// the rest are names below the root: with mode 0 one of them must exist, with
// any other mode all of them.
bool CopyPlanBuilder::VerifyRoot(const std::wstring& checkList) {
    std::int32_t position = 0;
    const std::int32_t mode = ParseScriptNumber(NextToken(checkList, L",", position));
    std::vector<std::wstring> names;
    while (position != -1) {
        std::wstring name = NextToken(checkList, L",", position);
        if (position != -1) {
            names.push_back(std::move(name));
        }
    }
    if (mode == 0) {
        for (const auto& name : names) {
            if (!system_.IsPathMissing(targetRoot_ + name)) {
                return true;
            }
        }
        return false;
    }
    for (const auto& name : names) {
        if (system_.IsPathMissing(targetRoot_ + name)) {
            return false;
        }
    }
    return true;
}

CopyPlanBuilder::Step CopyPlanBuilder::ReadPostProcessBlock() {
    const std::wstring line = BlockLine();
    if (line.find(kRootMarker) == std::wstring::npos) {
        system_.ShowPlanMessage(L"後処理のディレクトリ設定が不正です", nullptr);
        return Step::Fail;
    }
    job_.postProcessPath = job_.programFolder + line.substr(kRootMarkerLength);
    SplitParts parts{};
    job_.postProcessFolder = GetFolderPart(parts, job_.postProcessPath.c_str());
    return Step::Continue;
}

CopyPlanBuilder::Step CopyPlanBuilder::ReadFileLine(const std::wstring& line) {
    // Without a valid install root the line is dropped without a word.
    if (!rootValid_) {
        return Step::Continue;
    }
    if (job_.entries.size() >= kMaxCopyEntries) {
        system_.ShowPlanMessage(L"コピーできる最大数を超えました", nullptr);
        return Step::Fail;
    }
    job_.entries.push_back(CopyEntry{line, sourceFolder_, targetRoot_});

    const std::wstring source = sourceFolder_ + line;
    const std::optional<std::uint64_t> size = system_.OpenForReadSize(source);
    if (!size) {
        if (source.size() >= kLongPath) {
            system_.ShowPlanMessage(LongPathText(L"パスの長さが260文字を超えました。", source),
                                    kPathErrorCaption);
        } else {
            system_.ShowPlanMessage(
                L"コピーするファイルの取得に失敗しました。\n"
                L"テキストに書かれているファイル名と実際のファイル名を比べてみてください\n\n"
                L"[テキストに書かれているコピーしたいファイル名]  " +
                    line,
                kFileErrorCaption);
        }
        return Step::Fail;
    }

    // A post-process item is checked again with every later file line.
    const std::wstring& postProcess = job_.postProcessPath;
    if (!postProcess.empty() && !system_.OpenForReadSize(postProcess)) {
        if (postProcess.size() >= kLongPath) {
            system_.ShowPlanMessage(LongPathText(L"後処理パスの長さが260文字を超えました。", postProcess),
                                    kPathErrorCaption);
        } else {
            system_.ShowPlanMessage(
                L"後処理したいファイルの取得に失敗しました。[後処理ファイル名]  " + postProcess,
                kFileErrorCaption);
        }
        return Step::Fail;
    }

    job_.totalBytes += *size;
    return Step::Continue;
}

bool CopyPlanBuilder::Finish() {
    if (job_.entries.empty()) {
        system_.ShowPlanMessage(L"コピーするファイルがありません", nullptr);
        return false;
    }
    job_.entryCount = static_cast<std::int32_t>(job_.entries.size());
    return true;
}

}  // namespace velkast
