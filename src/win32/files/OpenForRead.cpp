#include "win32/files/OpenForRead.h"

#include <string>

#include "core/script/UpdaterBoxes.h"
#include "win32/errors/SystemErrorText.h"
#include "win32/ui/MessageBoxSeam.h"

namespace velkast {

UniqueFile TryOpenForRead(const wchar_t* path, DWORD& error) {
    UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file ? ERROR_SUCCESS : GetLastError();
    return file;
}

UniqueFile OpenForRead(const wchar_t* path) {
    DWORD code = ERROR_SUCCESS;
    UniqueFile file = TryOpenForRead(path, code);
    if (file) {
        return file;
    }
    const std::wstring systemText = SystemErrorText(code);
    // Without the system's text the code at least lets the user ask for help.
    const std::wstring text =
        !systemText.empty() ? systemText
                            : L"ファイルを開けませんでした。(エラーコード " + std::to_wstring(code) + L")";
    ShowMessageBox(nullptr, text.c_str(), kOpenFailureCaption, MB_OK | MB_ICONINFORMATION);
    return UniqueFile();
}

std::uint64_t OpenFileSize(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

}  // namespace velkast
