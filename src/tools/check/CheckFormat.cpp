#include "tools/check/CheckFormat.h"

#include <cstdint>
#include <vector>

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

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

const wchar_t* HiveName(RegistryHive hive) {
    return hive == RegistryHive::CurrentUser ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE";
}

std::wstring RootModeText(std::uint8_t mode) {
    if (mode == 1) {
        return L"required";
    }
    if (mode == 2) {
        return L"exclusive";
    }
    return mode == 0 ? L"optional" : L"optional (mode " + std::to_wstring(mode) + L")";
}

const wchar_t* VerdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::NotFound:
            return L"not-found";
        case Verdict::Unchecked:
            return L"unchecked";
        case Verdict::Verified:
            return L"verified";
        case Verdict::Rejected:
            return L"rejected";
    }
    return L"not-found";
}

std::wstring Plural(std::size_t count, const wchar_t* noun) {
    return std::to_wstring(count) + L" " + noun + (count == 1 ? L"" : L"s");
}

std::wstring Boxes(const RefusalReport& refusal) {
    std::wstring text;
    if (!refusal.systemError.empty()) {
        text = L"the system's message " + Quoted(refusal.systemError);
    }
    for (const PlanBox& box : refusal.boxes) {
        text += (text.empty() ? L"" : L", then ") + Quoted(box.text);
        if (box.caption) {
            text += L" (caption " + Quoted(*box.caption) + L")";
        }
    }
    return text;
}

std::wstring DiagnosticLine(const CheckReport& report, const Diagnostic& diagnostic) {
    std::wstring line = report.scriptName + L":";
    if (diagnostic.line != 0) {
        line += std::to_wstring(diagnostic.line) + L":";
    }
    return line + L" " + SeverityName(diagnostic.severity) + L": " + diagnostic.text;
}

// A small writer of indented JSON.
class Json {
public:
    void Open(wchar_t bracket) {
        Value();
        out_.push_back(bracket);
        first_.push_back(true);
    }
    void Close(wchar_t bracket) {
        const bool empty = first_.back();
        first_.pop_back();
        if (!empty) {
            NewLine();
        }
        out_.push_back(bracket);
    }
    void Key(const wchar_t* key) {
        Value();
        String(key);
        out_ += L": ";
        afterKey_ = true;
    }
    void Text(const std::wstring& text) {
        Value();
        String(text);
    }
    void Text(const wchar_t* text) { Text(std::wstring(text)); }
    void Text(const std::optional<std::wstring>& text) {
        if (text) {
            Text(*text);
        } else {
            Raw(L"null");
        }
    }
    void Number(std::uint64_t value) { Raw(std::to_wstring(value)); }
    void Bool(bool value) { Raw(value ? L"true" : L"false"); }
    void Raw(const std::wstring& text) {
        Value();
        out_ += text;
    }
    std::wstring Take() { return std::move(out_) + L"\n"; }

private:
    void NewLine() {
        out_.push_back(L'\n');
        out_.append(first_.size() * 2, L' ');
    }
    // Before a key, or a value that stands alone.
    void Value() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (!first_.empty()) {
            if (!first_.back()) {
                out_.push_back(L',');
            }
            first_.back() = false;
            NewLine();
        }
    }
    void String(const std::wstring& text) {
        static const wchar_t kHex[] = L"0123456789abcdef";
        out_.push_back(L'"');
        for (wchar_t c : text) {
            if (c == L'"' || c == L'\\') {
                out_.push_back(L'\\');
                out_.push_back(c);
            } else if (c == L'\n') {
                out_ += L"\\n";
            } else if (c == L'\r') {
                out_ += L"\\r";
            } else if (c == L'\t') {
                out_ += L"\\t";
            } else if (static_cast<std::uint32_t>(c) < 0x20) {
                out_ += L"\\u00";
                out_.push_back(kHex[(c >> 4) & 0xF]);
                out_.push_back(kHex[c & 0xF]);
            } else {
                out_.push_back(c);
            }
        }
        out_.push_back(L'"');
    }

    std::wstring out_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};

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
            std::wstring root = L"    install root: ";
            if (block.verdict == Verdict::NotFound) {
                root += L"not found";
            } else {
                root += block.installRoot + L" (" + HiveName(*block.hive) + L"), ";
                root += block.verdict == Verdict::Unchecked  ? L"not checked (\"None\")"
                        : block.verdict == Verdict::Verified ? L"verified by the check list"
                                                             : L"rejected by the check list";
            }
            if (block.verdict == Verdict::NotFound || block.verdict == Verdict::Rejected) {
                root += L": its file lines are ignored";
            }
            line(root);
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
    const std::wstring counts = Plural(report.Count(Severity::Warning), L"warning") + L", " +
                                Plural(report.Count(Severity::Note), L"note");
    if (report.accepted) {
        line(L"result: accepted, " + counts);
    } else if (report.refusal) {
        const RefusalReport& refusal = *report.refusal;
        std::wstring text = L"result: refused";
        if (refusal.line != 0) {
            text += L" at line " + std::to_wstring(refusal.line);
        }
        if (refusal.code == "tab-stop") {
            text += L": the updater stops without a message";
        } else if (!refusal.boxes.empty()) {
            text += L": the updater shows " + Boxes(refusal);
        } else {
            text += L": the updater cannot read the script";
        }
        line(text + L"; " + counts);
    }
    return out;
}

