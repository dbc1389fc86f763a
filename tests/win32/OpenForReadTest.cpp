// Opening files for reading against the real file system under Wine; boxes
// go to the recorder.

#include <windows.h>

#include "win32/files/OpenForRead.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win32/MessageBoxRecorder.h"
#include "support/win32/SystemText.h"
#include "support/win32/TempFolder.h"
#include "core/platform/DebugOutput.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::RecordedBox;
using testing::TempFolder;

constexpr UINT kOpenFailureStyle = MB_OK | MB_ICONINFORMATION;

UniqueFile OpenOther(const std::wstring& path, DWORD access, DWORD share) {
    return UniqueFile(
        CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(OpenForRead, FailureShowsTheSystemTextAndGivesAnEmptyHandle) {
    TempFolder temp;
    testing::WriteFile(temp / L"書込中.up", "data");
    const UniqueFile writer =
        OpenOther(temp / L"書込中.up", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(writer);

    const struct {
        std::wstring path;
        DWORD code;
    } cases[] = {
        {temp / L"ない.up", ERROR_FILE_NOT_FOUND},
        {temp / L"ないフォルダ\\Update.up", ERROR_PATH_NOT_FOUND},
        {temp / L"書込中.up", ERROR_SHARING_VIOLATION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const std::wstring reason = testing::SystemText(c.code);
        ASSERT_FALSE(reason.empty());
        MessageBoxRecorder boxes;
        DebugOutputCapture trace;

        const UniqueFile file = OpenForRead(c.path.c_str());

        EXPECT_FALSE(file);
        EXPECT_EQ(boxes.boxes(), (std::vector<RecordedBox>{{nullptr, reason, L"エラー", kOpenFailureStyle}}));
        EXPECT_EQ(trace.text(), L"");

        // Without the box, the code is the caller's.
        DWORD error = ERROR_SUCCESS;
        EXPECT_FALSE(TryOpenForRead(c.path.c_str(), error));
        EXPECT_EQ(error, c.code);
        EXPECT_EQ(boxes.boxes().size(), 1u);
    }
}

TEST(OpenForRead, OpensFilesOthersOnlyRead) {
    TempFolder temp;
    testing::WriteFile(temp / L"Update.up", "plain");
    testing::WriteFile(temp / L"読込中.up", "shared");
    const UniqueFile reader = OpenOther(temp / L"読込中.up", GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(reader);

    const struct {
        std::wstring path;
        std::string contents;
    } cases[] = {
        {temp / L"Update.up", "plain"},
        {temp / L"読込中.up", "shared"},
    };
    for (const auto& c : cases) {
        MessageBoxRecorder boxes;
        DebugOutputCapture trace;

        const UniqueFile file = OpenForRead(c.path.c_str());

        ASSERT_TRUE(file) << c.contents;
        EXPECT_NE(file.get(), INVALID_HANDLE_VALUE);
        char buffer[16] = {};
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr));
        EXPECT_EQ(std::string(buffer, read), c.contents);
        EXPECT_EQ(OpenFileSize(file.get()), c.contents.size());
        EXPECT_TRUE(boxes.boxes().empty());
        EXPECT_EQ(trace.text(), L"");
    }
}

}  // namespace
}  // namespace velkast
