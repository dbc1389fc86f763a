#include "tools/check/CheckFormat.h"

#include <cstdint>

#include "core/plan/CopyPlanBuilder.h"

namespace velkast::check {
namespace {

using Verdict = PlanObserver::RootVerdict;

// One line of text output: line breaks and tabs of the script's texts are
// written as escapes, so that every diagnostic stays on one line.
std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n') {
            out += L"\\n";
        } else if (c == L'\r') {
            out += L"\\r";
        } else if (c == L'\t') {
            out += L"\\t";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The root mode's name, with its number where the name does not tell it.
std::wstring RootModeText(std::uint8_t mode) {
    const std::wstring name = RootModeName(mode);
    return mode > CopyPlanBuilder::kRootExclusive ? name + L" (mode " + std::to_wstring(mode) + L")" : name;
}

std::wstring Plural(std::size_t count, const wchar_t* noun) {
    return std::to_wstring(count) + L" " + noun + (count == 1 ? L"" : L"s");
}

std::wstring DiagnosticLine(const CheckReport& report, const Diagnostic& diagnostic) {
    std::wstring line = report.scriptName + L":";
    if (diagnostic.line != 0) {
        line += std::to_wstring(diagnostic.line) + L":";
    }
    return line + L" " + SeverityName(diagnostic.severity) + L": " + diagnostic.text;
}

std::wstring InstallRootLine(const BlockReport& block) {
    std::wstring root = L"    install root: ";
    if (block.verdict != Verdict::NotFound) {
        root += block.installRoot + L" (" + HiveName(*block.hive) + L"), ";
    }
    root += VerdictText(block.verdict);
    if (block.verdict == Verdict::NotFound || block.verdict == Verdict::Rejected) {
        root += L": its file lines are ignored";
    }
    return root;
}

std::wstring ResultLine(const CheckReport& report) {
    const std::wstring counts = Plural(report.Count(Severity::Warning), L"warning") + L", " +
                                Plural(report.Count(Severity::Note), L"note");
    if (report.accepted) {
        return L"result: accepted, " + counts;
    }
    const RefusalReport& refusal = *report.refusal;
    std::wstring text = L"result: refused";
    if (refusal.line != 0) {
        text += L" at line " + std::to_wstring(refusal.line);
    }
    if (refusal.code == RefusalCode(PlanObserver::Refusal::NoText)) {
        text += L": the updater stops without a message";
    } else if (!refusal.boxes.empty()) {
        text += L": the updater shows " + BoxesText(refusal, false);
    } else {
        text += L": the updater cannot read the script";
    }
    return text + L"; " + counts;
}

}  // namespace

std::wstring FormatText(const CheckReport& report) {
    std::wstring out;
    const auto line = [&](const std::wstring& text) { out += Escaped(text) + L"\n"; };
    if (report.launch) {
        line(L"plan of " + report.scriptName + L", program folder " + report.programFolder + L":");
        const LaunchReport& launch = *report.launch;
        line(L"  launch line " + std::to_wstring(launch.line) + L": " +
             (launch.document ? L"opens " + *launch.document : std::wstring(L"opens nothing")));
        for (std::size_t i = 0; i < report.blocks.size(); ++i) {
            const BlockReport& block = report.blocks[i];
            std::wstring head = L"  block at line " + std::to_wstring(block.line) + L": key " + block.key;
            if (block.rootMode) {
                head += L", " + RootModeText(*block.rootMode);
            }
            line(head);
            line(InstallRootLine(block));
            if (block.sourceFolder) {
                line(L"    files from " + *block.sourceFolder);
            }
            for (const FileReport& file : report.files) {
                if (file.block == i) {
                    line(L"    line " + std::to_wstring(file.line) + L": " + file.source + L" -> " +
                         file.destination + L", " + Plural(static_cast<std::size_t>(file.size), L"byte"));
                }
            }
        }
        if (report.postProcess) {
            line(L"  post-process line " + std::to_wstring(report.postProcess->line) + L": " +
                 report.postProcess->path);
        }
        line(L"  total: " + Plural(report.files.size(), L"file") + L", " +
             Plural(static_cast<std::size_t>(report.totalBytes), L"byte"));
    }
    for (const Diagnostic& diagnostic : report.diagnostics) {
        line(DiagnosticLine(report, diagnostic));
    }
    if (report.accepted || report.refusal) {
        line(ResultLine(report));
    }
    return out;
}

}  // namespace velkast::check
