#pragma once
// What a person sees of a running Velkast.exe and what they do with it: the
// program's top-level dialogs (the wait dialog, the copy dialog, message
// boxes), read from outside through the window calls that work across
// processes, and buttons pressed by posting the command a click would send.

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace velkast::e2e {

class VelkastProcess;

// The icon of a message box, told by its colours on the screen: Wine's
// warning icon is yellow, its information icon blue.
enum class BoxIcon { None, Warning, Information, Other };
std::ostream& operator<<(std::ostream& out, BoxIcon icon);

struct MessageBoxView {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    BoxIcon icon = BoxIcon::None;
    // Read, but Wine never sets it: its boxes ignore MB_TOPMOST.
    bool topmost = false;
};

// The controls of the copy dialog that the program changes.
struct CopyDialogView {
    std::wstring heading;   // 1053
    std::wstring target;    // 1047, the destination folder
    std::wstring fileName;  // 1051
    std::wstring copied;    // 1054
    std::wstring total;     // 1052
    std::wstring percent;   // 1055
    int progress = -1;      // 1048
    bool startEnabled = false;
    bool exitEnabled = false;
};

// The program's visible top-level windows of any class, newest first.
std::vector<HWND> VisibleWindows(DWORD processId);
// The program's visible dialogs (class #32770), newest first.
std::vector<HWND> VisibleDialogs(DWORD processId);

HWND FindCopyDialog(DWORD processId);  // has Start (1049)
HWND FindWaitDialog(DWORD processId);  // no Start and no buttons
std::vector<MessageBoxView> MessageBoxes(DWORD processId);

MessageBoxView ReadMessageBox(HWND box);
CopyDialogView ReadCopyDialog(HWND dialog);
std::wstring ControlText(HWND dialog, int id);

// A click on the button: the dialog receives WM_COMMAND with its id.
void Press(HWND dialog, int id);

// Polls the condition until it holds, the program has ended, or about 20
// seconds have passed; answers whether it holds.
bool WaitUntil(const VelkastProcess& process,
               const std::function<bool()>& condition,
               DWORD milliseconds = 20000);

// The message box that the program shows next (waits for it), or an empty view.
MessageBoxView WaitForMessageBox(const VelkastProcess& process);
// The copy dialog once it is visible, or null.
HWND WaitForCopyDialog(const VelkastProcess& process);

}  // namespace velkast::e2e
