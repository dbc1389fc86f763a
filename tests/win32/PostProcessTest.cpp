// The post-process item, opened through the real shell: a program is started
// in its own folder, a document with the program of its type.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/job/CopyJob.h"
#include "support/win32/RecordFile.h"
#include "support/win32/RegistryKey.h"
#include "support/win32/TempFolder.h"
#include "win32/copy/PostProcess.h"
#include "win32/platform/Owners.h"

namespace velkast {
namespace {

using testing::TempFolder;

class PostProcess : public ::testing::Test {
protected:
    void SetUp() override {
        record = program / L"record.txt";
        SetEnvironmentVariableW(L"VELKAST_RECORD_FILE", record.c_str());
    }
    void TearDown() override { SetEnvironmentVariableW(L"VELKAST_RECORD_FILE", nullptr); }

    TempFolder program;
    std::wstring record;
    CopyJob job;
};

TEST_F(PostProcess, OpensNothingForAnEmptyPath) {
    EXPECT_TRUE(RunPostProcess(job));
    Sleep(200);
    EXPECT_FALSE(testing::Exists(record));
}

TEST_F(PostProcess, StartsAProgramInItsFolder) {
    const std::wstring tools = program / L"tools\\";
    CreateDirectoryW(tools.c_str(), nullptr);
    CopyFileW(testing::ShellRecorderPath().c_str(), (tools + L"after.exe").c_str(), FALSE);
    job.postProcessPath = tools + L"after.exe";
    job.postProcessFolder = tools;
    EXPECT_TRUE(RunPostProcess(job));
    const auto records = testing::WaitForRecords(record);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].folder + L"\\", tools);
    // No arguments: the command line is the program alone.
    const std::wstring& line = records[0].commandLine;
    EXPECT_NE(line.find(L"after.exe"), std::wstring::npos);
    EXPECT_EQ(line.substr(line.find(L"after.exe") + 9).find_first_not_of(L"\" "), std::wstring::npos)
        << "no arguments";
}

void SetDefaultValue(HKEY root, const wchar_t* path, const std::wstring& value) {
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

TEST_F(PostProcess, OpensADocumentWithItsProgram) {
    // A file type of the test's own, opened by the recorder.
    SetDefaultValue(HKEY_CLASSES_ROOT, L"VelkastTest.Document\\shell\\open\\command",
                    L"\"" + testing::ShellRecorderPath() + L"\" \"%1\"");
    SetDefaultValue(HKEY_CLASSES_ROOT, L".velkasttest", L"VelkastTest.Document");

    testing::WriteFile(program / L"notes.velkasttest", "notes");
    job.postProcessPath = program / L"notes.velkasttest";
    job.postProcessFolder = program.path();
    EXPECT_TRUE(RunPostProcess(job));
    const auto records = testing::WaitForRecords(record);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".velkasttest");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"VelkastTest.Document");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].commandLine.find(L"notes.velkasttest"), std::wstring::npos);
}

}  // namespace
}  // namespace velkast
