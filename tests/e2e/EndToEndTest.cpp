// End to end: the built Velkast.exe, copied into a program folder of its own
// with an Update.up and the files of an update, run under Wine and driven as
// a person does it: the driver waits for the dialogs, reads them, presses
// their buttons, answers every message box, and records what the program
// wrote to the debugger output, what the shell opened, and the exit code.
//
// The program is single-instance per Wine server, and the driver reads icons
// and takes pictures from the screen: CTest runs these alone (RUN_SERIAL).

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "BuildPaths.h"
#include "FontCheck.h"
#include "Package.h"
#include "ProgramWindows.h"
#include "support/win32/RegistryKey.h"
#include "Screenshot.h"
#include "ShellAssociations.h"
#include "support/win32/TempFolder.h"
#include "VelkastProcess.h"
#include "core/run/LogLine.h"
#include "resource.h"
#include "VelkastVersion.h"
#include "win32/platform/Owners.h"

namespace velkast::e2e {

namespace {

using velkast::testing::RegistryKey;
using velkast::testing::TempFolder;

// What a person reads in a message box.
struct Box {
    std::wstring caption;
    std::wstring text;
    BoxIcon icon;
};

// A text for failure messages: UTF-8, line breaks shown as \r and \n.
std::string Quoted(const std::wstring& text) {
    std::wstring shown;
    for (const wchar_t c : text) {
        shown += c == L'\r' ? std::wstring(L"\\r") : c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
    }
    std::string quoted = Utf8(shown);
    quoted.insert(quoted.begin(), '"');
    quoted.push_back('"');
    return quoted;
}

std::vector<Box> Seen(const std::vector<MessageBoxView>& views) {
    std::vector<Box> boxes;
    for (const auto& view : views) {
        boxes.push_back({view.caption, view.text, view.icon});
    }
    return boxes;
}

bool operator==(const Box& a, const Box& b) {
    return a.caption == b.caption && a.text == b.text && a.icon == b.icon;
}

void PrintTo(const Box& box, std::ostream* out) {
    *out << "{caption " << Quoted(box.caption) << ", text " << Quoted(box.text) << ", " << box.icon << "}";
}

// The texts of the copy dialog.
constexpr wchar_t kReady[] = L"ファイルをコピーします";
constexpr wchar_t kCopying[] = L"コピー中です";
constexpr wchar_t kFinished[] = L"コピーが終了しました";

// The file names under which the recorder runs for the program.
const std::vector<std::wstring> kRecorderNames = {L"velkast_shell_recorder.exe", L"after.exe"};

std::wstring Replace(std::wstring text, const std::wstring& from, const std::wstring& to) {
    for (std::size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The percentage as the dialog writes it: "%3d %".
std::wstring PercentText(std::uint64_t copied, std::uint64_t total) {
    wchar_t text[16];
    swprintf(text, 16, L"%3d %%", static_cast<int>(copied * 100 / total));
    return text;
}

void SaveIfAsked(HWND window, const wchar_t* name) {
    const std::wstring folder = ScreenshotFolder();
    if (!folder.empty() && window != nullptr) {
        // Let the program paint what has just changed.
        Sleep(300);
        EXPECT_TRUE(SaveScreenshot(window, folder + name)) << "screenshot " << Quoted(name);
    }
}

// An error trace as the program writes it: a banner around the source
// position (a line of the file, relative to the repository) and the message.
::testing::AssertionResult IsTrace(const std::wstring& trace,
                                   const std::wstring& sourceFile,
                                   const std::wstring& body) {
    const std::wstring head = L"↓↓↓↓↓↓ Error ↓↓↓↓↓↓\n[";
    const std::wstring tail = L"↑↑↑↑↑↑ Error ↑↑↑↑↑↑\n";
    const std::wstring where = L"行目] " + sourceFile + L"\n";
    const std::size_t lineEnd = trace.find(where);
    if (trace.rfind(head, 0) != 0 || lineEnd == std::wstring::npos || lineEnd == head.size() ||
        trace.substr(head.size(), lineEnd - head.size()).find_first_not_of(L"0123456789") !=
            std::wstring::npos ||
        trace.substr(lineEnd + where.size()) != body + tail) {
        return ::testing::AssertionFailure() << "not the expected trace: " << Quoted(trace);
    }
    return ::testing::AssertionSuccess();
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Exists(VelkastExePath())) << "build Velkast.exe first";
        ASSERT_TRUE(Exists(RecorderPath())) << "build velkast_shell_recorder.exe first";
        ASSERT_TRUE(CreateDirectoryW(program.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(install.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(VelkastExePath().c_str(), (program + L"Velkast.exe").c_str(), FALSE));
        key.SetString(install);
        SetEnvironmentVariableW(L"VELKAST_RECORD_FILE", recordFile.c_str());
    }

    // The script with {KEY} standing for the registry key that names the install root.
    void Script(const std::wstring& text) {
        WriteCp932(program + L"Update.up", Replace(text, L"{KEY}", key.path()));
    }

    // The program, with the arguments after its path on its command line.
    std::unique_ptr<VelkastProcess> Start(std::optional<Breakpoint> breakpoint = std::nullopt,
                                          std::wstring arguments = std::wstring()) {
        auto process = std::make_unique<VelkastProcess>(VelkastProcess::Options{
            program + L"Velkast.exe", program, std::move(breakpoint), std::move(arguments)});
        EXPECT_TRUE(process->started()) << Quoted(process->error());
        return process;
    }

    // What the shell opened, once all that the program started has recorded it.
    std::vector<ShellRecord> Opened(const VelkastProcess& process) {
        WaitForChildren(process.id(), kRecorderNames);
        return ReadRecords(recordFile);
    }

    // Waits (up to about 20 seconds) for at least count records.
    std::vector<ShellRecord> WaitForOpened(const VelkastProcess& process, std::size_t count) {
        std::vector<ShellRecord> records;
        WaitUntil(process, [&] {
            records = ReadRecords(recordFile);
            return records.size() >= count;
        });
        return records;
    }

    // The recorder, started by the shell for the document with the given path.
    static bool OpenedDocument(const ShellRecord& record, const std::wstring& path) {
        return record.commandLine.find(L"\"" + path + L"\"") != std::wstring::npos;
    }

    TempFolder root;
    // Folders named as a Japanese user's folders are, with a blank.
    const std::wstring program = root / L"更新プログラム 1.2\\";
    const std::wstring install = root / L"インストール先\\";
    const std::wstring recordFile = root / L"opened.txt";
    RegistryKey key{HKEY_CURRENT_USER, KEY_WOW64_64KEY};
    ShellAssociations shell{{L".txt", L".velkaste2e"}};
};

// ---------------------------------------------------------------------------
// Runs that end before the copy dialog is ever shown: the user sees message
// boxes, answers each with OK, and the program ends with exit code 0.

struct RefusedRun {
    const char* name;
    std::optional<std::wstring> script;                       // none: no Update.up at all
    std::vector<std::pair<std::wstring, std::string>> files;  // below the program folder
    std::vector<Box> boxes;
    bool waitDialog;                       // shown behind the boxes
    const wchar_t* waitPicture = nullptr;  // screenshot of it, when asked for
};

void PrintTo(const RefusedRun& run, std::ostream* out) {
    *out << run.name;
}

const Box kNoScript{L"テキストデータ取得エラー", L"Update.upファイルが見つかりません", BoxIcon::None};

// A box without a caption of its own shows the system's default caption:
// "エラー" under the Japanese locale (as on Japanese Windows).
constexpr wchar_t kDefaultCaption[] = L"エラー";

const std::wstring kRequiredBlock =
    L"[Update]\r\n"
    L"[SetParamter]\r\n"
    L"{KEY}\\NotInstalled\r\n"
    L"None\r\n"
    L"1\r\n"
    L"MESSAGE\r\n"
    L"%Root%\\files\\\r\n"
    L"app.exe\r\n";

// Characters whose second Shift-JIS byte is 0x5C, the code of the backslash:
// 表 (95 5C), ソ (83 5C), 能 (94 5C), 予 (97 5C).
const std::wstring kJapaneseMessage = L"表示ソフトが見つかりません。「機能」と予定を確認してください。";

const RefusedRun kRefusedRuns[] = {
    {"NoScript", std::nullopt, {}, {kNoScript}, false},
    {"EmptyScript", L"", {}, {kNoScript}, false},
    {"CommentOnlyScript", L"// 更新スクリプト\r\n\r\n//[SetParamter]\r\n//\r\n\r\n", {}, {kNoScript}, false},
    {"RequiredBlockWithoutInstallRoot",
     Replace(kRequiredBlock, L"MESSAGE", L"Please install the viewer first."),
     {{L"files\\app.exe", "app"}},
     {{kDefaultCaption, L"Please install the viewer first.", BoxIcon::None}},
     true},
    {"JapaneseMessageLine",
     Replace(kRequiredBlock, L"MESSAGE", kJapaneseMessage),
     {{L"files\\app.exe", "app"}},
     {{kDefaultCaption, kJapaneseMessage, BoxIcon::None}},
     true,
     L"wait-dialog.png"},
    {"MissingSource",
     L"[Update]\r\n[SetParamter]\r\n{KEY}\r\nNone\r\n1\r\n-\r\n%Root%\\files\\\r\napp.exe\r\nmissing.dat\r\n",
     {{L"files\\app.exe", "app"}},
     {{L"エラー", SystemText(ERROR_FILE_NOT_FOUND), BoxIcon::Information},
      {L"ファイル取得エラー",
       L"コピーするファイルの取得に失敗しました。\n"
       L"テキストに書かれているファイル名と実際のファイル名を比べてみてください\n\n"
       L"[テキストに書かれているコピーしたいファイル名]  missing.dat",
       BoxIcon::None}},
     true},
    {"NoFileToCopy",
     L"[Update]readme.velkaste2e\r\n",
     {},
     {{kDefaultCaption, L"コピーするファイルがありません", BoxIcon::None}},
     true},
};

class Refused : public EndToEnd, public ::testing::WithParamInterface<RefusedRun> {};

TEST_P(Refused, ShowsItsBoxesAndNeverTheCopyDialog) {
    const RefusedRun& run = GetParam();
    if (run.script) {
        Script(*run.script);
    }
    for (const auto& [name, bytes] : run.files) {
        WriteBytes(program + name, bytes);
    }
    const auto process = Start();

    std::vector<MessageBoxView> boxes;
    bool waitDialogSeen = false;
    bool copyDialogSeen = false;
    WaitUntil(*process, [&] {
        if (FindCopyDialog(process->id()) != nullptr) {
            copyDialogSeen = true;
            return true;  // not expected: stop here
        }
        waitDialogSeen = waitDialogSeen || FindWaitDialog(process->id()) != nullptr;
        const auto shown = MessageBoxes(process->id());
        if (!shown.empty()) {
            if (run.waitPicture != nullptr && boxes.empty() && !ScreenshotFolder().empty()) {
                // Move the box aside so that the wait dialog behind it shows whole.
                SetWindowPos(shown.front().window, nullptr, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                SaveIfAsked(FindWaitDialog(process->id()), run.waitPicture);
            }
            boxes.push_back(shown.front());
            Press(shown.front().window, IDOK);
            WaitUntil(*process, [&] { return !IsWindow(shown.front().window); });
        }
        return false;
    });

    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_FALSE(copyDialogSeen);
    EXPECT_EQ(Seen(boxes), run.boxes);
    EXPECT_EQ(waitDialogSeen, run.waitDialog);
    EXPECT_TRUE(process->debugOutput().empty()) << "no error trace";
    EXPECT_TRUE(Opened(*process).empty()) << "nothing opened";
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, Refused, ::testing::ValuesIn(kRefusedRuns), [](const auto& test) {
    return std::string(test.param.name);
});

// ---------------------------------------------------------------------------
// Runs in which the copy dialog shows, ready.

// A script whose plan is built: one file to copy and a launch document.
const std::wstring kSmallUpdate =
    L"[更新のご案内]readme.txt\r\n"
    L"[SetParamter]\r\n"
    L"{KEY}\r\n"
    L"None\r\n"
    L"1\r\n"
    L"-\r\n"
    L"%Root%\\files\\\r\n"
    L"app.exe\r\n";

class EndToEndReady : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        Script(kSmallUpdate);
        WriteBytes(program + L"readme.txt", "readme");
        WriteBytes(program + L"Report.txt", "report");
        WriteBytes(program + L"files\\app.exe", "new app");
        WriteBytes(install + L"app.exe", "old app");
    }

    // The launch document, opened with the program folder as working folder.
    void ExpectReadme(const ShellRecord& record) {
        EXPECT_TRUE(OpenedDocument(record, program + L"readme.txt")) << Quoted(record.commandLine);
        EXPECT_EQ(record.folder, WithoutTrailingBackslash(program));
    }
};

void ExpectReady(HWND dialog) {
    ASSERT_NE(dialog, nullptr) << "the copy dialog";
    const CopyDialogView view = ReadCopyDialog(dialog);
    EXPECT_EQ(view.heading, kReady);
    EXPECT_TRUE(view.startEnabled);
    EXPECT_TRUE(view.exitEnabled);
    EXPECT_EQ(view.total, L"byte");
    EXPECT_EQ(view.percent, L"0 %");
    EXPECT_EQ(view.progress, 0);
    EXPECT_EQ(view.target, L"");
    EXPECT_EQ(view.fileName, L"");
    EXPECT_EQ(view.copied, L"");
}

TEST_F(EndToEndReady, OpensTheLaunchDocumentBeforeTheWaitDialog) {
    // Stopped where the wait dialog is about to be made. The program is
    // frozen, but what it has handed to the shell runs on: once that has
    // ended, its record tells what was opened before this point.
    bool dialogBefore = true;
    std::vector<ShellRecord> openedBefore;
    const auto process = Start(Breakpoint{L"user32.dll", "CreateDialogParamW", [&](DWORD programId) {
                                              dialogBefore = !VisibleDialogs(programId).empty();
                                              WaitForChildren(programId, kRecorderNames);
                                              openedBefore = ReadRecords(recordFile);
                                          }});
    ASSERT_TRUE(process->WaitForBreakpoint());
    EXPECT_FALSE(dialogBefore);
    ASSERT_EQ(openedBefore.size(), 1u);
    ExpectReadme(openedBefore[0]);

    // Then the wait dialog, then the copy dialog, ready.
    const HWND dialog = WaitForCopyDialog(*process);
    ExpectReady(dialog);
    Press(dialog, IDC_EXIT);
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(Opened(*process).size(), 1u);
}

TEST_F(EndToEndReady, SecondInstanceIsRefusedWhileTheFirstShowsItsDialog) {
    const auto first = Start();
    const HWND dialog = WaitForCopyDialog(*first);
    ExpectReady(dialog);

    const auto second = Start();
    const MessageBoxView box = WaitForMessageBox(*second);
    const std::wstring message = L"ミューテックスオブジェクトの作成に失敗しました。ERROR_ALREADY_EXISTS ";
    // Wine ignores MB_TOPMOST and MB_SETFOREGROUND, so only the caption,
    // text and icon of the box can be checked, not that it is topmost.
    EXPECT_EQ(Seen({box}), (std::vector<Box>{{L"エラーメッセージ", message + L"\r\n", BoxIcon::Warning}}));
    // The trace is written before the box shows.
    const auto trace = second->debugOutput();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_TRUE(IsTrace(trace[0], L"src/win32/app/Startup.cpp", message + L"\n"));
    EXPECT_EQ(FindWaitDialog(second->id()), nullptr);
    EXPECT_EQ(FindCopyDialog(second->id()), nullptr);
    Press(box.window, IDOK);
    EXPECT_EQ(second->WaitForExit(), std::optional<DWORD>(0));

    // The first instance goes on undisturbed.
    EXPECT_TRUE(first->running());
    EXPECT_TRUE(MessageBoxes(first->id()).empty());
    ExpectReady(dialog);
    Press(dialog, IDC_EXIT);
    EXPECT_EQ(first->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(first->debugOutput().empty());
    WaitForChildren(second->id(), kRecorderNames);
    const auto opened = Opened(*first);
    ASSERT_EQ(opened.size(), 1u) << "the launch document, by the first instance only";
    ExpectReadme(opened[0]);
}

// Ways to leave the ready dialog without copying: nothing more is opened,
// nothing is copied.
struct EndBeforeStart {
    const char* name;
    void (*act)(HWND dialog);
};

void PrintTo(const EndBeforeStart& end, std::ostream* out) {
    *out << end.name;
}

const EndBeforeStart kEndsBeforeStart[] = {
    {"ExitBeforeStart", [](HWND dialog) { Press(dialog, IDC_EXIT); }},
    {"CloseWhileReady", [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }},
};

class EndsBeforeStart : public EndToEndReady, public ::testing::WithParamInterface<EndBeforeStart> {};

TEST_P(EndsBeforeStart, OpensNothingMoreAndCopiesNothing) {
    const auto process = Start();
    const HWND dialog = WaitForCopyDialog(*process);
    ExpectReady(dialog);
    GetParam().act(dialog);
    bool boxSeen = false;
    WaitUntil(*process, [&] {
        boxSeen = boxSeen || !MessageBoxes(process->id()).empty();
        return false;
    });
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_FALSE(boxSeen);
    EXPECT_TRUE(process->debugOutput().empty());
    const auto opened = Opened(*process);
    ASSERT_EQ(opened.size(), 1u) << "only the launch document";
    ExpectReadme(opened[0]);
    EXPECT_EQ(ReadBytes(install + L"app.exe"), "old app");
}

INSTANTIATE_TEST_SUITE_P(EndToEnd,
                         EndsBeforeStart,
                         ::testing::ValuesIn(kEndsBeforeStart),
                         [](const auto& test) { return std::string(test.param.name); });

// ---------------------------------------------------------------------------
// Copies.

constexpr DWORD kUnwanted = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// An update of an installed viewer: a read-only program file and a read-only,
// hidden data file are overwritten, two files go into folders that do not
// exist yet, and a program of the package runs afterwards.
const std::wstring kFullUpdate =
    L"[更新のご案内]readme.txt\r\n"
    L"// ビューア本体\r\n"
    L"[SetParamter]\r\n"
    L"{KEY}\r\n"
    L"1,app.exe,data\r\n"
    L"1\r\n"
    L"ビューアがインストールされていません。\r\n"
    L"%Root%\\files\\\r\n"
    L"app.exe\r\n"
    L"data\\main.dat\r\n"
    L"data\\新しいフォルダ\\深い階層\\table.dat\r\n"
    L"lang\\ja\\messages.txt// コメントは行のどこからでも始まる\r\n"
    L"[SetPostProc]\r\n"
    L"%Root%\\tools\\after.exe\r\n";

struct PackageFile {
    std::wstring name;  // as the script names it
    std::size_t size;
};

const std::vector<PackageFile> kFullUpdateFiles = {
    {L"app.exe", 1500000},
    {L"data\\main.dat", 70000},
    {L"data\\新しいフォルダ\\深い階層\\table.dat", 123},
    {L"lang\\ja\\messages.txt", 4567},
};

class EndToEndCopy : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        Script(kFullUpdate);
        WriteBytes(program + L"readme.txt", "readme");
        WriteBytes(program + L"Report.txt", "report");
        unsigned seed = 1;
        for (const auto& file : kFullUpdateFiles) {
            WriteBytes(program + L"files\\" + file.name, Contents(file.size, seed++));
            total += file.size;
        }
        // The post-process program: the recorder under another name.
        WriteBytes(program + L"tools\\after.exe", "");
        ASSERT_TRUE(CopyFileW(RecorderPath().c_str(), (program + L"tools\\after.exe").c_str(), FALSE));
        WriteBytes(install + L"app.exe", "old app");
        WriteBytes(install + L"data\\main.dat", "old data");
        SetFileAttributesW((install + L"app.exe").c_str(), FILE_ATTRIBUTE_READONLY);
        SetFileAttributesW((install + L"data\\main.dat").c_str(),
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    }

    std::uint64_t total = 0;
};

TEST_F(EndToEndCopy, CopiesEverythingAndRunsTheProgramsOfTheScript) {
    const auto process = Start();
    const HWND dialog = WaitForCopyDialog(*process);
    ExpectReady(dialog);
    SaveIfAsked(dialog, L"copy-ready.png");

    // The copy is held where it makes the first missing folder, for the
    // third file: the first two are copied.
    ASSERT_TRUE(process->Arm(Breakpoint{L"kernel32.dll", "CreateDirectoryW", {}, true}));
    Press(dialog, IDC_START);
    ASSERT_TRUE(process->WaitForBreakpoint());
    const std::uint64_t firstTwo = kFullUpdateFiles[0].size + kFullUpdateFiles[1].size;
    // The dialog draws what the worker reported at its next frame.
    EXPECT_TRUE(WaitUntil(*process, [&] { return ReadCopyDialog(dialog).fileName == L"table"; }));
    CopyDialogView view = ReadCopyDialog(dialog);
    EXPECT_EQ(view.heading, kCopying);
    EXPECT_FALSE(view.startEnabled);
    EXPECT_FALSE(view.exitEnabled);
    EXPECT_EQ(view.total, Grouped(total) + L"byte");
    EXPECT_EQ(view.target, install);
    EXPECT_EQ(view.fileName, L"table");
    EXPECT_EQ(view.copied, Grouped(firstTwo));
    EXPECT_EQ(view.percent, PercentText(firstTwo, total));
    EXPECT_EQ(view.progress, static_cast<int>(firstTwo * 100 / total));
    SaveIfAsked(dialog, L"copy-progress.png");
    process->ReleaseHeldThreads();

    // The end of the copy; the program of the post-process block runs in its own folder.
    EXPECT_TRUE(WaitUntil(*process, [&] { return ReadCopyDialog(dialog).exitEnabled; }));
    view = ReadCopyDialog(dialog);
    EXPECT_EQ(view.heading, kFinished);
    EXPECT_FALSE(view.startEnabled);
    EXPECT_EQ(view.percent, L"100 %");
    EXPECT_EQ(view.progress, 100);
    EXPECT_EQ(view.copied, Grouped(total));
    EXPECT_EQ(view.total, Grouped(total) + L"byte");
    EXPECT_EQ(view.target, install);
    EXPECT_EQ(view.fileName, L"messages");
    auto opened = WaitForOpened(*process, 2);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(opened[1].commandLine.find(program + L"tools\\after.exe"), std::wstring::npos)
        << Quoted(opened[1].commandLine);
    EXPECT_EQ(opened[1].folder, program + L"tools");
    EXPECT_TRUE(MessageBoxes(process->id()).empty());
    SaveIfAsked(dialog, L"copy-finished.png");

    // Exit opens the report of the package.
    Press(dialog, IDC_EXIT);
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(process->debugOutput().empty());
    opened = Opened(*process);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_TRUE(OpenedDocument(opened[0], program + L"readme.txt"));
    EXPECT_TRUE(OpenedDocument(opened[2], program + L"Report.txt"));

    for (const auto& file : kFullUpdateFiles) {
        SCOPED_TRACE(Quoted(file.name));
        EXPECT_EQ(ReadBytes(install + file.name), ReadBytes(program + L"files\\" + file.name));
        EXPECT_EQ(Attributes(install + file.name) & kUnwanted, 0u);
    }
}

// A copy that fails at its second file: the remaining file is not tried,
// the dialog finishes all the same and the post-process item still runs.
const std::wstring kFailingUpdate =
    L"[Update]\r\n"
    L"[SetParamter]\r\n"
    L"{KEY}\r\n"
    L"None\r\n"
    L"1\r\n"
    L"-\r\n"
    L"%Root%\\files\\\r\n"
    L"first.dat\r\n"
    L"second.dat\r\n"
    L"third.dat\r\n"
    L"[SetPostProc]\r\n"
    L"%Root%\\tools\\after.exe\r\n";

TEST_F(EndToEnd, CopyFailingInTheMiddle) {
    Script(kFailingUpdate);
    WriteBytes(program + L"Report.txt", "report");
    WriteBytes(program + L"files\\first.dat", Contents(100, 1));
    WriteBytes(program + L"files\\second.dat", Contents(200, 2));
    WriteBytes(program + L"files\\third.dat", Contents(300, 3));
    WriteBytes(program + L"tools\\after.exe", "");
    ASSERT_TRUE(CopyFileW(RecorderPath().c_str(), (program + L"tools\\after.exe").c_str(), FALSE));
    const auto process = Start();
    const HWND dialog = WaitForCopyDialog(*process);
    ExpectReady(dialog);

    // The second file goes away after the plan was made.
    ASSERT_TRUE(DeleteFileW((program + L"files\\second.dat").c_str()));
    Press(dialog, IDC_START);
    const MessageBoxView box = WaitForMessageBox(*process);
    const std::wstring reason = SystemText(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Seen({box}),
              (std::vector<Box>{{L"エラーメッセージ",
                                 L"◆メッセージ◆\r\nコピーに失敗しました。\r\n\n◆エラー内容◆\r\n" + reason,
                                 BoxIcon::Warning}}));
    const auto trace = process->debugOutput();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_TRUE(IsTrace(trace[0], L"src/win32/copy/CopyWorker.cpp", L"コピーに失敗しました。\n" + reason));
    SaveIfAsked(box.window, L"copy-failed.png");
    // While the box waits, the copy is not over.
    CopyDialogView view = ReadCopyDialog(dialog);
    EXPECT_EQ(view.heading, kCopying);
    EXPECT_FALSE(view.startEnabled);
    EXPECT_FALSE(view.exitEnabled);
    EXPECT_EQ(view.fileName, L"second");
    EXPECT_EQ(view.copied, L"100");
    EXPECT_EQ(view.percent, L" 16 %");
    EXPECT_EQ(view.progress, 16);
    Press(box.window, IDOK);

    EXPECT_TRUE(WaitUntil(*process, [&] { return ReadCopyDialog(dialog).exitEnabled; }));
    view = ReadCopyDialog(dialog);
    EXPECT_EQ(view.heading, kFinished);
    EXPECT_FALSE(view.startEnabled);
    auto opened = WaitForOpened(*process, 1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].commandLine.find(program + L"tools\\after.exe"), std::wstring::npos);
    EXPECT_EQ(opened[0].folder, program + L"tools");

    Press(dialog, IDC_EXIT);
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0));
    opened = Opened(*process);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(OpenedDocument(opened[1], program + L"Report.txt"));
    EXPECT_EQ(ReadBytes(install + L"first.dat"), Contents(100, 1));
    EXPECT_FALSE(Exists(install + L"second.dat"));
    EXPECT_FALSE(Exists(install + L"third.dat"));
}

