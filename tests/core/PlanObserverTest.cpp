#include "core/plan/PlanObserver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/job/CopyJob.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/text/TextLine.h"
#include "support/FakePlanSystem.h"

namespace velkast {
namespace {

using testing::FakePlanSystem;

// The texts of these scripts are ASCII.
std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) {
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return narrow;
}

// Writes down every call, one text each.
class EventLog : public PlanObserver {
public:
    std::vector<std::string> events;

    void LineRead(std::uint32_t line, LineKind kind, const std::wstring& text) override {
        static const char* const kKinds[] = {"no-text", "parameter-header", "post-process-header",
                                             "file-line"};
        Add(line, std::string("line ") + kKinds[static_cast<int>(kind)] + " " + Narrow(text));
    }
    void BlockLineRead(std::uint32_t line, BlockLine which, const std::wstring& text, bool present) override {
        static const char* const kLines[] = {"key", "checks", "mode", "message", "folder", "post-process"};
        Add(line, std::string("block ") + kLines[static_cast<int>(which)] + " " + Narrow(text) +
                      (present ? "" : " (past the end)"));
    }
    void EndedByExclusiveBlock(std::uint32_t line) override { Add(line, "exclusive end"); }
    void InstallRootFound(std::uint32_t line, RegistryHive hive, const std::wstring& root) override {
        Add(line,
            std::string("root ") + (hive == RegistryHive::CurrentUser ? "HKCU " : "HKLM ") + Narrow(root));
    }
    void CheckNameTested(std::uint32_t line, const std::wstring& name, bool exists) override {
        Add(line, "name " + Narrow(name) + (exists ? " exists" : " missing"));
    }
    void RootDecided(std::uint32_t line, RootVerdict verdict) override {
        static const char* const kVerdicts[] = {"not found", "unchecked", "verified", "rejected"};
        Add(line, std::string("verdict ") + kVerdicts[static_cast<int>(verdict)]);
    }
    void RootModeRead(std::uint32_t line, std::uint8_t mode) override {
        Add(line, "mode " + std::to_string(mode));
    }
    void SourceFolderSet(std::uint32_t line, const std::wstring& folder) override {
        Add(line, "source " + Narrow(folder));
    }
    void PostProcessSet(std::uint32_t line, const std::wstring& path) override {
        Add(line, "post-process " + Narrow(path));
    }
    void FileLineDropped(std::uint32_t line, const std::wstring& text, DropReason why) override {
        Add(line, "dropped " + Narrow(text) +
                      (why == DropReason::BeforeAnyBlock ? " before any block" : " without a valid root"));
    }
    void FileLineAccepted(std::uint32_t line, const CopyEntry& entry, std::uint64_t size) override {
        Add(line, "accepted " + Narrow(entry.sourceFolder + entry.fileName) + " > " +
                      Narrow(entry.targetFolder + entry.fileName) + " " + std::to_string(size));
    }
    void Refused(std::uint32_t line, Refusal why) override {
        static const char* const kWhy[] = {
            "no text",        "root required",     "folder marker",           "post-process marker",
            "too many files", "source unreadable", "post-process unreadable", "no files"};
        Add(line, std::string("refused: ") + kWhy[static_cast<int>(why)]);
    }

private:
    void Add(std::uint32_t line, const std::string& text) {
        events.push_back(std::to_string(line) + " " + text);
    }
};

FakePlanSystem Tables() {
    FakePlanSystem system;
    system.registry[{RegistryHive::CurrentUser, L"Software\\Viewer"}] = L"C:\\Viewer";
    system.files = {{L"C:\\pkg\\files\\viewer.exe", 10}, {L"C:\\pkg\\tools\\after.bat", 5}};
    system.folders = {L"C:\\Viewer\\lang"};
    return system;
}

struct BuildResult {
    bool built;
    std::vector<std::string> events;
    std::vector<testing::Box> boxes;
};

BuildResult Build(const std::string& script, bool observe) {
    CTextLine store;
    EXPECT_TRUE(store.Load(script.data(), static_cast<std::uint32_t>(script.size())));
    CopyJob job;
    job.programFolder = L"C:\\pkg\\";
    FakePlanSystem system = Tables();
    EventLog log;
    const bool built = CopyPlanBuilder(store, job, system, observe ? &log : nullptr).Build();
    return BuildResult{built, log.events, system.boxes};
}

TEST(PlanObserver, HearsEveryDecisionWithItsLine) {
    const std::string accepted =
        "launch\r\nstray.txt\r\n[SetPostProc]\r\n%Root%\\tools\\after.bat\r\n[SetParamter]"
        "\r\nSoftware\\Viewer\r\n"
        "// a comment line\r\n0,missing,lang\r\n2\r\nm\r\n%Root%\\files\\\r\nviewer.exe\r\n[SetParamter]\r\n";
    const BuildResult run = Build(accepted, true);
    EXPECT_TRUE(run.built);
    EXPECT_EQ(run.events, (std::vector<std::string>{
                              "2 line file-line stray.txt",
                              "2 dropped stray.txt before any block",
                              "3 line post-process-header [SetPostProc]",
                              "4 block post-process %Root%\\tools\\after.bat",
                              "4 post-process C:\\pkg\\tools\\after.bat",
                              "5 line parameter-header [SetParamter]",
                              "6 block key Software\\Viewer",
                              "6 root HKCU C:\\Viewer\\",
                              "8 block checks 0,missing,lang",
                              "8 name missing missing",
                              "8 name lang exists",
                              "8 verdict verified",
                              "9 block mode 2",
                              "9 mode 2",
                              "10 block message m",
                              "11 block folder %Root%\\files\\",
                              "11 source C:\\pkg\\files\\",
                              "12 line file-line viewer.exe",
                              "12 accepted C:\\pkg\\files\\viewer.exe > C:\\Viewer\\viewer.exe 10",
                              "13 line parameter-header [SetParamter]",
                              "13 exclusive end",
                          }));

    const std::string refused =
        "launch\r\n[SetParamter]\r\nSoftware\\Nowhere\r\nNone\r\n0\r\nm\r\n%Root%\\files\\\r\nx."
        "txt\r\n\tx\r\n";
    EXPECT_EQ(Build(refused, true).events, (std::vector<std::string>{
                                               "2 line parameter-header [SetParamter]",
                                               "3 block key Software\\Nowhere",
                                               "4 block checks None",
                                               "4 verdict not found",
                                               "5 block mode 0",
                                               "5 mode 0",
                                               "6 block message m",
                                               "7 block folder %Root%\\files\\",
                                               "7 source C:\\pkg\\files\\",
                                               "8 line file-line x.txt",
                                               "8 dropped x.txt without a valid root",
                                               "9 line no-text ",
                                               "9 refused: no text",
                                           }));

    EXPECT_EQ(
        Build("launch\r\n[SetPostProc]\r\n", true).events,
        (std::vector<std::string>{"2 line post-process-header [SetPostProc]",
                                  "2 block post-process  (past the end)", "2 refused: post-process marker"}));
}

// The observer changes nothing: the same scripts build the same plans and
// show the same boxes with it and without it.
TEST(PlanObserver, ChangesNothing) {
    for (const std::string& script : {
             std::string(
                 "launch\r\n[SetParamter]\r\nSoftware\\Viewer\r\n1,lang\r\n1\r\nm\r\n%Root%\\files\\\r\n"
                 "viewer.exe\r\ngone.txt\r\n"),
             std::string("launch\r\n[SetParamter]\r\nSoftware\\Viewer\r\n0\r\n1\r\nnot installed\r\n"),
             std::string(
                 "launch\r\n[SetPostProc]\r\n%Root%\\gone.bat\r\n[SetParamter]\r\nSoftware\\Viewer\r\n"
                 "None\r\n0\r\nm\r\n%Root%\\files\\\r\nviewer.exe\r\n"),
         }) {
        const BuildResult quiet = Build(script, false);
        const BuildResult observed = Build(script, true);
        EXPECT_EQ(quiet.built, observed.built) << script;
        EXPECT_EQ(quiet.boxes, observed.boxes) << script;
        EXPECT_FALSE(observed.events.empty());
    }
}

}  // namespace
}  // namespace velkast
