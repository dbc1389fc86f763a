#include "tools/check/ScriptLines.h"

#include <algorithm>

#include "core/platform/AnsiText.h"
#include "core/platform/DebugOutput.h"
#include "core/platform/Platform.h"
#include "core/text/TextLine.h"

namespace velkast::check {

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

}  // namespace velkast::check
