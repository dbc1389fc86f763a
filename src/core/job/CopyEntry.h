#pragma once

#include <string>

namespace velkast {

// One planned copy: from sourceFolder + fileName to targetFolder + fileName.
// The two folders end in a backslash as the script wrote them; the joined
// paths are not stored.
struct CopyEntry {
    std::wstring fileName;      // the file line as read; may hold subfolders
    std::wstring sourceFolder;  // the program folder and the block's folder
    std::wstring targetFolder;  // the install root of the block
};

}  // namespace velkast