// A drive that fills up while the new file is written: the user reads the
// system's reason, and the application's old file is still there, whole.
// The drive is T: of 1 MiB (tests/e2e/full-drive.sh, as root).
TEST_F(EndToEnd, FullDriveKeepsTheOldFile) {
    const std::wstring drive = L"T:\\";
    if (GetDriveTypeW(drive.c_str()) == DRIVE_NO_ROOT_DIR) {
        GTEST_SKIP() << "no drive T: (the full-drive fixture needs root)";
    }
    const std::wstring app = drive + L"App\\";
    ASSERT_TRUE(CreateDirectoryW(app.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string oldBig = Contents(600 << 10, 7);
    WriteBytes(app + L"big.dat", oldBig);
    WriteBytes(app + L"small.txt", "old small");
    key.SetString(app);
    Script(
        L"[Update]\r\n[SetParamter]\r\n{KEY}\r\nNone\r\n1\r\n-\r\n%Root%\\files\\\r\nsmall.txt\r\nbig."
        L"dat\r\n");
    WriteBytes(program + L"files\\small.txt", "new small");
    WriteBytes(program + L"files\\big.dat", Contents(800 << 10, 8));

    const auto process = Start();
    const HWND dialog = WaitForCopyDialog(*process);
    Press(dialog, IDC_START);
    const MessageBoxView box = WaitForMessageBox(*process);
    EXPECT_EQ(Seen({box}),
              (std::vector<Box>{{L"エラーメッセージ",
                                 L"◆メッセージ◆\r\nコピーに失敗しました。\r\n\n◆エラー内容◆\r\n" +
                                     SystemText(ERROR_DISK_FULL),
                                 BoxIcon::Warning}}));
    Press(box.window, IDOK);
    EXPECT_TRUE(WaitUntil(*process, [&] { return ReadCopyDialog(dialog).exitEnabled; }));
    EXPECT_EQ(ReadCopyDialog(dialog).heading, kFinished);
    Press(dialog, IDC_EXIT);
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0));

    EXPECT_EQ(ReadBytes(app + L"small.txt"), "new small");
    EXPECT_TRUE(ReadBytes(app + L"big.dat") == oldBig) << "the old file is gone or cut";
    WIN32_FIND_DATAW found;
    std::vector<std::wstring> left;
    const UniqueFind find(FindFirstFileW((app + L"*").c_str(), &found));
    for (BOOL more = find ? TRUE : FALSE; more; more = FindNextFileW(find.get(), &found)) {
        if (found.cFileName[0] != L'.') {
            left.push_back(found.cFileName);
        }
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::wstring>{L"big.dat", L"small.txt"})) << "no temporary file is left";
    DeleteFileW((app + L"big.dat").c_str());
    DeleteFileW((app + L"small.txt").c_str());
    RemoveDirectoryW(app.c_str());
}

