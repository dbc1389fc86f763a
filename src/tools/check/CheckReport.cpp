#include "tools/check/CheckReport.h"

#include <algorithm>

#include "core/plan/CopyPlanBuilder.h"
#include "core/script/UpdaterBoxes.h"

namespace velkast::check {
namespace {

using Verdict = PlanObserver::RootVerdict;
using Which = PlanObserver::BlockLine;
using Refusal = PlanObserver::Refusal;

template <typename Enum, typename Text>
struct Name {
    Enum value;
    Text text;
};

// The text that the table gives the value, or the fallback.
template <typename Enum, typename Text, std::size_t N>
Text Lookup(const Name<Enum, Text> (&table)[N], Enum value, Text fallback) {
    for (const auto& name : table) {
        if (name.value == value) {
            return name.text;
        }
    }
    return fallback;
}

using WideName = const wchar_t*;

const Name<Severity, WideName> kSeverities[] = {
    {Severity::Error, L"error"},
    {Severity::Warning, L"warning"},
    {Severity::Note, L"note"},
};

// Each verdict as a word and as the plan describes it.
const struct {
    Verdict verdict;
    const wchar_t* name;
    const wchar_t* text;
} kVerdicts[] = {
    {Verdict::NotFound, L"not-found", L"not found"},
    {Verdict::Unchecked, L"unchecked", L"not checked (\"None\")"},
    {Verdict::Verified, L"verified", L"verified by the check list"},
    {Verdict::Rejected, L"rejected", L"rejected by the check list"},
};

const Name<Which, WideName> kBlockLines[] = {
    {Which::RegistryKey, L"registry key line"},
    {Which::CheckList, L"check list line"},
    {Which::RootMode, L"root mode line"},
    {Which::Message, L"message line"},
    {Which::Folder, L"folder line"},
    {Which::PostProcess, L"post-process line"},
};

const Name<Refusal, const char*> kRefusals[] = {
    {Refusal::NoText, "tab-stop"},
    {Refusal::RootRequired, "root-required"},
    {Refusal::FolderMarker, "folder-marker"},
    {Refusal::PostProcessMarker, "post-process-marker"},
    {Refusal::TooManyFiles, "too-many-files"},
    {Refusal::SourceUnreadable, "source-unreadable"},
    {Refusal::PostProcessUnreadable, "post-process-unreadable"},
    {Refusal::NoFiles, "no-files"},
};

const auto& VerdictWords(Verdict verdict) {
    for (const auto& words : kVerdicts) {
        if (words.verdict == verdict) {
            return words;
        }
    }
    return kVerdicts[0];
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

}  // namespace

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

const wchar_t* SeverityName(Severity severity) {
    return Lookup(kSeverities, severity, L"note");
}

const wchar_t* HiveName(RegistryHive hive) {
    return hive == RegistryHive::CurrentUser ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE";
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

const wchar_t* VerdictName(Verdict verdict) {
    return VerdictWords(verdict).name;
}

const wchar_t* VerdictText(Verdict verdict) {
    return VerdictWords(verdict).text;
}

const wchar_t* BlockLineName(Which which) {
    return Lookup(kBlockLines, which, L"block line");
}

const char* RefusalCode(Refusal why) {
    return Lookup(kRefusals, why, "refused");
}

std::wstring BoxesText(const RefusalReport& refusal, bool systemCaption) {
    std::wstring text;
    if (!refusal.systemError.empty()) {
        text = L"the system's message " + Quoted(refusal.systemError);
        if (systemCaption) {
            text += L" (caption " + Quoted(kOpenFailureCaption) + L")";
        }
    }
    for (const PlanBox& box : refusal.boxes) {
        text += (text.empty() ? L"" : L", then ") + Quoted(box.text);
        if (box.caption) {
            text += L" (caption " + Quoted(*box.caption) + L")";
        }
    }
    return text;
}

}  // namespace velkast::check
