#pragma once
// Where a run with /log writes what happens, one event a line. The file
// behind it stamps each line; a log that could not be opened takes the lines
// and writes nothing.

#include <string>

namespace velkast {

class RunLog {
public:
    // One event; any thread may write. Line breaks in the text are kept to
    // one line by the writer.
    virtual void Write(const std::wstring& event) = 0;

protected:
    ~RunLog() = default;
};

}  // namespace velkast
