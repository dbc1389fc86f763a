#pragma once
// The version that the log's first line names. It comes from the build's
// generated version header where the build provides one; until then it is
// this placeholder.

#if __has_include("VelkastVersion.h")
#include "VelkastVersion.h"
#define VELKAST_LOG_VERSION VELKAST_VERSION
#else
#define VELKAST_LOG_VERSION "0.0.0"
#endif

namespace velkast {

inline constexpr wchar_t kProgramVersion[] = L"" VELKAST_LOG_VERSION;

}  // namespace velkast
