#include "core/run/RunOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/run/ExitCode.h"

namespace velkast {
namespace {

// The arguments for a failure message, non-ASCII characters as "?".
std::string Shown(const std::vector<std::wstring>& arguments) {
    std::string shown;
    for (const std::wstring& argument : arguments) {
        shown += "[";
        for (const wchar_t c : argument) {
            shown += c < 0x80 ? static_cast<char>(c) : '?';
        }
        shown += "]";
    }
    return shown;
}

TEST(RunOptions, SwitchesAndTheirMistakes) {
    struct Case {
        std::vector<std::wstring> arguments;
        RunMode mode;
        std::wstring logPath;
        std::optional<std::wstring> problem;
    };
    const std::optional<std::wstring> none;
    const Case cases[] = {
        {{}, RunMode::Interactive, L"", none},
        {{L"/quiet"}, RunMode::Quiet, L"", none},
        {{L"/passive"}, RunMode::Passive, L"", none},
        // Any case, "-" as well as "/".
        {{L"-QUIET"}, RunMode::Quiet, L"", none},
        {{L"/Passive"}, RunMode::Passive, L"", none},
        {{L"-pAsSiVe", L"-LOG", L"C:\\logs\\v.log"}, RunMode::Passive, L"C:\\logs\\v.log", none},
        // /log alone keeps the run a person's; its file may begin with a dash.
        {{L"/log", L"更新 ログ.txt"}, RunMode::Interactive, L"更新 ログ.txt", none},
        {{L"/log", L"-quiet"}, RunMode::Interactive, L"-quiet", none},
        {{L"/log", L"a.log", L"/quiet", L"/log", L"b.log"}, RunMode::Quiet, L"b.log", none},
        {{L"/quiet", L"/quiet"}, RunMode::Quiet, L"", none},
        // Mistakes: the first one is told; the switches around it still count.
        {{L"/quiet", L"/silent"}, RunMode::Quiet, L"", L"unknown switch \"/silent\""},
        {{L"--quiet"}, RunMode::Interactive, L"", L"unknown switch \"--quiet\""},
        {{L"/q"}, RunMode::Interactive, L"", L"unknown switch \"/q\""},
        {{L"/quiet:"}, RunMode::Interactive, L"", L"unknown switch \"/quiet:\""},
        {{L"/"}, RunMode::Interactive, L"", L"unknown switch \"/\""},
        {{L"/passive", L"update"}, RunMode::Passive, L"", L"unexpected argument \"update\""},
        {{L""}, RunMode::Interactive, L"", L"unexpected argument \"\""},
        {{L"/quiet", L"/LOG"}, RunMode::Quiet, L"", L"\"/LOG\" without a file name"},
        {{L"/quiet", L"/passive"}, RunMode::Quiet, L"", L"/quiet and /passive together"},
        {{L"/x", L"/y", L"/passive"}, RunMode::Passive, L"", L"unknown switch \"/x\""},
    };
    for (const Case& c : cases) {
        const RunOptions options = ParseRunOptions(c.arguments);
        SCOPED_TRACE(Shown(c.arguments));
        EXPECT_EQ(options.mode, c.mode);
        EXPECT_EQ(options.unattended(), c.mode != RunMode::Interactive);
        EXPECT_EQ(options.logPath, c.logPath);
        EXPECT_EQ(options.problem, c.problem);
    }
}

// The codes are a published interface: administrators' scripts test them.
TEST(ExitCodes, StableAndOnePerRefusalKind) {
    const std::pair<ExitCode, int> published[] = {
        {ExitCode::Success, 0},          {ExitCode::CommandLine, 20},
        {ExitCode::AnotherInstance, 21}, {ExitCode::ProgramFolderUnknown, 22},
        {ExitCode::ScriptMissing, 23},   {ExitCode::RequiredApplication, 24},
        {ExitCode::PlanRefused, 25},     {ExitCode::DestinationFolder, 26},
        {ExitCode::CopyFailed, 27},      {ExitCode::InternalError, 28},
    };
    std::vector<std::wstring> meanings;
    for (const auto& [code, value] : published) {
        EXPECT_EQ(static_cast<int>(code), value);
        meanings.push_back(ExitCodeMeaning(code));
    }
    std::sort(meanings.begin(), meanings.end());
    EXPECT_EQ(std::unique(meanings.begin(), meanings.end()), meanings.end()) << "one meaning per code";

    using Refusal = PlanObserver::Refusal;
    EXPECT_EQ(ExitCodeForRefusal(Refusal::RootRequired), ExitCode::RequiredApplication);
    for (const Refusal why :
         {Refusal::NoText, Refusal::FolderMarker, Refusal::PostProcessMarker, Refusal::TooManyFiles,
          Refusal::SourceUnreadable, Refusal::PostProcessUnreadable, Refusal::NoFiles}) {
        EXPECT_EQ(ExitCodeForRefusal(why), ExitCode::PlanRefused);
    }
}

}  // namespace
}  // namespace velkast
