#pragma once
// Documents that the program opens (the launch document, the report file) go
// through OpenWithShell, so that tests can see what would be opened.

#include <string>

#include "core/base/Seam.h"

namespace velkast {

// Takes the paths in place of the shell.
class ShellOpenHandler {
public:
    virtual void Open(const std::wstring& path) = 0;

protected:
    ~ShellOpenHandler() = default;
};

// Null: the real shell.
extern Seam<ShellOpenHandler*> shellOpenSeam;

// Opens the file with the shell's "open" verb in a normal window, or hands
// the path to the handler in the seam; the result is not looked at and
// nothing waits for what was opened.
void OpenWithShell(const std::wstring& path);

// The same with the shell itself, whatever the seam holds: for a handler
// that lets a request through.
void OpenWithRealShell(const std::wstring& path);

}  // namespace velkast