// ---------------------------------------------------------------------------
// Runs for administrators: /quiet (no window, no box, no document), /passive
// (the dialogs show, the program presses their buttons) and /log. Each ends
// with the exit code of what happened and tells it in its log.

// The events of a log file, in order: each line without its time and
// process id, which every line must begin with.
std::vector<std::wstring> LogEvents(const std::wstring& path) {
    std::vector<std::wstring> events;
    if (!Exists(path)) {
        return events;
    }
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF", 0), 0u) << "a new log begins with a UTF-8 byte order mark";
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data() + 3,
                                         static_cast<int>(bytes.size()) - 3, nullptr, 0);
    EXPECT_GT(size, 0) << "UTF-8 throughout";
    std::wstring text(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size()) - 3, text.data(), size);
    static const std::wregex stamp(LR"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d \[\d+\] )");
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find(L"\r\n", at);
        EXPECT_NE(end, std::wstring::npos) << "every line ends in CR LF";
        const std::wstring line = text.substr(at, end - at);
        at = end == std::wstring::npos ? text.size() : end + 2;
        std::wsmatch match;
        EXPECT_TRUE(std::regex_search(line, match, stamp, std::regex_constants::match_continuous))
            << "no time and process: " << Quoted(line);
        events.push_back(match.empty() ? line : match.suffix().str());
    }
    return events;
}

