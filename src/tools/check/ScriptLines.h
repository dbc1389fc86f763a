#pragma once
// The script's lines as the updater's text line store sees them, each with
// its raw text beside: what the diagnostics about single lines look at.

#include <string>
#include <vector>

namespace velkast::check {

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

// One view for each physical line of the script, as far as the store reads it.
std::vector<LineView> ViewLines(const std::string& bytes);

}  // namespace velkast::check
