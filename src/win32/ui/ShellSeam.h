#pragma once
// Documents that the program opens (the launch document, the report file) go
// through OpenWithShell, so that tests can see what would be opened.

#include <string>

namespace velkast {

// Opens the file with the shell's "open" verb in a normal window; the result
// is not looked at and nothing waits for what was opened.
void OpenWithShell(const std::wstring& path);

using ShellOpenHandler = void (*)(const std::wstring& path, void* context);

// While it lives, OpenWithShell hands each path to the handler instead.
class ShellOpenHandlerScope {
public:
    ShellOpenHandlerScope(ShellOpenHandler handler, void* context);
    ~ShellOpenHandlerScope();
    ShellOpenHandlerScope(const ShellOpenHandlerScope&) = delete;
    ShellOpenHandlerScope& operator=(const ShellOpenHandlerScope&) = delete;

private:
    friend void OpenWithShell(const std::wstring& path);
    ShellOpenHandler handler_;
    void* context_;
    const ShellOpenHandlerScope* previous_;
};

}  // namespace velkast