// The expected events appear in this order, the last one last of all.
::testing::AssertionResult EndsWithInOrder(const std::vector<std::wstring>& events,
                                           const std::vector<std::wstring>& expected) {
    std::size_t next = 0;
    for (const std::wstring& event : events) {
        if (next < expected.size() && event == expected[next]) {
            ++next;
        }
    }
    if (next == expected.size() && !events.empty() && !expected.empty() && events.back() == expected.back()) {
        return ::testing::AssertionSuccess();
    }
    auto failure = ::testing::AssertionFailure();
    failure << "missing, in order: "
            << (next < expected.size() ? Quoted(expected[next]) : "the last at the end") << "\nthe log:";
    for (const std::wstring& event : events) {
        failure << "\n  " << Quoted(event);
    }
    return failure;
}

// What a run showed of itself until it ended.
struct Shown {
    bool window = false;  // any visible top-level window
    bool box = false;
    bool copyDialog = false;
};

Shown WatchUntilExit(const VelkastProcess& process) {
    Shown shown;
    WaitUntil(process, [&] {
        shown.window = shown.window || !VisibleWindows(process.id()).empty();
        shown.box = shown.box || !MessageBoxes(process.id()).empty();
        shown.copyDialog = shown.copyDialog || FindCopyDialog(process.id()) != nullptr;
        return false;
    });
    return shown;
}

