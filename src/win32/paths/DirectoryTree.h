#pragma once

namespace velkast {

// Makes sure that every directory level of the path exists, creating the
// missing ones from the top down. The path must be absolute with a drive
// letter; network paths, doubled separators, relative and driveless paths are
// refused without touching the file system. False when the path is refused or
// a level cannot be made (the levels made until then stay). Null counts as empty.
bool CreateDirectoryTree(const wchar_t* path);

}  // namespace velkast
