#include "core/run/PlanLog.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "core/paths/InstallRoot.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/text/TextLine.h"
#include "support/FakePlanSystem.h"
#include "support/RecordingLog.h"

namespace velkast {
namespace {

using testing::FakePlanSystem;
using testing::RecordingLog;

std::string Script(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

struct Logged {
    bool built;
    std::vector<std::wstring> events;
    std::optional<PlanObserver::Refusal> refusal;
};

Logged Build(const std::string& script, FakePlanSystem system) {
    CTextLine lines;
    EXPECT_TRUE(lines.Load(script.data(), static_cast<std::uint32_t>(script.size())));
    CopyJob job;
    job.programFolder = L"C:\\pkg\\";
    RecordingLog log;
    PlanLog plan(log);
    ClearPathBuffers();
    const bool built = CopyPlanBuilder(lines, job, system, &plan).Build();
    return {built, log.events(), plan.refusal()};
}

FakePlanSystem Installed() {
    FakePlanSystem system;
    system.registry[{RegistryHive::CurrentUser, L"Software\\Viewer"}] = L"C:\\Viewer";
    system.registry[{RegistryHive::LocalMachine, L"Software\\Plugins"}] = L"D:\\Plugins";
    system.registry[{RegistryHive::LocalMachine, L"Software\\Old"}] = L"E:\\Old";
    system.files = {{L"C:\\pkg\\files\\viewer.exe", 524288},
                    {L"C:\\pkg\\files\\lang\\ja.txt", 6},
                    {L"C:\\pkg\\plugins\\comet.dll", 40},
                    {L"C:\\pkg\\tools\\after.exe", 5},
                    {L"C:\\Viewer\\viewer.exe", 1}};
    return system;
}

// Every block with its root and verdict, every file with its size, the
// dropped lines and the post-process item, in the order of the script.
TEST(PlanLog, TellsEachBlockAndFile) {
    const Logged logged = Build(Script({
                                    "[Update]readme.txt",
                                    "before.dat",
                                    "[SetParamter]",
                                    "Software\\Viewer",
                                    "1,viewer.exe",
                                    "1",
                                    "-",
                                    "%Root%\\files\\",
                                    "viewer.exe",
                                    "lang\\ja.txt",
                                    "[SetParamter]",
                                    "Software\\Plugins",
                                    "None",
                                    "257",
                                    "-",
                                    "%Root%\\plugins\\",
                                    "comet.dll",
                                    "[SetParamter]",
                                    "Software\\Old",
                                    "1,missing.exe",
                                    "0",
                                    "-",
                                    "%Root%\\old\\",
                                    "old.dll",
                                    "[SetParamter]",
                                    "Software\\Nowhere",
                                    "None",
                                    "2",
                                    "-",
                                    "%Root%\\x\\",
                                    "[SetPostProc]",
                                    "%Root%\\tools\\after.exe",
                                }),
                                Installed());
    EXPECT_TRUE(logged.built);
    EXPECT_EQ(logged.refusal, std::nullopt);
    const std::vector<std::wstring> expected = {
        L"plan: line 2: before.dat skipped: no parameter block before it",
        L"plan: block at line 3, key Software\\Viewer, required: install root C:\\Viewer\\ "
        L"(HKEY_CURRENT_USER), "
        L"verified by the check list",
        L"plan: line 9: C:\\pkg\\files\\viewer.exe -> C:\\Viewer\\viewer.exe, 524288 bytes",
        L"plan: line 10: C:\\pkg\\files\\lang\\ja.txt -> C:\\Viewer\\lang\\ja.txt, 6 bytes",
        L"plan: block at line 11, key Software\\Plugins, required: install root D:\\Plugins\\ "
        L"(HKEY_LOCAL_MACHINE), not checked (None)",
        L"plan: line 17: C:\\pkg\\plugins\\comet.dll -> D:\\Plugins\\comet.dll, 40 bytes",
        L"plan: block at line 18, key Software\\Old, optional: install root E:\\Old\\ (HKEY_LOCAL_MACHINE), "
        L"rejected by the check list",
        L"plan: line 24: old.dll skipped: its block has no valid install root",
        L"plan: block at line 25, key Software\\Nowhere, exclusive: install root not found",
        L"plan: line 32: post-process item C:\\pkg\\tools\\after.exe",
    };
    EXPECT_EQ(logged.events, expected);
}

TEST(PlanLog, EndsAtTheExclusiveBlock) {
    const Logged logged =
        Build(Script({"[Update]", "[SetParamter]", "Software\\Viewer", "None", "2", "-", "%Root%\\files\\",
                      "viewer.exe", "[SetParamter]", "Software\\Plugins"}),
              Installed());
    EXPECT_TRUE(logged.built);
    ASSERT_FALSE(logged.events.empty());
    EXPECT_EQ(logged.events.back(), L"plan: line 9: the script ends here, after an exclusive block");
}

// The refusal is the last event, after the block or file that led to it;
// the box itself is the system's business.
TEST(PlanLog, TellsTheRefusalLast) {
    using Refusal = PlanObserver::Refusal;
    struct Case {
        const char* name;
        std::string script;
        Refusal why;
        std::wstring last;
    };
    const std::string viewer = "[SetParamter]\r\nSoftware\\Viewer\r\nNone\r\n1\r\n-\r\n%Root%\\files\\\r\n";
    const Case cases[] = {
        {"required",
         Script({"[Update]", "[SetParamter]", "Software\\Nowhere", "None", "1", "Install it first."}),
         Refusal::RootRequired,
         L"plan refused at line 6: a required application is not installed or not verified"},
        {"folder marker",
         Script({"[Update]", "[SetParamter]", "Software\\Viewer", "None", "1", "-", "files\\"}),
         Refusal::FolderMarker, L"plan refused at line 7: the folder line lacks %Root%\\"},
        {"source", "[Update]\r\n" + viewer + "viewer.exe\r\nmissing.dat\r\n", Refusal::SourceUnreadable,
         L"plan refused at line 9: a file of the update cannot be opened"},
        {"no files", "[Update]\r\n" + viewer, Refusal::NoFiles, L"plan refused at line 7: no file to copy"},
        {"tab", "[Update]\r\n" + viewer + "\tviewer.exe\r\n", Refusal::NoText,
         L"plan refused at line 8: a line that begins with a tab stops the script"},
        {"post-process", "[Update]\r\n" + viewer + "[SetPostProc]\r\n%Root%\\gone.exe\r\nviewer.exe\r\n",
         Refusal::PostProcessUnreadable, L"plan refused at line 10: the post-process item cannot be opened"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Logged logged = Build(c.script, Installed());
        EXPECT_FALSE(logged.built);
        EXPECT_EQ(logged.refusal, std::optional<Refusal>(c.why));
        ASSERT_FALSE(logged.events.empty());
        EXPECT_EQ(logged.events.back(), c.last);
    }
}

}  // namespace
}  // namespace velkast
