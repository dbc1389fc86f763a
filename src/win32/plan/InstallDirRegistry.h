#pragma once

#include <string>

#include "core/paths/InstallRoot.h"

namespace velkast {

// Reads INSTALLDIR of the key under the hive into the buffer (at most its 520
// bytes, whatever the value's type), looking in the 64-bit registry view
// first and, where the key or its value is missing there, in the 32-bit view,
// where 32-bit installers put the keys of their applications under
// HKEY_LOCAL_MACHINE\Software. False, with the buffer zero-filled, when
// nothing was read: a missing key or value, one that may not be read, or a
// value larger than the buffer (which does not send the lookup on).
bool ReadInstallDirValue(RegistryHive hive, const std::wstring& key, PathBuffer& value);

}  // namespace velkast
