#pragma once

namespace velkast {

// Makes sure that every directory level of the path exists, creating the
// missing ones from the top down. The path must be absolute: a drive letter,
// the same in extended form (\\?\C:\...), or a share (\\server\share\... or
// \\?\UNC\server\share\...), as install roots come in all of these forms.
// Doubled separators past that leading part, relative and driveless paths
// are refused without touching the file system, and so is a path without
// the extended prefix that does not fit a path buffer. False when the path is
// refused or a level cannot be made (the levels made until then stay). Null
// counts as empty.
bool CreateDirectoryTree(const wchar_t* path);

}  // namespace velkast
