#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "win32/platform/Owners.h"
#include "win32/window/MessagePump.h"

namespace velkast {
namespace {

// Set by the hook once this thread's pump has taken the quit message.
UniqueHandle g_quitSeen;

LRESULT CALLBACK SeeQuit(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_QUIT) {
        SetEvent(g_quitSeen.get());
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The modal loop of an ended dialog leaves a quit message behind; the wait
// must take it and go on waiting for the thread, which here ends only after
// the quit message was taken.
TEST(WaitForThread, GoesOnPastTheQuitMessageUntilTheThreadHasEnded) {
    g_quitSeen.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(g_quitSeen);
    const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, SeeQuit, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);

    PostQuitMessage(0);
    const UniqueHandle thread(CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD { return WaitForSingleObject(g_quitSeen.get(), 20000) == WAIT_OBJECT_0 ? 0 : 1; },
        nullptr, 0, nullptr));
    ASSERT_TRUE(thread);
    WaitForThread(thread.get());
    const bool ended = WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
    UnhookWindowsHookEx(hook);

    ASSERT_TRUE(ended) << "the wait returned before the thread ended";
    DWORD exitCode = 0;
    GetExitCodeThread(thread.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the quit message never reached the pump";
    g_quitSeen.reset();
}

}  // namespace
}  // namespace velkast