std::wstring FormatJson(const CheckReport& report) {
    Json json;
    json.Open(L'{');
    json.Key(L"script");
    json.Text(report.scriptName);
    json.Key(L"result");
    json.Text(report.accepted ? L"accepted" : L"refused");
    json.Key(L"exitStatus");
    json.Number(static_cast<std::uint64_t>(report.ExitStatus()));
    json.Key(L"programFolder");
    json.Text(report.programFolder);

    json.Key(L"launch");
    if (report.launch) {
        json.Open(L'{');
        json.Key(L"line");
        json.Number(report.launch->line);
        json.Key(L"text");
        json.Text(report.launch->text);
        json.Key(L"document");
        json.Text(report.launch->document);
        json.Close(L'}');
    } else {
        json.Raw(L"null");
    }

    json.Key(L"blocks");
    json.Open(L'[');
    for (const BlockReport& block : report.blocks) {
        json.Open(L'{');
        json.Key(L"line");
        json.Number(block.line);
        json.Key(L"key");
        json.Text(block.key);
        json.Key(L"hive");
        json.Text(block.hive ? std::optional<std::wstring>(HiveName(*block.hive)) : std::nullopt);
        json.Key(L"installRoot");
        json.Text(block.verdict == Verdict::NotFound ? std::nullopt
                                                     : std::optional<std::wstring>(block.installRoot));
        json.Key(L"checkList");
        json.Text(block.checkList);
        json.Key(L"verdict");
        json.Text(VerdictText(block.verdict));
        json.Key(L"rootMode");
        if (block.rootMode) {
            json.Number(*block.rootMode);
        } else {
            json.Raw(L"null");
        }
        json.Key(L"message");
        json.Text(block.message);
        json.Key(L"sourceFolder");
        json.Text(block.sourceFolder);
        json.Key(L"complete");
        json.Bool(block.complete);
        json.Close(L'}');
    }
    json.Close(L']');

    json.Key(L"files");
    json.Open(L'[');
    for (const FileReport& file : report.files) {
        json.Open(L'{');
        json.Key(L"line");
        json.Number(file.line);
        json.Key(L"blockLine");
        json.Number(report.blocks[file.block].line);
        json.Key(L"fileLine");
        json.Text(file.fileLine);
        json.Key(L"source");
        json.Text(file.source);
        json.Key(L"destination");
        json.Text(file.destination);
        json.Key(L"size");
        json.Number(file.size);
        json.Close(L'}');
    }
    json.Close(L']');
    json.Key(L"totalBytes");
    json.Number(report.totalBytes);

    json.Key(L"postProcess");
    if (report.postProcess) {
        json.Open(L'{');
        json.Key(L"line");
        json.Number(report.postProcess->line);
        json.Key(L"path");
        json.Text(report.postProcess->path);
        json.Key(L"checkedByUpdater");
        json.Bool(report.postProcess->checkedByUpdater);
        json.Close(L'}');
    } else {
        json.Raw(L"null");
    }

    json.Key(L"refusal");
    if (report.refusal) {
        const RefusalReport& refusal = *report.refusal;
        json.Open(L'{');
        json.Key(L"line");
        json.Number(refusal.line);
        json.Key(L"code");
        json.Text(FromUtf8(refusal.code));
        json.Key(L"systemError");
        json.Text(refusal.systemError.empty() ? std::nullopt
                                              : std::optional<std::wstring>(refusal.systemError));
        json.Key(L"messages");
        json.Open(L'[');
        for (const PlanBox& box : refusal.boxes) {
            json.Open(L'{');
            json.Key(L"caption");
            json.Text(box.caption);
            json.Key(L"text");
            json.Text(box.text);
            json.Close(L'}');
        }
        json.Close(L']');
        json.Close(L'}');
    } else {
        json.Raw(L"null");
    }

    json.Key(L"diagnostics");
    json.Open(L'[');
    for (const Diagnostic& diagnostic : report.diagnostics) {
        json.Open(L'{');
        json.Key(L"line");
        json.Number(diagnostic.line);
        json.Key(L"severity");
        json.Text(SeverityName(diagnostic.severity));
        json.Key(L"code");
        json.Text(FromUtf8(diagnostic.code));
        json.Key(L"text");
        json.Text(diagnostic.text);
        json.Close(L'}');
    }
    json.Close(L']');
    json.Close(L'}');
    return json.Take();
}

std::string ToUtf8(const std::wstring& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto code = static_cast<std::uint32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() &&
                static_cast<std::uint32_t>(text[i + 1]) >= 0xDC00 &&
                static_cast<std::uint32_t>(text[i + 1]) <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<std::uint32_t>(text[i + 1]) - 0xDC00);
                ++i;
            }
        }
        if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    std::wstring out;
    const auto put = [&](std::uint32_t code) {
        if constexpr (sizeof(wchar_t) == 2) {
            if (code >= 0x10000) {
                code -= 0x10000;
                out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
                out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
                return;
            }
        }
        out.push_back(static_cast<wchar_t>(code));
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        std::uint32_t code = length == 1   ? lead
                             : length == 2 ? lead & 0x1Fu
                             : length == 3 ? lead & 0x0Fu
                                           : lead & 0x07u;
        bool valid = length != 0 && lead < 0xF5 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3Fu);
        }
        const std::uint32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
        if (!valid || code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            put(0xFFFD);
            ++i;
            continue;
        }
        put(code);
        i += length;
    }
    return out;
}

}  // namespace velkast::check
