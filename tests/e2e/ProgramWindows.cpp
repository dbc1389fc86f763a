#include "ProgramWindows.h"

#include <commctrl.h>

#include "VelkastProcess.h"
#include "resource.h"

namespace velkast::e2e {
namespace {

constexpr UINT kSendTimeout = 5000;

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout, &result)) {
        return 0;
    }
    return static_cast<LRESULT>(result);
}

// WM_GETTEXT rather than GetWindowTextW: an edit control of another process
// keeps its text to itself.
std::wstring WindowText(HWND window) {
    if (window == nullptr) {
        return std::wstring();
    }
    const auto length = static_cast<std::size_t>(Send(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied =
        static_cast<std::size_t>(Send(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied);
    return text;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM context) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(context)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

bool HasButtons(HWND dialog) {
    for (const HWND child : Children(dialog)) {
        if (ClassName(child) == L"Button") {
            return true;
        }
    }
    return false;
}

// Counts the icon's yellow and blue pixels as they are on the screen.
BoxIcon IconByColour(HWND icon) {
    RECT rect;
    if (!GetWindowRect(icon, &rect) || rect.right <= rect.left || rect.bottom <= rect.top) {
        return BoxIcon::Other;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    int yellow = 0;
    int blue = 0;
    if (bitmap != nullptr) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        for (int i = 0; i < width * height; ++i) {
            const int r = static_cast<int>((pixels[i] >> 16) & 0xFF);
            const int g = static_cast<int>((pixels[i] >> 8) & 0xFF);
            const int b = static_cast<int>(pixels[i] & 0xFF);
            if (r > 180 && g > 140 && b < 100) {
                ++yellow;
            } else if (b > 150 && r < 120 && b > g) {
                ++blue;
            }
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    constexpr int kEnough = 16;
    if (yellow >= kEnough && yellow > blue) {
        return BoxIcon::Warning;
    }
    if (blue >= kEnough && blue > yellow) {
        return BoxIcon::Information;
    }
    return BoxIcon::Other;
}

// The box's icon: none unless it has a visible icon static holding an icon;
// which one it is, from its colours once the box has painted it.
BoxIcon ReadIcon(HWND box) {
    for (const HWND child : Children(box)) {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        if (ClassName(child) != L"Static" || (style & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(child) ||
            Send(child, STM_GETICON, 0, 0) == 0) {
            continue;
        }
        BoxIcon icon = BoxIcon::Other;
        for (int attempt = 0; attempt < 100 && icon == BoxIcon::Other; ++attempt) {
            icon = IconByColour(child);
            if (icon == BoxIcon::Other) {
                Sleep(20);
            }
        }
        return icon;
    }
    return BoxIcon::None;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, BoxIcon icon) {
    switch (icon) {
        case BoxIcon::None:
            return out << "no icon";
        case BoxIcon::Warning:
            return out << "warning icon";
        case BoxIcon::Information:
            return out << "information icon";
        case BoxIcon::Other:
            return out << "another icon";
    }
    return out;
}

std::vector<HWND> VisibleWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.processId && IsWindowVisible(window)) {
                s.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> VisibleDialogs(DWORD processId) {
    std::vector<HWND> dialogs;
    for (const HWND window : VisibleWindows(processId)) {
        if (ClassName(window) == L"#32770") {
            dialogs.push_back(window);
        }
    }
    return dialogs;
}

HWND FindCopyDialog(DWORD processId) {
    for (const HWND dialog : VisibleDialogs(processId)) {
        if (GetDlgItem(dialog, IDC_START) != nullptr) {
            return dialog;
        }
    }
    return nullptr;
}

HWND FindWaitDialog(DWORD processId) {
    for (const HWND dialog : VisibleDialogs(processId)) {
        if (GetDlgItem(dialog, IDC_START) == nullptr && !HasButtons(dialog)) {
            return dialog;
        }
    }
    return nullptr;
}

std::vector<MessageBoxView> MessageBoxes(DWORD processId) {
    std::vector<MessageBoxView> boxes;
    for (const HWND dialog : VisibleDialogs(processId)) {
        if (GetDlgItem(dialog, IDC_START) == nullptr && HasButtons(dialog)) {
            boxes.push_back(ReadMessageBox(dialog));
        }
    }
    return boxes;
}

MessageBoxView ReadMessageBox(HWND box) {
    MessageBoxView view;
    view.window = box;
    view.caption = WindowText(box);
    // The box's text is the static control with id 0xFFFF.
    view.text = WindowText(GetDlgItem(box, 0xFFFF));
    view.icon = ReadIcon(box);
    view.topmost = (GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    return view;
}

std::wstring ControlText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

CopyDialogView ReadCopyDialog(HWND dialog) {
    CopyDialogView view;
    view.heading = ControlText(dialog, IDC_HEADING);
    view.target = ControlText(dialog, IDC_TARGET_FOLDER);
    view.fileName = ControlText(dialog, IDC_FILE_NAME);
    view.copied = ControlText(dialog, IDC_COPIED_BYTES);
    view.total = ControlText(dialog, IDC_TOTAL_BYTES);
    view.percent = ControlText(dialog, IDC_PERCENT);
    view.progress = static_cast<int>(Send(GetDlgItem(dialog, IDC_PROGRESS), PBM_GETPOS, 0, 0));
    view.startEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_START)) != FALSE;
    view.exitEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_EXIT)) != FALSE;
    return view;
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool WaitUntil(const VelkastProcess& process, const std::function<bool()>& condition, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (!process.running() || GetTickCount64() >= end) {
            return condition();
        }
        Sleep(20);
    }
}

MessageBoxView WaitForMessageBox(const VelkastProcess& process) {
    std::vector<MessageBoxView> boxes;
    WaitUntil(process, [&] {
        boxes = MessageBoxes(process.id());
        return !boxes.empty();
    });
    return boxes.empty() ? MessageBoxView{} : boxes.front();
}

HWND WaitForCopyDialog(const VelkastProcess& process) {
    HWND dialog = nullptr;
    WaitUntil(process, [&] {
        dialog = FindCopyDialog(process.id());
        return dialog != nullptr;
    });
    return dialog;
}

}  // namespace velkast::e2e
