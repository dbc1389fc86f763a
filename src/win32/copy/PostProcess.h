#pragma once

namespace velkast {

struct CopyJob;

// Opens the job's post-process item through the shell, with its default verb
// and its folder as the working folder, and returns at once. True when there
// was nothing to open or the shell accepted the request.
bool RunPostProcess(const CopyJob& job);

}  // namespace velkast
