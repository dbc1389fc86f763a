#pragma once
// A folder of its own under the system's temporary folder, removed with all
// that it holds when the object goes.

#include <string>

namespace velkast::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, ending in a backslash.
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + relative; }

private:
    std::wstring path_;
};

bool Exists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
void WriteFile(const std::wstring& path, const std::string& contents);
// The file's bytes; "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

}  // namespace velkast::testing
