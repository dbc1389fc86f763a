#pragma once
// Reporting errors to the user (a message box) and to the developer (a trace
// in the debugger output that names the source line).

#include <windows.h>

namespace velkast {

// Where in the sources an error was reported. The file is the path relative
// to the repository, such as "src/win32/app/WinMain.cpp".
struct SourcePosition {
    const char* file;
    int line;
};

#define VELKAST_HERE (::velkast::SourcePosition{__FILE__, __LINE__})

// Writes the message to the debugger output, framed and with the source
// position, then shows it in a warning box and returns once it is dismissed.
void ReportError(const wchar_t* message, SourcePosition where);

// As ReportError, with the system's text for the error code after the
// message, in the trace and in the box. "(null)" stands for the text when
// the system has none for the code.
void ReportSystemError(const wchar_t* message, DWORD code, SourcePosition where);

}  // namespace velkast