// The system's text for the error on one line, as the log writes it.
std::wstring LoggedSystemText(DWORD code) {
    return OneLine(SystemText(code));
}

class Unattended : public EndToEnd {
protected:
    // The switches, then /log with the fixture's log file.
    std::wstring Logged(const std::wstring& switches) const {
        return switches + L" /log \"" + logFile + L"\"";
    }

    // The text with {PROGRAM}, {INSTALL}, {KEY}, {TEXT2} and {TEXT183} put in.
    std::wstring Expand(std::wstring text) const {
        text = Replace(text, L"{PROGRAM}", program);
        text = Replace(text, L"{INSTALL}", install);
        text = Replace(text, L"{KEY}", key.path());
        text = Replace(text, L"{TEXT2}", LoggedSystemText(ERROR_FILE_NOT_FOUND));
        return Replace(text, L"{TEXT183}", LoggedSystemText(ERROR_ALREADY_EXISTS));
    }

    const std::wstring logFile = root / L"管理者 ログ.log";
};

// The quiet run of a whole update: everything is copied, the post-process
// program runs, no window shows and no document opens; the log tells it all.
TEST_F(EndToEndCopy, QuietCopiesEverythingWithoutAWindowAndLogsIt) {
    const std::wstring logFile = root / L"管理者 ログ.log";
    const std::wstring arguments = L"/quiet /log \"" + logFile + L"\"";
    // Held where it makes the first missing folder, with the copy half done:
    // an interactive run would show its copy dialog by then.
    std::optional<std::vector<HWND>> windowsMidway;
    const auto process =
        Start(Breakpoint{L"kernel32.dll", "CreateDirectoryW",
                         [&](DWORD programId) { windowsMidway = VisibleWindows(programId); }},
              arguments);
    ASSERT_TRUE(process->WaitForBreakpoint());
    EXPECT_EQ(windowsMidway, std::optional<std::vector<HWND>>(std::vector<HWND>{}));
    const Shown shown = WatchUntilExit(*process);
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_FALSE(shown.window);
    EXPECT_TRUE(process->debugOutput().empty());

    for (const auto& file : kFullUpdateFiles) {
        SCOPED_TRACE(Quoted(file.name));
        EXPECT_EQ(ReadBytes(install + file.name), ReadBytes(program + L"files\\" + file.name));
        EXPECT_EQ(Attributes(install + file.name) & kUnwanted, 0u);
    }
    const auto opened = Opened(*process);
    ASSERT_EQ(opened.size(), 1u) << "the post-process program alone";
    EXPECT_NE(opened[0].commandLine.find(program + L"tools\\after.exe"), std::wstring::npos);
    EXPECT_EQ(opened[0].folder, program + L"tools");

    const std::wstring from = program + L"files\\";
    std::vector<std::wstring> expected = {
        std::wstring(L"start: Velkast " VELKAST_VERSION L", quiet run, program folder ") + program +
            L", command line: \"" + program + L"Velkast.exe\" " + arguments,
        L"not opened (quiet run): " + program + L"readme.txt",
        L"plan: block at line 3, key " + key.path() + L", required: install root " + install +
            L" (HKEY_CURRENT_USER), verified by the check list",
    };
    const unsigned lines[] = {9, 10, 11, 12};
    for (std::size_t i = 0; i < kFullUpdateFiles.size(); ++i) {
        const PackageFile& file = kFullUpdateFiles[i];
        expected.push_back(L"plan: line " + std::to_wstring(lines[i]) + L": " + from + file.name + L" -> " +
                           install + file.name + L", " + std::to_wstring(file.size) + L" bytes");
    }
    expected.push_back(L"plan: line 14: post-process item " + program + L"tools\\after.exe");
    expected.push_back(L"copy started: 4 files, " + std::to_wstring(total) + L" bytes in all");
    for (std::size_t i = 0; i < kFullUpdateFiles.size(); ++i) {
        const PackageFile& file = kFullUpdateFiles[i];
        expected.push_back(L"copied " + std::to_wstring(i + 1) + L"/4: " + install + file.name + L", " +
                           std::to_wstring(file.size) + L" bytes");
    }
    expected.push_back(L"copy finished: 4 of 4 files, " + std::to_wstring(total) + L" bytes");
    expected.push_back(L"starting the post-process program " + program + L"tools\\after.exe");
    expected.push_back(L"not opened (quiet run): " + program + L"Report.txt");
    expected.push_back(L"finished: the update was copied, exit code 0");
    EXPECT_EQ(LogEvents(logFile), expected);
}

