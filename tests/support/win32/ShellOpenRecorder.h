#pragma once
// Records, while it lives, what the program would open with the shell.

#include <string>
#include <vector>

#include "win32/ui/ShellSeam.h"

namespace velkast::testing {

class ShellOpenRecorder final : public ShellOpenHandler {
public:
    ShellOpenRecorder() : scope_(shellOpenSeam, this) {}
    void Open(const std::wstring& path) override { opened.push_back(path); }

    std::vector<std::wstring> opened;

private:
    ScopedOverride<ShellOpenHandler*> scope_;
};

}  // namespace velkast::testing
