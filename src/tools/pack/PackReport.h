#pragma once
// What velkast-pack tells its user: errors (nothing is written) and
// warnings, one a line, as "file: error: reason".

#include <cstdint>
#include <string>
#include <vector>

namespace velkast::pack {

// Where a problem lies: a file, perhaps a line of it, or an option.
struct Origin {
    std::wstring file;
    std::uint32_t line = 0;

    std::wstring Text() const { return line == 0 ? file : file + L":" + std::to_wstring(line); }
};

enum class Severity { Error, Warning };

struct Problem {
    Severity severity = Severity::Error;
    std::wstring where;
    std::wstring text;
};

class Report {
public:
    void Error(const std::wstring& where, const std::wstring& text) {
        problems_.push_back(Problem{Severity::Error, where, text});
    }
    void Warning(const std::wstring& where, const std::wstring& text) {
        problems_.push_back(Problem{Severity::Warning, where, text});
    }
    void Error(const Origin& origin, const std::wstring& text) { Error(origin.Text(), text); }
    void Warning(const Origin& origin, const std::wstring& text) { Warning(origin.Text(), text); }

    std::size_t Count(Severity severity) const;
    bool failed() const { return Count(Severity::Error) > 0; }
    const std::vector<Problem>& problems() const { return problems_; }
    // One line a problem: "where: error: text".
    std::wstring Text() const;

private:
    std::vector<Problem> problems_;
};

}  // namespace velkast::pack
