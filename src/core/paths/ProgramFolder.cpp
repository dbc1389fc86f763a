#include "core/paths/ProgramFolder.h"

#include "core/paths/FolderPart.h"
#include "core/paths/InstallRoot.h"

namespace velkast {

std::wstring ProgramFolderOf(const std::wstring& folder) {
    CopyPathText(InstallRootBuffer(), folder.c_str());
    std::wstring text = InstallRootBuffer();
    AddBackslash(text);
    CopyPathText(InstallRootBuffer(), text.c_str());
    return MakeRootPath(0, L"");
}

std::wstring ProgramFolderOfFile(const std::wstring& file) {
    SplitParts parts{};
    return ProgramFolderOf(GetFolderPart(parts, file.c_str()));
}

}  // namespace velkast
