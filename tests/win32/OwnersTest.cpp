// The owners of the system's resources: each gives back what it holds
// exactly once, and only what it still holds.

#include <windows.h>

#include <gtest/gtest.h>

#include <type_traits>
#include <thread>
#include <utility>

#include "win32/platform/Owners.h"

namespace velkast {
namespace {

static_assert(!std::is_copy_constructible_v<UniqueHandle> &&
              std::is_nothrow_move_constructible_v<UniqueHandle>);
static_assert(!std::is_copy_constructible_v<UniqueRegKey> &&
              std::is_nothrow_move_constructible_v<UniqueRegKey>);
static_assert(!std::is_copy_constructible_v<LocalBuffer> &&
              std::is_nothrow_move_constructible_v<LocalBuffer>);

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(UniqueHandle, ClosesWhatItHoldsOnce) {
    const HANDLE first = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE second = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(first != nullptr && second != nullptr);
    {
        UniqueHandle owner(first);
        UniqueHandle moved(std::move(owner));
        EXPECT_FALSE(owner);
        EXPECT_TRUE(IsOpen(first));
        moved.reset(second);
        EXPECT_FALSE(IsOpen(first));
        EXPECT_EQ(moved.release(), second);
        EXPECT_FALSE(moved);
    }
    EXPECT_TRUE(IsOpen(second)) << "released, so no longer ours to close";
    {
        UniqueHandle owner(second);
        owner = UniqueHandle();
        EXPECT_FALSE(IsOpen(second));
    }
}

TEST(UniqueRegKey, PutClosesTheKeyHeldBefore) {
    UniqueRegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    const HKEY first = key.get();
    ASSERT_TRUE(key);
    DWORD subkeys = 0;
    ASSERT_EQ(RegQueryInfoKeyW(first, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);

    EXPECT_EQ(*key.put(), nullptr);
    EXPECT_FALSE(key);
    EXPECT_NE(RegQueryInfoKeyW(first, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
}

TEST(UniqueFile, FailureValueIsEmptyAndIsNeverClosed) {
    const UniqueFile missing(CreateFileW(L"C:\\no such folder\\no such file", GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(UniqueFile());
    EXPECT_FALSE(UniqueHandle(INVALID_HANDLE_VALUE)) << "the process's pseudo handle is nobody's to close";
}

// The single-instance mutex: held from its creation, released before it is closed.
TEST(OwnedMutex, ReleasesThenCloses) {
    const wchar_t* const name = L"velkast-owners-test-mutex";
    HANDLE raw = CreateMutexW(nullptr, TRUE, name);
    ASSERT_NE(raw, nullptr);
    {
        OwnedMutex mutex(raw);
        std::thread other([&] {
            const UniqueHandle same(OpenMutexW(SYNCHRONIZE, FALSE, name));
            EXPECT_EQ(WaitForSingleObject(same.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still owned";
        });
        other.join();
    }
    EXPECT_FALSE(IsOpen(raw));
    const HANDLE created = CreateMutexW(nullptr, FALSE, name);
    const DWORD error = GetLastError();
    const UniqueHandle again(created);
    EXPECT_NE(error, static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "closed: the name is free again";
}

}  // namespace
}  // namespace velkast
