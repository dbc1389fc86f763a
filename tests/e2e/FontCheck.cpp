#include "FontCheck.h"

#include <windows.h>
#include <commctrl.h>

#include "resource.h"

namespace velkast::e2e {
namespace {

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::wstring Text(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
    return text;
}

// A text fits when it takes one line no wider and no taller than the
// control's client area. Trailing blanks do not show and are not counted.
void Check(HWND control, std::wstring text, std::vector<std::wstring>& misfits) {
    text.erase(text.find_last_not_of(L' ') + 1);
    if (text.empty()) {
        return;
    }
    RECT client;
    GetClientRect(control, &client);
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (size.cx > client.right || size.cy > client.bottom) {
        misfits.push_back(text + L" (needs " + std::to_wstring(size.cx) + L"x" + std::to_wstring(size.cy) +
                          L", has " + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom) +
                          L")");
    }
}

void CheckTemplateTexts(HWND dialog, std::vector<std::wstring>& misfits) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Static") == 0 || lstrcmpiW(name, L"Button") == 0) {
            Check(child, Text(child), misfits);
        }
    }
}

}  // namespace

std::vector<std::wstring> TextsThatDoNotFit(const std::wstring& velkastExe) {
    std::vector<std::wstring> misfits;
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const HMODULE resources = LoadLibraryExW(velkastExe.c_str(), nullptr,
                                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (resources == nullptr) {
        return {L"cannot load " + velkastExe};
    }
    const HWND copy = CreateDialogParamW(resources, MAKEINTRESOURCEW(IDD_COPY), nullptr, QuietDialogProc, 0);
    const HWND wait = CreateDialogParamW(resources, MAKEINTRESOURCEW(IDD_WAIT), nullptr, QuietDialogProc, 0);
    if (copy == nullptr || wait == nullptr) {
        misfits.push_back(L"cannot make the dialogs");
    } else {
        CheckTemplateTexts(copy, misfits);
        CheckTemplateTexts(wait, misfits);
        // What the program writes into the copy dialog while it copies.
        Check(GetDlgItem(copy, IDC_HEADING), L"コピー中です", misfits);
        Check(GetDlgItem(copy, IDC_HEADING), L"コピーが終了しました", misfits);
        Check(GetDlgItem(copy, IDC_PERCENT), L"100 %", misfits);
        Check(GetDlgItem(copy, IDC_COPIED_BYTES), L"1,073,741,824", misfits);
        Check(GetDlgItem(copy, IDC_TOTAL_BYTES), L"1,073,741,824byte", misfits);
    }
    if (copy != nullptr) {
        DestroyWindow(copy);
    }
    if (wait != nullptr) {
        DestroyWindow(wait);
    }
    FreeLibrary(resources);
    return misfits;
}

std::wstring FontReplacement(const std::wstring& face) {
    wchar_t value[128] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements", face.c_str(), RRF_RT_REG_SZ,
                     nullptr, value, &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    return value;
}

}  // namespace velkast::e2e
