#include "win32/log/RunLogFile.h"

#include "core/run/LogLine.h"
#include "win32/errors/SystemErrorText.h"

namespace velkast {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr std::int64_t kTicksPerMinute = 60LL * 10000000LL;

std::int64_t Ticks(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

LogTime Now() {
    FILETIME utc{};
    GetSystemTimeAsFileTime(&utc);
    FILETIME local = utc;
    FileTimeToLocalFileTime(&utc, &local);
    SYSTEMTIME parts{};
    FileTimeToSystemTime(&local, &parts);
    LogTime time;
    time.year = parts.wYear;
    time.month = parts.wMonth;
    time.day = parts.wDay;
    time.hour = parts.wHour;
    time.minute = parts.wMinute;
    time.second = parts.wSecond;
    time.millisecond = parts.wMilliseconds;
    time.utcOffsetMinutes = static_cast<int>((Ticks(local) - Ticks(utc)) / kTicksPerMinute);
    return time;
}

// Unpaired surrogates become U+FFFD.
std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                            nullptr, nullptr);
    }
    return bytes;
}

void Append(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Holds the log for one write against every other writer, in this process
// or another: appending alone is not atomic everywhere (Wine seeks to the end
// and writes in two steps). The lock is on a byte far beyond any log, so
// readers are never kept out; where no lock can be had, the write goes ahead.
class WriteLock {
public:
    explicit WriteLock(HANDLE file) : file_(file) {
        region_.Offset = 0xFFFFFFF0u;
        region_.OffsetHigh = 0x7FFFFFFFu;
        locked_ = LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &region_) != FALSE;
    }
    ~WriteLock() {
        if (locked_) {
            UnlockFileEx(file_, 0, 1, 0, &region_);
        }
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

private:
    HANDLE file_;
    OVERLAPPED region_{};
    bool locked_ = false;
};

}  // namespace

std::wstring ErrorReason(DWORD code) {
    const std::wstring text = SystemErrorText(code);
    std::wstring reason = L"error " + std::to_wstring(code);
    if (!text.empty()) {
        reason += L": " + OneLine(text);
    }
    return reason;
}

RunLogFile::RunLogFile(const std::wstring& path) {
    if (path.empty()) {
        return;
    }
    // Append access, without write access: the system puts every write at
    // the file's end. Read access is for the lock.
    file_.reset(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        openError_ = GetLastError();
        return;
    }
    const WriteLock lock(file_.get());
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file_.get(), &size) && size.QuadPart == 0) {
        Append(file_.get(), kByteOrderMark);
    }
}

void RunLogFile::Write(const std::wstring& event) {
    if (!file_) {
        return;
    }
    const DWORD lastError = GetLastError();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const std::string line = Utf8(FormatLogLine(Now(), GetCurrentProcessId(), event));
        const WriteLock fileLock(file_.get());
        Append(file_.get(), line);
    }
    SetLastError(lastError);
}

}  // namespace velkast
