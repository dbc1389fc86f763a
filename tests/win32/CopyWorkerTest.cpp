// The copy worker against the real copy service and file system, reporting to
// a display that records what it is told.

#include <windows.h>

#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "core/job/CopyJob.h"
#include "core/platform/DebugOutput.h"
#include "support/win32/MessageBoxRecorder.h"
#include "support/win32/PlannedCopy.h"
#include "support/win32/RecordFile.h"
#include "support/win32/RecordingDisplay.h"
#include "support/win32/SystemText.h"
#include "support/win32/TempFolder.h"
#include "win32/copy/CopyFileSeam.h"
#include "win32/copy/CopyProgress.h"
#include "win32/copy/CopyWorker.h"
#include "win32/platform/Owners.h"
#include "win32/window/MessagePump.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::ReadFileBytes;
using testing::RecordedBox;
using testing::RecordingDisplay;
using testing::TempFolder;

constexpr DWORD kUnwantedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr UINT kWarningStyle = MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST;

class CopyWorker : public ::testing::Test, protected testing::PlannedCopy {
protected:
    void SetUp() override {
        record = program / L"record.txt";
        SetEnvironmentVariableW(L"VELKAST_RECORD_FILE", record.c_str());
        // Boxes take their place among the display's events.
        boxes.onShow([this](const RecordedBox& box) { display.Add(L"box " + box.caption.value_or(L"")); });
    }
    void TearDown() override { SetEnvironmentVariableW(L"VELKAST_RECORD_FILE", nullptr); }

    void RunWorker() { EXPECT_EQ(testing::RunCopyWorker(run), 0u); }

    // Makes the post-process item a program of its own folder.
    std::wstring PlanPostProcessProgram() {
        const std::wstring tools = program / L"tools\\";
        CreateDirectoryW(tools.c_str(), nullptr);
        CopyFileW(testing::ShellRecorderPath().c_str(), (tools + L"after.exe").c_str(), FALSE);
        job.postProcessPath = tools + L"after.exe";
        job.postProcessFolder = tools;
        return tools;
    }

    std::wstring record;
    RecordingDisplay display;
    CopyRun run{job, display};
    MessageBoxRecorder boxes;
};