// The passive run: the dialogs show, Start is pressed by the program, and
// the run ends by itself once the post-process program has started; the
// report opens as at a person's Exit.
TEST_F(EndToEndCopy, PassiveStartsAndEndsByItself) {
    const std::wstring logFile = root / L"管理者 ログ.log";
    const auto process = Start(Breakpoint{L"kernel32.dll", "CreateDirectoryW", {}, true},
                               L"-Passive -LOG \"" + logFile + L"\"");
    ASSERT_TRUE(process->WaitForBreakpoint());
    const HWND dialog = WaitForCopyDialog(*process);
    ASSERT_NE(dialog, nullptr) << "the copy dialog shows";
    const CopyDialogView view = ReadCopyDialog(dialog);
    EXPECT_EQ(view.heading, kCopying) << "Start was pressed";
    EXPECT_FALSE(view.startEnabled);
    EXPECT_FALSE(view.exitEnabled);
    EXPECT_EQ(view.total, Grouped(total) + L"byte");
    process->ReleaseHeldThreads();

    const Shown shown = WatchUntilExit(*process);
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0)) << "ended without a press";
    EXPECT_FALSE(shown.box);
    EXPECT_TRUE(process->debugOutput().empty());
    for (const auto& file : kFullUpdateFiles) {
        EXPECT_EQ(ReadBytes(install + file.name), ReadBytes(program + L"files\\" + file.name));
    }
    const auto opened = Opened(*process);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_TRUE(OpenedDocument(opened[0], program + L"readme.txt"));
    EXPECT_NE(opened[1].commandLine.find(program + L"tools\\after.exe"), std::wstring::npos);
    EXPECT_TRUE(OpenedDocument(opened[2], program + L"Report.txt"));
    EXPECT_TRUE(EndsWithInOrder(LogEvents(logFile),
                                {
                                    L"opening " + program + L"readme.txt",
                                    L"copy finished: 4 of 4 files, " + std::to_wstring(total) + L" bytes",
                                    L"starting the post-process program " + program + L"tools\\after.exe",
                                    L"opening " + program + L"Report.txt",
                                    L"finished: the update was copied, exit code 0",
                                }));
}

