#pragma once
// The program folder: the folder the updater runs from, where it finds the
// update script and the files of the update.

#include <string>

namespace velkast {

// The folder as start-up forms it: cut at 259 characters, a trailing
// backslash added, slashes turned into backslashes and doubled backslashes
// collapsed. The folder and its backslash are left in the install-root
// buffer.
std::wstring ProgramFolderOf(const std::wstring& folder);

// The same for the folder that holds this file.
std::wstring ProgramFolderOfFile(const std::wstring& file);

}  // namespace velkast
