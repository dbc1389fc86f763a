#include "core/run/PlanLog.h"

namespace velkast {
namespace {

std::wstring LineText(std::uint32_t line) {
    return L"line " + std::to_wstring(line);
}

const wchar_t* HiveName(RegistryHive hive) {
    return hive == RegistryHive::CurrentUser ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE";
}

const wchar_t* ModeName(std::uint8_t mode) {
    switch (mode) {
        case 1:
            return L"required";
        case 2:
            return L"exclusive";
        default:
            return L"optional";
    }
}

const wchar_t* RefusalText(PlanObserver::Refusal why) {
    using Refusal = PlanObserver::Refusal;
    switch (why) {
        case Refusal::NoText:
            return L"a line that begins with a tab stops the script";
        case Refusal::RootRequired:
            return L"a required application is not installed or not verified";
        case Refusal::FolderMarker:
            return L"the folder line lacks %Root%\\";
        case Refusal::PostProcessMarker:
            return L"the post-process line lacks %Root%\\";
        case Refusal::TooManyFiles:
            return L"more files than one update may copy";
        case Refusal::SourceUnreadable:
            return L"a file of the update cannot be opened";
        case Refusal::PostProcessUnreadable:
            return L"the post-process item cannot be opened";
        case Refusal::NoFiles:
            return L"no file to copy";
    }
    return L"refused";
}

}  // namespace

void PlanLog::LineRead(std::uint32_t line, LineKind kind, const std::wstring&) {
    if (kind == LineKind::ParameterHeader) {
        block_ = Block{};
        block_.line = line;
    }
}

void PlanLog::BlockLineRead(std::uint32_t, BlockLine which, const std::wstring& text, bool) {
    if (which == BlockLine::RegistryKey) {
        block_.key = text;
    }
}

void PlanLog::EndedByExclusiveBlock(std::uint32_t line) {
    log_.Write(L"plan: " + LineText(line) + L": the script ends here, after an exclusive block");
}

void PlanLog::InstallRootFound(std::uint32_t, RegistryHive hive, const std::wstring& root) {
    block_.hive = hive;
    block_.root = root;
}

void PlanLog::RootDecided(std::uint32_t, RootVerdict verdict) {
    block_.verdict = verdict;
}

// The mode is the last thing the log needs of a block: its line is written here.
void PlanLog::RootModeRead(std::uint32_t, std::uint8_t mode) {
    std::wstring text = L"plan: block at " + LineText(block_.line) + L", key " + block_.key + L", " +
                        ModeName(mode) + L": install root ";
    if (block_.verdict == RootVerdict::NotFound) {
        text += L"not found";
    } else {
        text += block_.root + L" (" + HiveName(block_.hive) + L"), ";
        switch (block_.verdict) {
            case RootVerdict::Unchecked:
                text += L"not checked (None)";
                break;
            case RootVerdict::Verified:
                text += L"verified by the check list";
                break;
            default:
                text += L"rejected by the check list";
                break;
        }
    }
    log_.Write(text);
}

void PlanLog::PostProcessSet(std::uint32_t line, const std::wstring& path) {
    log_.Write(L"plan: " + LineText(line) + L": post-process item " + path);
}

void PlanLog::FileLineDropped(std::uint32_t line, const std::wstring& text, DropReason why) {
    log_.Write(L"plan: " + LineText(line) + L": " + text + L" skipped: " +
               (why == DropReason::BeforeAnyBlock ? L"no parameter block before it"
                                                  : L"its block has no valid install root"));
}

void PlanLog::FileLineAccepted(std::uint32_t line, const CopyEntry& entry, std::uint64_t size) {
    log_.Write(L"plan: " + LineText(line) + L": " + entry.sourceFolder + entry.fileName + L" -> " +
               entry.targetFolder + entry.fileName + L", " + std::to_wstring(size) + L" bytes");
}

void PlanLog::Refused(std::uint32_t line, Refusal why) {
    refusal_ = why;
    log_.Write(L"plan refused at " + LineText(line) + L": " + RefusalText(why));
}

void PlanLog::WriteTotal(const CopyJob& job) {
    log_.Write(L"plan: " + std::to_wstring(job.entries.size()) + L" files, " +
               std::to_wstring(job.totalBytes) + L" bytes in all");
}

}  // namespace velkast