// Every way an unattended run ends without the update: its exit code and
// its log lines, and never a box (nor, in a quiet run, any window).
struct UnattendedEnd {
    const char* name;
    std::wstring switches;  // /log with the log file follows
    std::optional<std::wstring> script = std::nullopt;
    std::vector<std::pair<std::wstring, std::string>> files = {};         // below the program folder
    std::vector<std::pair<std::wstring, std::string>> installFiles = {};  // below the install root
    const wchar_t* vanishAtFirstFolder = nullptr;  // deleted when the program first makes a folder
    DWORD exitCode = 0;
    std::vector<std::wstring> events;  // the log's, in this order, the last one last of all
};

void PrintTo(const UnattendedEnd& end, std::ostream* out) {
    *out << end.name;
}

const std::wstring kOneFile = L"[Update]\r\n[SetParamter]\r\n{KEY}\r\nNone\r\n1\r\n-\r\n%Root%\\files\\\r\n";

const UnattendedEnd kUnattendedEnds[] = {
    {.name = "UnknownSwitch",
     .switches = L"/quiet /force",
     .script = kSmallUpdate,
     .files = {{L"files\\app.exe", "new app"}},
     .installFiles = {{L"app.exe", "old app"}},
     .exitCode = 20,
     .events = {L"command line: unknown switch \"/force\"",
                L"finished: the command line is not valid, exit code 20"}},
    {.name = "StrayArgumentOfAPassiveRun",
     .switches = L"-PASSIVE now",
     .script = kSmallUpdate,
     .files = {{L"files\\app.exe", "new app"}},
     .exitCode = 20,
     .events = {L"command line: unexpected argument \"now\"",
                L"finished: the command line is not valid, exit code 20"}},
    {.name = "NoScript",
     .switches = L"/quiet",
     .exitCode = 23,
     .events = {L"no script: {PROGRAM}Update.up is missing, empty or without content",
                L"box \"テキストデータ取得エラー\", not shown: Update.upファイルが見つかりません",
                L"finished: Update.up is missing, empty or without content, exit code 23"}},
    {.name = "RequiredApplicationMissing",
     .switches = L"/quiet",
     .script = Replace(kRequiredBlock, L"MESSAGE", kJapaneseMessage),
     .files = {{L"files\\app.exe", "app"}},
     .exitCode = 24,
     .events = {L"plan: block at line 2, key {KEY}\\NotInstalled, required: install root not found",
                L"box without caption, not shown: " + kJapaneseMessage,
                L"plan refused at line 6: a required application is not installed or not verified",
                L"finished: a required application is not installed or not verified, exit code 24"}},
    {.name = "MissingSourceInAPassiveRun",
     .switches = L"/passive",
     .script = kOneFile + L"app.exe\r\nmissing.dat\r\n",
     .files = {{L"files\\app.exe", "app"}},
     .exitCode = 25,
     .events = {L"box \"エラー\", not shown: {TEXT2}",
                L"box \"ファイル取得エラー\", not shown: コピーするファイルの取得に失敗しました。 | "
                L"テキストに書かれているファイル名と実際のファイル名を比べてみてください | "
                L"[テキストに書かれているコピーしたいファイル名]  missing.dat",
                L"plan refused at line 9: a file of the update cannot be opened",
                L"finished: the update script was refused, exit code 25"}},
    {.name = "TabLedLine",
     .switches = L"/quiet",
     .script = L"[Update]\r\n\tapp.exe\r\n",
     .exitCode = 25,
     .events = {L"plan refused at line 2: a line that begins with a tab stops the script",
                L"finished: the update script was refused, exit code 25"}},
    {.name = "DestinationFolderCannotBeMade",
     .switches = L"/quiet",
     .script = kOneFile + L"app.exe\r\ndata\\main.dat\r\n",
     .files = {{L"files\\app.exe", "new app"}, {L"files\\data\\main.dat", "data"}},
     .installFiles = {{L"data", "a file where a folder should be"}},
     .exitCode = 26,
     .events = {L"copied 1/2: {INSTALL}app.exe, 7 bytes",
                L"copy stopped at 2/2: {PROGRAM}files\\data\\main.dat -> {INSTALL}data\\main.dat: its folder "
                L"{INSTALL}data\\ cannot be made, error 183: {TEXT183}",
                L"box \"ファイル転送エラー\", not shown: ディレクトリの作成に失敗しました",
                L"copy finished: 1 of 2 files, 7 bytes", L"not opened (quiet run): {PROGRAM}Report.txt",
                L"finished: a destination folder could not be made, exit code 26"}},
    {.name = "CopyFailed",
     .switches = L"/quiet",
     .script = kOneFile + L"new\\app.exe\r\n",
     .files = {{L"files\\new\\app.exe", "new app"}},
     .vanishAtFirstFolder = L"files\\new\\app.exe",
     .exitCode = 27,
     .events =
         {L"copy stopped at 1/1: {PROGRAM}files\\new\\app.exe -> {INSTALL}new\\app.exe: the copy failed, "
          L"error 2: {TEXT2}",
          L"box \"エラーメッセージ\", not shown: ◆メッセージ◆ | コピーに失敗しました。 | ◆エラー内容◆ | "
          L"{TEXT2}",
          L"copy finished: 0 of 1 files, 0 bytes", L"finished: the copy failed, exit code 27"}},
    {.name = "CopyFailedInAPassiveRun",
     .switches = L"/passive",
     .script = kOneFile + L"new\\app.exe\r\n",
     .files = {{L"files\\new\\app.exe", "new app"}},
     .vanishAtFirstFolder = L"files\\new\\app.exe",
     .exitCode = 27,
     .events = {L"box \"エラーメッセージ\", not shown: ◆メッセージ◆ | コピーに失敗しました。 | ◆エラー内容◆ "
                L"| {TEXT2}",
                L"copy finished: 0 of 1 files, 0 bytes", L"opening {PROGRAM}Report.txt",
                L"finished: the copy failed, exit code 27"}},
};