TEST_F(CopyWorker, FullCopyIntoNewNestedFolders) {
    Plan(L"a.txt", "new contents of a");
    Plan(L"bin\\data.tar.gz", std::string(3000, 'd'), FILE_ATTRIBUTE_READONLY);
    Plan(L"deep\\er\\est\\readme", std::string(70000, 'r'), FILE_ATTRIBUTE_HIDDEN);
    testing::WriteFile(install / L"a.txt", "old");
    SetFileAttributesW((install / L"a.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    // Look at the copies as they begin: each goes to a file of its own beside
    // its destination, and a read-only destination that is about to be
    // replaced has lost its marks by then.
    static std::vector<std::wstring> copiedTo;
    static DWORD replacedAtCopy;
    static std::wstring replaced;
    copiedTo.clear();
    replaced = install / L"a.txt";
    const ScopedOverride<CopyFileFunction> observe(
        copyFileSeam,
        [](LPCWSTR source, LPCWSTR destination, LPPROGRESS_ROUTINE progress, LPVOID data, LPBOOL cancel,
           DWORD flags) -> BOOL {
            if (copiedTo.empty()) {
                replacedAtCopy = GetFileAttributesW(replaced.c_str());
            }
            copiedTo.push_back(destination);
            return CopyFileExW(source, destination, progress, data, cancel, flags);
        });
    RunWorker();

    EXPECT_TRUE(boxes.boxes().empty());
    ASSERT_NE(replacedAtCopy, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(replacedAtCopy & kUnwantedAttributes, 0u);
    ASSERT_EQ(copiedTo.size(), job.entries.size());
    for (std::size_t i = 0; i < copiedTo.size(); ++i) {
        const std::wstring destination = install.path() + job.entries[i].fileName;
        const std::wstring folder = destination.substr(0, destination.find_last_of(L'\\') + 1);
        EXPECT_NE(copiedTo[i], destination);
        EXPECT_EQ(copiedTo[i].substr(0, folder.size()), folder);
        EXPECT_FALSE(testing::Exists(copiedTo[i])) << "put in place";
    }
    for (const auto& entry : job.entries) {
        const std::wstring destination = install.path() + entry.fileName;
        EXPECT_EQ(ReadFileBytes(destination), ReadFileBytes(entry.sourceFolder + entry.fileName));
        EXPECT_EQ(GetFileAttributesW(destination.c_str()) & kUnwantedAttributes, 0u);
    }
    const std::wstring root = install.path();
    EXPECT_EQ(display.events(), (std::vector<std::wstring>{
                                    L"file " + root + L" a",
                                    L"bytes 17",
                                    L"file " + root + L" data.tar",
                                    L"bytes 3017",
                                    L"file " + root + L" readme",
                                    L"bytes 73017",
                                    L"finished",
                                }));
    EXPECT_EQ(job.copiedBytes, job.totalBytes);
}

// The copy service on Windows reports 0 at the start of the stream, then
// after each chunk; the worker's own report afterwards then adds nothing.
TEST_F(CopyWorker, ProgressReportedByTheServiceIsNotCountedTwice) {
    Plan(L"one.bin", std::string(1000, '1'));
    Plan(L"two.bin", std::string(2000, '2'));
    const ScopedOverride<CopyFileFunction> windowsLike(
        copyFileSeam,
        [](LPCWSTR source, LPCWSTR destination, LPPROGRESS_ROUTINE progress, LPVOID data, LPBOOL cancel,
           DWORD flags) -> BOOL {
            WIN32_FILE_ATTRIBUTE_DATA info;
            GetFileAttributesExW(source, GetFileExInfoStandard, &info);
            LARGE_INTEGER size{}, half{}, zero{};
            size.QuadPart = info.nFileSizeLow;
            half.QuadPart = size.QuadPart / 2;
            for (const LARGE_INTEGER count : {zero, half, size}) {
                progress(size, count, size, count, 1,
                         count.QuadPart == 0 ? CALLBACK_STREAM_SWITCH : CALLBACK_CHUNK_FINISHED, nullptr,
                         nullptr, data);
            }
            return CopyFileExW(source, destination, nullptr, nullptr, cancel, flags);
        });
    RunWorker();
    const std::wstring root = install.path();
    EXPECT_EQ(display.events(), (std::vector<std::wstring>{
                                    L"file " + root + L" one",
                                    L"bytes 0",
                                    L"bytes 500",
                                    L"bytes 1000",
                                    L"bytes 1000",
                                    L"file " + root + L" two",
                                    L"bytes 1000",
                                    L"bytes 2000",
                                    L"bytes 3000",
                                    L"bytes 3000",
                                    L"finished",
                                }));
    EXPECT_EQ(job.copiedBytes, 3000u);
}

// A folder that cannot be made: the display is brought up to date, the box
// is owned by the display's window, nothing after it is tried, and the copy
// still finishes and opens the post-process item.
TEST_F(CopyWorker, FolderFailureStopsAtTheThirdOfFive) {
    Plan(L"1.txt", "1");
    Plan(L"2.txt", "2");
    Plan(L"blocked\\3.txt", "3");
    Plan(L"4.txt", "4");
    Plan(L"5.txt", "5");
    testing::WriteFile(install / L"blocked", "a file where a folder should be");
    PlanPostProcessProgram();
    display.owner = GetDesktopWindow();
    RunWorker();

    EXPECT_EQ(boxes.boxes(), (std::vector<RecordedBox>{{display.owner, L"ディレクトリの作成に失敗しました",
                                                        L"ファイル転送エラー", MB_OK}}));
    const std::wstring root = install.path();
    EXPECT_EQ(display.events(), (std::vector<std::wstring>{
                                    L"file " + root + L" 1",
                                    L"bytes 1",
                                    L"file " + root + L" 2",
                                    L"bytes 2",
                                    L"file " + root + L" 3",
                                    L"flush",
                                    L"box ファイル転送エラー",
                                    L"finished",
                                }));
    EXPECT_EQ(ReadFileBytes(install / L"1.txt"), "1");
    EXPECT_EQ(ReadFileBytes(install / L"2.txt"), "2");
    EXPECT_FALSE(testing::Exists(install / L"4.txt"));
    EXPECT_FALSE(testing::Exists(install / L"5.txt"));
    EXPECT_EQ(testing::WaitForRecords(record).size(), 1u);
}

TEST_F(CopyWorker, CopyFailureReportsTheSystemText) {
    struct Case {
        const char* name;
        DWORD error;
    };
    for (const Case& c : {Case{"source vanished", ERROR_FILE_NOT_FOUND},
                          Case{"destination locked", ERROR_SHARING_VIOLATION}}) {
        SCOPED_TRACE(c.name);
        job = CopyJob{};
        RecordingDisplay shown;
        CopyRun failing{job, shown};
        Plan(L"first.txt", "1");
        Plan(L"second.txt", "2");
        Plan(L"third.txt", "3");
        UniqueFile lock;
        if (c.error == ERROR_FILE_NOT_FOUND) {
            DeleteFileW((program / L"files\\second.txt").c_str());
        } else {
            testing::WriteFile(install / L"second.txt", "locked");
            lock.reset(CreateFileW((install / L"second.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   0, nullptr));
            ASSERT_TRUE(lock);
        }
        DeleteFileW((install / L"third.txt").c_str());

        MessageBoxRecorder failureBoxes;
        failureBoxes.onShow([&](const RecordedBox& box) { shown.Add(L"box " + box.caption.value_or(L"")); });
        DebugOutputCapture trace;
        EXPECT_EQ(testing::RunCopyWorker(failing), 0u);
        lock.reset();

        const std::wstring systemText = testing::SystemText(c.error);
        ASSERT_FALSE(systemText.empty());
        EXPECT_EQ(failureBoxes.boxes(),
                  (std::vector<RecordedBox>{
                      {nullptr, L"◆メッセージ◆\r\nコピーに失敗しました。\r\n\n◆エラー内容◆\r\n" + systemText,
                       L"エラーメッセージ", kWarningStyle}}));
        const std::wstring root = install.path();
        EXPECT_EQ(shown.events(), (std::vector<std::wstring>{
                                      L"file " + root + L" first",
                                      L"bytes 1",
                                      L"file " + root + L" second",
                                      L"flush",
                                      L"box エラーメッセージ",
                                      L"finished",
                                  }));
        const std::wstring& text = trace.text();
        EXPECT_EQ(text.rfind(L"↓↓↓↓↓↓ Error ↓↓↓↓↓↓\n[", 0), 0u) << "trace begins with its banner";
        EXPECT_NE(text.find(L"行目] src/win32/copy/CopyWorker.cpp\nコピーに失敗しました。\n" + systemText +
                            L"↑↑↑↑↑↑ Error ↑↑↑↑↑↑\n"),
                  std::wstring::npos);
        EXPECT_FALSE(testing::Exists(install / L"third.txt"));
    }
}

// The progress routine only counts and hands the count on.
TEST_F(CopyWorker, ProgressRoutineCountsAndContinues) {
    job.totalBytes = 100;
    for (const std::int64_t fileCount : {0, 5, 29, 120}) {
        LARGE_INTEGER count{};
        count.QuadPart = fileCount;
        EXPECT_EQ(
            CopyProgressProc(count, count, count, count, 1, CALLBACK_CHUNK_FINISHED, nullptr, nullptr, &run),
            static_cast<DWORD>(PROGRESS_CONTINUE));
    }
    EXPECT_EQ(display.events(),
              (std::vector<std::wstring>{L"bytes 0", L"bytes 5", L"bytes 29", L"bytes 120"}));
    EXPECT_EQ(job.copiedBytes, 120u);
}

// Faults at the first, a middle and the last file: the user is told, the
// copy finishes, the files before are new, the failing one is old and whole,
// the ones after are untouched, and no temporary file is left behind.
enum class Fault { FolderIsAFile, SourceVanished, DestinationHeldOpen, DiskFullPartWay, OutOfMemory };

std::wstring g_failingSource;  // the source whose copy the seam spoils

BOOL WINAPI DiskFullHalfWay(LPCWSTR source,
                            LPCWSTR destination,
                            LPPROGRESS_ROUTINE progress,
                            LPVOID data,
                            LPBOOL cancel,
                            DWORD flags) {
    if (g_failingSource != source) {
        return CopyFileExW(source, destination, progress, data, cancel, flags);
    }
    // What fits of the new file lands in the destination before the drive is full.
    testing::WriteFile(destination, ReadFileBytes(source).substr(0, 3));
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

BOOL WINAPI NoMemory(LPCWSTR source,
                     LPCWSTR destination,
                     LPPROGRESS_ROUTINE progress,
                     LPVOID data,
                     LPBOOL cancel,
                     DWORD flags) {
    if (g_failingSource != source) {
        return CopyFileExW(source, destination, progress, data, cancel, flags);
    }
    throw std::bad_alloc();
}

bool HoldsTemporaryFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const UniqueFind find(FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find) {
        return false;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                ? HoldsTemporaryFiles(folder + name + L"\\")
                : name.find(L".tmp") != std::wstring::npos) {
            return true;
        }
    } while (FindNextFileW(find.get(), &found));
    return false;
}

TEST(CopyWorkerFaults, FailingFileStaysOldAndWhole) {
    struct Case {
        const char* name;
        Fault fault;
        DWORD error;  // of the system's text in the box; 0 for the folder box
    };
    const Case cases[] = {
        {"a level of the destination folder is a file", Fault::FolderIsAFile, 0},
        {"the source vanished", Fault::SourceVanished, ERROR_FILE_NOT_FOUND},
        {"the destination is held open without sharing", Fault::DestinationHeldOpen, ERROR_SHARING_VIOLATION},
        {"the drive fills part-way through the file", Fault::DiskFullPartWay, ERROR_DISK_FULL},
        {"memory runs out", Fault::OutOfMemory, ERROR_NOT_ENOUGH_MEMORY},
    };
    constexpr int kFiles = 3;
    for (const Case& c : cases) {
        for (const int failing : {0, 1, kFiles - 1}) {
            SCOPED_TRACE(std::string(c.name) + ", file " + std::to_string(failing + 1));
            testing::PlannedCopy copy;
            const TempFolder& install = copy.install;
            std::vector<std::wstring> names;
            for (int i = 0; i < kFiles; ++i) {
                const std::wstring number = std::to_wstring(i + 1);
                const bool blocked = c.fault == Fault::FolderIsAFile && i == failing;
                names.push_back((blocked ? L"blocked\\f" : L"f") + number + L".txt");
                testing::WriteFile(
                    install / (blocked ? L"blocked" : names.back()),
                    blocked ? "a file where a folder should be" : "old file " + std::to_string(i + 1));
                copy.Plan(names.back(), "new file " + std::to_string(i + 1));
            }
            const std::wstring failingSource = copy.program / (L"files\\" + names[failing]);
            g_failingSource = failingSource;
            UniqueFile held;
            std::optional<ScopedOverride<CopyFileFunction>> spoiled;
            switch (c.fault) {
                case Fault::SourceVanished:
                    DeleteFileW(failingSource.c_str());
                    break;
                case Fault::DestinationHeldOpen:
                    held.reset(CreateFileW((install / names[failing]).c_str(), GENERIC_READ, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
                    ASSERT_TRUE(held);
                    break;
                case Fault::DiskFullPartWay:
                    spoiled.emplace(copyFileSeam, &DiskFullHalfWay);
                    break;
                case Fault::OutOfMemory:
                    spoiled.emplace(copyFileSeam, &NoMemory);
                    break;
                case Fault::FolderIsAFile:
                    break;
            }

            RecordingDisplay display;
            display.owner = GetDesktopWindow();
            CopyRun run{copy.job, display};
            MessageBoxRecorder boxes;
            boxes.onShow([&](const RecordedBox& box) { display.Add(L"box " + box.caption.value_or(L"")); });
            EXPECT_EQ(testing::RunCopyWorker(run), 0u);
            held.reset();
            spoiled.reset();

            ASSERT_EQ(boxes.boxes().size(), 1u);
            if (c.error == 0) {
                EXPECT_EQ(boxes.boxes()[0], (RecordedBox{display.owner, L"ディレクトリの作成に失敗しました",
                                                         L"ファイル転送エラー", MB_OK}));
            } else {
                EXPECT_EQ(boxes.boxes()[0],
                          (RecordedBox{nullptr,
                                       L"◆メッセージ◆\r\nコピーに失敗しました。\r\n\n◆エラー内容◆\r\n" +
                                           testing::SystemText(c.error),
                                       L"エラーメッセージ", kWarningStyle}));
            }
            const std::vector<std::wstring> events = display.events();
            ASSERT_GE(events.size(), 3u);
            EXPECT_EQ(
                std::vector<std::wstring>(events.end() - 3, events.end()),
                (std::vector<std::wstring>{L"flush", L"box " + *boxes.boxes()[0].caption, L"finished"}));
            for (int i = 0; i < kFiles; ++i) {
                const std::string number = std::to_string(i + 1);
                if (i < failing) {
                    EXPECT_EQ(ReadFileBytes(install / names[i]), "new file " + number);
                } else if (i > failing || c.fault != Fault::FolderIsAFile) {
                    EXPECT_EQ(ReadFileBytes(install / names[i]), "old file " + number);
                }
            }
            if (c.fault == Fault::FolderIsAFile) {
                EXPECT_EQ(ReadFileBytes(install / L"blocked"), "a file where a folder should be");
            }
            EXPECT_FALSE(HoldsTemporaryFiles(install.path()));
        }
    }
}

TEST(DisplayName, LastComponentWithoutItsLastExtension) {
    struct Case {
        std::wstring fileName, shown;
    };
    const Case cases[] = {
        {L"bin\\data.tar.gz", L"data.tar"}, {L"readme", L"readme"},
        {L"sub\\tool.exe", L"tool"},        {L"a/b.txt", L"b"},
        {L"日本語\\説明書.txt", L"説明書"}, {L".profile", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayName(c.fileName), c.shown);
    }
}

}  // namespace
}  // namespace velkast
