#include "core/plan/CopyPlanBuilder.h"

#include "core/paths/FolderPart.h"
#include "core/paths/InstallRoot.h"
#include "core/plan/CheckList.h"
#include "core/plan/ScriptNumber.h"
#include "core/platform/AnsiText.h"
#include "core/text/TextLine.h"

namespace velkast {
namespace {

constexpr std::size_t kRootMarkerLength = 7;

const wchar_t* const kPathErrorCaption = L"パスエラー";
const wchar_t* const kFileErrorCaption = L"ファイル取得エラー";

std::wstring LongPathText(const wchar_t* heading, const std::wstring& path) {
    return std::wstring(heading) + L"\n\n[文字数] " + std::to_wstring(path.size()) + L"\n [path]  " + path;
}

// The observer of a builder that is given none.
PlanObserver g_noObserver;

}  // namespace

CopyPlanBuilder::CopyPlanBuilder(CTextLine& script, CopyJob& job, PlanSystem& system, PlanObserver* observer)
    : job_(job),
      script_(script),
      system_(system),
      observer_(observer == nullptr ? g_noObserver : *observer) {}

std::wstring CopyPlanBuilder::AfterRootMarker(const std::wstring& line) {
    return line.size() > kRootMarkerLength ? line.substr(kRootMarkerLength) : std::wstring();
}

std::uint32_t CopyPlanBuilder::Line() const {
    return script_.currentLineIndex() + 1;
}

CopyPlanBuilder::Step CopyPlanBuilder::Refuse(PlanObserver::Refusal why) {
    observer_.Refused(Line(), why);
    return Step::Fail;
}

std::optional<std::wstring> CopyPlanBuilder::Field() {
    const char* field = script_.GetField();
    if (field == nullptr) {
        return std::nullopt;
    }
    return WidenAnsi(field);
}

// The lines of a block are read whatever they hold; past the end of the
// script they read as the next field of its last line, or as empty text.
std::wstring CopyPlanBuilder::BlockLine(PlanObserver::BlockLine which) {
    const bool present = script_.NextLine();
    std::wstring text = Field().value_or(std::wstring());
    observer_.BlockLineRead(Line(), which, text, present);
    return text;
}

bool CopyPlanBuilder::Build() {
    for (;;) {
        if (!script_.NextLine()) {
            return Finish();
        }
        const std::optional<std::wstring> line = Field();
        if (!line) {
            observer_.LineRead(Line(), PlanObserver::LineKind::NoText, std::wstring());
            observer_.Refused(Line(), PlanObserver::Refusal::NoText);
            return false;
        }
        Step step;
        if (*line == kParameterHeader) {
            observer_.LineRead(Line(), PlanObserver::LineKind::ParameterHeader, *line);
            step = ReadParameterBlock();
        } else if (*line == kPostProcessHeader) {
            observer_.LineRead(Line(), PlanObserver::LineKind::PostProcessHeader, *line);
            step = ReadPostProcessBlock();
        } else {
            observer_.LineRead(Line(), PlanObserver::LineKind::FileLine, *line);
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
        observer_.EndedByExclusiveBlock(Line());
        return Step::Finish;
    }
    blockRead_ = true;

    using Verdict = PlanObserver::RootVerdict;
    const std::wstring key = BlockLine(PlanObserver::BlockLine::RegistryKey);
    const bool userRoot = GetInstallDir(system_, key, RegistryHive::CurrentUser);
    rootValid_ = userRoot || GetInstallDir(system_, key, RegistryHive::LocalMachine);
    if (rootValid_) {
        targetRoot_ = MakeRootPath(0, L"");
        observer_.InstallRootFound(Line(), userRoot ? RegistryHive::CurrentUser : RegistryHive::LocalMachine,
                                   targetRoot_);
    }

    const std::wstring checkList = BlockLine(PlanObserver::BlockLine::CheckList);
    Verdict verdict = rootValid_ ? Verdict::Unchecked : Verdict::NotFound;
    if (rootValid_ && checkList != kNoCheckList) {
        rootValid_ = VerifyRoot(checkList);
        verdict = rootValid_ ? Verdict::Verified : Verdict::Rejected;
    }
    observer_.RootDecided(Line(), verdict);

    rootMode_ =
        static_cast<std::uint8_t>(ParseScriptNumber(BlockLine(PlanObserver::BlockLine::RootMode)) & 0xFF);
    observer_.RootModeRead(Line(), rootMode_);
    const std::wstring message = BlockLine(PlanObserver::BlockLine::Message);
    if (rootMode_ == kRootRequired && !rootValid_) {
        system_.ShowPlanMessage(message, nullptr);
        return Refuse(PlanObserver::Refusal::RootRequired);
    }

    const std::wstring folder = BlockLine(PlanObserver::BlockLine::Folder);
    if (folder.find(kRootMarker) == std::wstring::npos) {
        system_.ShowPlanMessage(L"ディレクトリ設定が不正です", nullptr);
        return Refuse(PlanObserver::Refusal::FolderMarker);
    }
    // The marker is expected at the start of the line: its length is dropped.
    sourceFolder_ = job_.programFolder + AfterRootMarker(folder);
    observer_.SourceFolderSet(Line(), sourceFolder_);
    return Step::Continue;
}

// The names are looked up below the root in their order: with check mode 0
// the first that exists verifies the root, with any other mode the first
// that does not rejects it.
bool CopyPlanBuilder::VerifyRoot(const std::wstring& checkList) {
    const CheckListParts parts = SplitCheckList(checkList);
    for (const auto& name : parts.names) {
        const bool exists = !system_.IsPathMissing(targetRoot_ + name);
        observer_.CheckNameTested(Line(), name, exists);
        if (exists != parts.needsAll()) {
            return exists;
        }
    }
    return parts.needsAll();
}

CopyPlanBuilder::Step CopyPlanBuilder::ReadPostProcessBlock() {
    const std::wstring line = BlockLine(PlanObserver::BlockLine::PostProcess);
    if (line.find(kRootMarker) == std::wstring::npos) {
        system_.ShowPlanMessage(L"後処理のディレクトリ設定が不正です", nullptr);
        return Refuse(PlanObserver::Refusal::PostProcessMarker);
    }
    job_.postProcessPath = job_.programFolder + AfterRootMarker(line);
    SplitParts parts{};
    job_.postProcessFolder = GetFolderPart(parts, job_.postProcessPath.c_str());
    observer_.PostProcessSet(Line(), job_.postProcessPath);
    return Step::Continue;
}

CopyPlanBuilder::Step CopyPlanBuilder::ReadFileLine(const std::wstring& line) {
    // Without a valid install root the line is dropped without a word.
    if (!rootValid_) {
        observer_.FileLineDropped(
            Line(), line,
            blockRead_ ? PlanObserver::DropReason::RootNotValid : PlanObserver::DropReason::BeforeAnyBlock);
        return Step::Continue;
    }
    if (job_.entries.size() >= kMaxCopyEntries) {
        system_.ShowPlanMessage(L"コピーできる最大数を超えました", nullptr);
        return Refuse(PlanObserver::Refusal::TooManyFiles);
    }
    job_.entries.push_back(CopyEntry{line, sourceFolder_, targetRoot_});

    const std::wstring source = sourceFolder_ + line;
    const std::optional<std::uint64_t> size = system_.OpenForReadSize(source);
    if (!size) {
        if (IsLongPath(source)) {
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
        return Refuse(PlanObserver::Refusal::SourceUnreadable);
    }

    // A post-process item is checked again with every later file line.
    const std::wstring& postProcess = job_.postProcessPath;
    if (!postProcess.empty() && !system_.OpenForReadSize(postProcess)) {
        if (IsLongPath(postProcess)) {
            system_.ShowPlanMessage(LongPathText(L"後処理パスの長さが260文字を超えました。", postProcess),
                                    kPathErrorCaption);
        } else {
            system_.ShowPlanMessage(
                L"後処理したいファイルの取得に失敗しました。[後処理ファイル名]  " + postProcess,
                kFileErrorCaption);
        }
        return Refuse(PlanObserver::Refusal::PostProcessUnreadable);
    }

    job_.totalBytes += *size;
    observer_.FileLineAccepted(Line(), job_.entries.back(), *size);
    return Step::Continue;
}

bool CopyPlanBuilder::Finish() {
    if (job_.entries.empty()) {
        system_.ShowPlanMessage(L"コピーするファイルがありません", nullptr);
        observer_.Refused(Line(), PlanObserver::Refusal::NoFiles);
        return false;
    }
    return true;
}

}  // namespace velkast