class UnattendedEnds : public Unattended, public ::testing::WithParamInterface<UnattendedEnd> {};

TEST_P(UnattendedEnds, GiveTheirExitCodeAndLogLinesWithoutABox) {
    const UnattendedEnd& end = GetParam();
    if (end.script) {
        Script(*end.script);
    }
    for (const auto& [name, bytes] : end.files) {
        WriteBytes(program + name, bytes);
    }
    for (const auto& [name, bytes] : end.installFiles) {
        WriteBytes(install + name, bytes);
    }
    std::optional<Breakpoint> vanish;
    if (end.vanishAtFirstFolder != nullptr) {
        const std::wstring path = program + end.vanishAtFirstFolder;
        vanish =
            Breakpoint{L"kernel32.dll", "CreateDirectoryW", [path](DWORD) { DeleteFileW(path.c_str()); }};
    }
    const auto process = Start(vanish, Logged(end.switches));
    const Shown shown = WatchUntilExit(*process);
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(end.exitCode));
    EXPECT_FALSE(shown.box);
    if (end.switches.find(L"/quiet") != std::wstring::npos) {
        EXPECT_FALSE(shown.window);
    }
    std::vector<std::wstring> expected;
    for (const std::wstring& event : end.events) {
        expected.push_back(Expand(event));
    }
    EXPECT_TRUE(EndsWithInOrder(LogEvents(logFile), expected));
    EXPECT_TRUE(Opened(*process).empty()) << "nothing opened";
    for (const auto& [name, bytes] : end.installFiles) {
        EXPECT_EQ(ReadBytes(install + name), bytes) << "left as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(EndToEnd,
                         UnattendedEnds,
                         ::testing::ValuesIn(kUnattendedEnds),
                         [](const auto& test) { return std::string(test.param.name); });

// An unattended second instance ends at once with its code, and without a
// box; the first goes on undisturbed.
TEST_F(EndToEndReady, UnattendedSecondInstanceEndsAtOnce) {
    const auto first = Start();
    const HWND dialog = WaitForCopyDialog(*first);
    ExpectReady(dialog);

    const std::wstring logFile = root / L"second.log";
    const auto second = Start(std::nullopt, L"/quiet /log \"" + logFile + L"\"");
    const Shown shown = WatchUntilExit(*second);
    EXPECT_EQ(second->WaitForExit(), std::optional<DWORD>(21));
    EXPECT_FALSE(shown.window);
    EXPECT_TRUE(EndsWithInOrder(LogEvents(logFile),
                                {L"box \"エラーメッセージ\", not shown: "
                                 L"ミューテックスオブジェクトの作成に失敗しました。ERROR_ALREADY_EXISTS ",
                                 L"finished: another instance is running, exit code 21"}));

    EXPECT_TRUE(first->running());
    ExpectReady(dialog);
    Press(dialog, IDC_EXIT);
    EXPECT_EQ(first->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(Opened(*first).size(), 1u) << "the launch document, by the first instance only";
}

// With /log alone the run stays a person's: boxes show and wait, anything
// else on the command line is ignored, and the exit code is 0.
TEST_F(EndToEnd, ALogAloneKeepsTheRunAPersons) {
    Script(L"[Update]\r\n");
    const std::wstring logFile = root / L"person.log";
    const auto process = Start(std::nullopt, L"/log \"" + logFile + L"\" /bogus");
    const MessageBoxView box = WaitForMessageBox(*process);
    EXPECT_EQ(Seen({box}),
              (std::vector<Box>{{kDefaultCaption, L"コピーするファイルがありません", BoxIcon::None}}));
    Press(box.window, IDOK);
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(EndsWithInOrder(
        LogEvents(logFile),
        {L"command line: unknown switch \"/bogus\", ignored in an interactive run",
         L"box without caption: コピーするファイルがありません", L"plan refused at line 1: no file to copy",
         L"finished: the update script was refused, exit code 0"}));
}

// A log that cannot be opened is told to the debugger output; the run goes
// on and ends with the code of what happened.
TEST_F(EndToEndReady, ALogThatCannotBeOpenedDoesNotStopTheRun) {
    const std::wstring logFile = root / L"no such folder\\velkast.log";
    const auto process = Start(std::nullopt, L"/quiet /log \"" + logFile + L"\"");
    EXPECT_EQ(process->WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(ReadBytes(install + L"app.exe"), "new app");
    EXPECT_FALSE(Exists(logFile));
    const auto trace = process->debugOutput();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0], L"Velkast: the log " + logFile + L" cannot be opened: error 3: " +
                            LoggedSystemText(ERROR_PATH_NOT_FOUND) + L"\n");
}

// ---------------------------------------------------------------------------
// The prefix's font replacements make the Japanese texts fit their controls.

TEST(EndToEndFonts, DialogTextsFitTheirControls) {
    EXPECT_NE(FontReplacement(L"ＭＳ Ｐゴシック"), L"") << "scripts/wine-prefix.sh sets the replacements";
    EXPECT_NE(FontReplacement(L"MS UI Gothic"), L"");
    EXPECT_EQ(TextsThatDoNotFit(VelkastExePath()), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace velkast::e2e
