// The window framework against real windows and dialogs under Wine: which
// message binds an object, what the procedure slots hold, which messages
// reach the objects and the procedures they replaced, and in what order.
// Dialogs come from the wait dialog's template in the built Velkast.exe,
// loaded as a data file; its path, relative to this test program, comes from
// the build.

#include <windows.h>

#include "win32/window/WndBase.h"
#include "win32/window/DlgBase.h"
#include "win32/app/WaitDlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "VelkastResources.h"
#include "resource.h"

namespace velkast {
namespace {

static_assert(std::is_same_v<LRESULT, INT_PTR>, "one procedure serves windows and dialogs");
static_assert(std::is_convertible_v<decltype(&BaseWndProc), WNDPROC>);
static_assert(std::is_convertible_v<decltype(&BaseWndProc), DLGPROC>);
static_assert(std::has_virtual_destructor_v<CWndBase>);
static_assert(std::is_base_of_v<CWndBase, CDlgBase> && std::is_base_of_v<CDlgBase, CWaitDlg>);
static_assert(!std::is_copy_constructible_v<CWndBase> && !std::is_copy_assignable_v<CWndBase>);
static_assert(!std::is_copy_constructible_v<CWaitDlg> && !std::is_copy_assignable_v<CWaitDlg>);

// Spelled here rather than taken from the framework: other code may look for it.
constexpr wchar_t kProperty[] = L"__WND_BASE_CLASS__";

constexpr wchar_t kOwnClass[] = L"VelkastTestOwnProcedure";
constexpr wchar_t kFrameworkClass[] = L"VelkastTestBaseWndProc";
constexpr wchar_t kTitle[] = L"無題";
constexpr LRESULT kTitleLength = 2;

// A message that only the test window class answers, with its own answer.
constexpr UINT kAskTheClass = WM_APP + 1;
constexpr LRESULT kClassAnswer = 0x5A5A;

// Ends a message loop that the test runs.
constexpr UINT kLoopEnd = WM_APP + 2;

LONG_PTR Address(WNDPROC procedure) {
    return reinterpret_cast<LONG_PTR>(procedure);
}

HANDLE PropertyOf(HWND window) {
    return GetPropW(window, kProperty);
}

// ---------------------------------------------------------------------------
// Message names, so that a failing sequence reads as one.

std::string Name(UINT message) {
    switch (message) {
        case WM_NCCREATE:
            return "WM_NCCREATE";
        case WM_CREATE:
            return "WM_CREATE";
        case WM_SETFONT:
            return "WM_SETFONT";
        case WM_INITDIALOG:
            return "WM_INITDIALOG";
        case WM_CLOSE:
            return "WM_CLOSE";
        case WM_DESTROY:
            return "WM_DESTROY";
        case WM_NCDESTROY:
            return "WM_NCDESTROY";
        case WM_GETMINMAXINFO:
            return "WM_GETMINMAXINFO";
        case kAskTheClass:
            return "kAskTheClass";
        default: {
            std::ostringstream text;
            text << "0x" << std::hex << std::uppercase << message;
            return text.str();
        }
    }
}

using Names = std::vector<std::string>;

// The messages of the window's life, in the order they came: the others
// (sizing, activation, painting, ...) differ between systems.
Names Life(const std::vector<UINT>& messages) {
    static const UINT kLife[] = {WM_NCCREATE, WM_CREATE,  WM_SETFONT,   WM_INITDIALOG,
                                 WM_CLOSE,    WM_DESTROY, WM_NCDESTROY, kAskTheClass};
    Names kept;
    for (const UINT message : messages) {
        for (const UINT life : kLife) {
            if (message == life) {
                kept.push_back(Name(message));
            }
        }
    }
    return kept;
}

// ---------------------------------------------------------------------------
// Objects that record what reaches them.

// What BaseWndProc had set up when the first message reached the object.
struct Binding {
    UINT message = 0;
    HWND window = nullptr;
    bool isDialog = false;
    WNDPROC previous = nullptr;
    HANDLE property = nullptr;
    LONG_PTR procedure = 0;  // the slot that fits the kind of window
};

class Recorder : public CWndBase {
public:
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (messages.empty()) {
            first = {message,
                     this->window(),
                     isDialog(),
                     previousProcedure(),
                     PropertyOf(window),
                     GetWindowLongPtrW(window, isDialog() ? DWLP_DLGPROC : GWLP_WNDPROC)};
        }
        messages.push_back(message);
        return CWndBase::OnMessage(window, message, wParam, lParam);
    }

    std::vector<UINT> messages;
    Binding first;
};

// The object was bound at its first message, with BaseWndProc in the slot.
void ExpectBoundAt(const Recorder& recorder,
                   const char* message,
                   HWND window,
                   bool isDialog,
                   WNDPROC previous) {
    EXPECT_EQ(Name(recorder.first.message), message);
    EXPECT_EQ(recorder.first.window, window);
    EXPECT_EQ(recorder.first.isDialog, isDialog);
    EXPECT_EQ(recorder.first.previous, previous);
    EXPECT_EQ(recorder.first.property, &recorder);
    EXPECT_EQ(recorder.first.procedure, Address(BaseWndProc));
}

// A dialog object that writes what reaches its own handler into a log that
// outlives it.
class LoggingDlg : public CDlgBase {
public:
    explicit LoggingDlg(std::vector<UINT>& log) : log_(log) {}
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        log_.push_back(message);
        return CDlgBase::OnMessage(window, message, wParam, lParam);
    }

private:
    std::vector<UINT>& log_;
};

// Throws from its handler for the messages it is given, and handles the
// others by default.
class Thrower : public CWndBase {
public:
    explicit Thrower(std::initializer_list<UINT> thrown) : thrown_(thrown) {}
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        for (const UINT thrown : thrown_) {
            if (message == thrown) {
                thrownAt.push_back(message);
                throw std::runtime_error("handler failed");
            }
        }
        return CWndBase::OnMessage(window, message, wParam, lParam);
    }

    std::vector<UINT> thrownAt;

private:
    std::vector<UINT> thrown_;
};

// ---------------------------------------------------------------------------
// Procedures that the framework replaces, and what they saw.

// The slot and the property as one procedure found them at a message.
struct Seen {
    LONG_PTR procedure = 0;
    HANDLE property = nullptr;
};

struct ReplacedProcedureLog {
    std::vector<UINT> received;                     // every message, whoever sent it on
    std::vector<UINT> passedOn;                     // the messages that the default handling passed on
    std::vector<std::pair<UINT, LRESULT>> answers;  // BaseWndProc's answers, while it was not in the slot
    std::optional<Seen> atDestroy, atNcDestroy;
};

ReplacedProcedureLog g_replaced;

// The replaced procedure found BaseWndProc and the object at WM_DESTROY, and
// its own place back, without the object, at WM_NCDESTROY.
void ExpectPutBackAtDestroy(const Recorder& recorder, WNDPROC own) {
    ASSERT_TRUE(g_replaced.atDestroy && g_replaced.atNcDestroy);
    EXPECT_EQ(g_replaced.atDestroy->procedure, Address(BaseWndProc));
    EXPECT_EQ(g_replaced.atDestroy->property, &recorder);
    EXPECT_EQ(g_replaced.atNcDestroy->procedure, Address(own)) << "put back at WM_DESTROY";
    EXPECT_EQ(g_replaced.atNcDestroy->property, nullptr);
}

// The procedure of the test window class. Until the framework has taken the
// window over, it hands every message to BaseWndProc, as the procedure of a
// class driven by objects would; once BaseWndProc is in GWLP_WNDPROC, the
// messages it receives come from the default handling, and it answers them
// as a window of its own.
LRESULT CALLBACK OwnClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_replaced.received.push_back(message);
    const Seen seen{GetWindowLongPtrW(window, GWLP_WNDPROC), PropertyOf(window)};
    if (message == WM_DESTROY) {
        g_replaced.atDestroy = seen;
    } else if (message == WM_NCDESTROY) {
        g_replaced.atNcDestroy = seen;
    }
    if (seen.procedure != Address(BaseWndProc)) {
        const LRESULT answer = BaseWndProc(window, message, wParam, lParam);
        g_replaced.answers.emplace_back(message, answer);
        return answer;
    }
    g_replaced.passedOn.push_back(message);
    if (message == kAskTheClass) {
        return kClassAnswer;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The same for a dialog procedure: it hands messages to BaseWndProc while it
// is in DWLP_DLGPROC itself, and answers 0 to those passed on to it.
INT_PTR CALLBACK OwnDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    g_replaced.received.push_back(message);
    const Seen seen{GetWindowLongPtrW(dialog, DWLP_DLGPROC), PropertyOf(dialog)};
    if (message == WM_DESTROY) {
        g_replaced.atDestroy = seen;
    } else if (message == WM_NCDESTROY) {
        g_replaced.atNcDestroy = seen;
    }
    if (seen.procedure != Address(BaseWndProc)) {
        const LRESULT answer = BaseWndProc(dialog, message, wParam, lParam);
        g_replaced.answers.emplace_back(message, answer);
        return answer;
    }
    g_replaced.passedOn.push_back(message);
    return 0;
}

// A window procedure put in front of a dialog's, to watch its destruction
// from outside the framework.
struct WatchLog {
    WNDPROC next = nullptr;
    std::vector<UINT> received;
    std::optional<HANDLE> propertyAtNcDestroy;
};

WatchLog g_watch;

LRESULT CALLBACK WatchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_watch.received.push_back(message);
    if (message == WM_NCDESTROY) {
        g_watch.propertyAtNcDestroy = PropertyOf(window);
    }
    return CallWindowProcW(g_watch.next, window, message, wParam, lParam);
}

void Watch(HWND window) {
    g_watch = {};
    g_watch.next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchProcedure)));
}

// ---------------------------------------------------------------------------
// Windows.

// Destroys the window at the end of a test, if the test has not.
class OwnedWindow {
public:
    explicit OwnedWindow(HWND window) : window_(window) {}
    ~OwnedWindow() { Destroy(); }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;

    HWND get() const { return window_; }
    void Destroy() {
        if (window_ != nullptr && IsWindow(window_)) {
            DestroyWindow(window_);
        }
    }

private:
    HWND window_;
};

std::wstring TextOf(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

// Takes the thread's quit message, if it has one, and answers its exit code.
std::optional<WPARAM> TakeQuit() {
    MSG message{};
    if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        return message.wParam;
    }
    return std::nullopt;
}

class WindowFrameworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = testing::VelkastResources();
        for (const auto& [name, procedure] :
             {std::pair{kOwnClass, &OwnClassProcedure}, std::pair{kFrameworkClass, &BaseWndProc}}) {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof(windowClass);
            windowClass.lpfnWndProc = procedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = name;
            registered_ = RegisterClassExW(&windowClass) != 0 && registered_;
        }
    }

    static void TearDownTestSuite() {
        UnregisterClassW(kOwnClass, GetModuleHandleW(nullptr));
        UnregisterClassW(kFrameworkClass, GetModuleHandleW(nullptr));
    }

    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "cannot load " << ::testing::PrintToString(testing::VelkastExePath());
        ASSERT_TRUE(registered_);
        g_replaced = {};
        g_watch = {};
        TakeQuit();
    }

    void TearDown() override { TakeQuit(); }

    static HWND CreateWaitDialog(DLGPROC procedure, const void* object) {
        return CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_WAIT), nullptr, procedure,
                                  reinterpret_cast<LPARAM>(object));
    }

    // A top-level window, hidden: WS_OVERLAPPEDWINDOW makes CreateWindowExW
    // ask for WM_GETMINMAXINFO before WM_NCCREATE.
    static HWND CreateTestWindow(const wchar_t* windowClass, void* object) {
        return CreateWindowExW(0, windowClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200,
                               100, nullptr, nullptr, GetModuleHandleW(nullptr), object);
    }

    static inline HMODULE module_ = nullptr;
    static inline bool registered_ = true;
};

// ---------------------------------------------------------------------------

TEST_F(WindowFrameworkTest, NewObjectsAreUnbound) {
    Recorder recorder;
    CDlgBase dialog;
    CWaitDlg wait;
    for (const CWndBase* object :
         {static_cast<const CWndBase*>(&recorder), static_cast<const CWndBase*>(&dialog),
          static_cast<const CWndBase*>(&wait)}) {
        EXPECT_EQ(object->window(), nullptr);
        EXPECT_FALSE(object->isDialog());
        EXPECT_EQ(object->previousProcedure(), nullptr);
    }
}

TEST_F(WindowFrameworkTest, DialogIsBoundAtInitDialogAndKeepsItsProcedure) {
    Recorder recorder;
    OwnedWindow dialog(CreateWaitDialog(BaseWndProc, &recorder));
    ASSERT_NE(dialog.get(), nullptr) << "error " << GetLastError();

    ExpectBoundAt(recorder, "WM_INITDIALOG", dialog.get(), true, nullptr);

    EXPECT_EQ(recorder.window(), dialog.get());
    EXPECT_TRUE(recorder.isDialog());
    EXPECT_EQ(recorder.previousProcedure(), nullptr);
    EXPECT_EQ(PropertyOf(dialog.get()), &recorder);
    EXPECT_EQ(GetWindowLongPtrW(dialog.get(), DWLP_DLGPROC), Address(BaseWndProc));
    EXPECT_EQ(Life(recorder.messages), Names{"WM_INITDIALOG"}) << "the font came before: no object saw it";

    const HWND handle = dialog.get();
    dialog.Destroy();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(Life(recorder.messages), (Names{"WM_INITDIALOG", "WM_DESTROY"}));
    EXPECT_EQ(recorder.window(), handle) << "the handle value stays";
}

TEST_F(WindowFrameworkTest, DialogOfAnotherProcedureIsAnswered0UntilBoundThenSubclassedAndRestored) {
    Recorder recorder;
    OwnedWindow dialog(CreateWaitDialog(OwnDialogProcedure, &recorder));
    ASSERT_NE(dialog.get(), nullptr) << "error " << GetLastError();

    // The dialog manager sends the template's font before WM_INITDIALOG;
    // BaseWndProc, not yet bound, answered it 0 and no object saw it.
    ASSERT_GE(g_replaced.answers.size(), 2u);
    EXPECT_EQ(Name(g_replaced.answers[0].first), "WM_SETFONT");
    EXPECT_EQ(g_replaced.answers[0].second, 0);
    EXPECT_EQ(Name(g_replaced.answers[1].first), "WM_INITDIALOG");
    EXPECT_EQ(g_replaced.answers[1].second, 0);

    ExpectBoundAt(recorder, "WM_INITDIALOG", dialog.get(), true, &OwnDialogProcedure);
    EXPECT_EQ(GetWindowLongPtrW(dialog.get(), DWLP_DLGPROC), Address(BaseWndProc));

    dialog.Destroy();
    EXPECT_EQ(Life(recorder.messages), (Names{"WM_INITDIALOG", "WM_DESTROY"}));
    EXPECT_EQ(Life(g_replaced.passedOn), (Names{"WM_INITDIALOG", "WM_DESTROY"}))
        << "the default handling passes each message on";
    ExpectPutBackAtDestroy(recorder, &OwnDialogProcedure);
    EXPECT_EQ(g_replaced.answers.back(), std::make_pair(static_cast<UINT>(WM_NCDESTROY), LRESULT{0}));
}

TEST_F(WindowFrameworkTest, WindowOfItsOwnClassIsBoundAtNcCreateSubclassedAndRestored) {
    Recorder recorder;
    OwnedWindow window(CreateTestWindow(kOwnClass, &recorder));
    ASSERT_NE(window.get(), nullptr) << "error " << GetLastError();

    ExpectBoundAt(recorder, "WM_NCCREATE", window.get(), false, &OwnClassProcedure);
    ASSERT_FALSE(g_replaced.answers.empty());
    EXPECT_EQ(Name(g_replaced.received.front()), "WM_GETMINMAXINFO");
    EXPECT_EQ(Name(g_replaced.answers.front().first), "WM_GETMINMAXINFO")
        << "a message before WM_NCCREATE binds nothing";

    EXPECT_EQ(GetWindowLongPtrW(window.get(), GWLP_WNDPROC), Address(BaseWndProc));
    EXPECT_EQ(recorder.previousProcedure(), &OwnClassProcedure);
    EXPECT_EQ(TextOf(window.get()), kTitle) << "the class procedure handled WM_NCCREATE as well";
    EXPECT_EQ(SendMessageW(window.get(), kAskTheClass, 0, 0), kClassAnswer);

    window.Destroy();
    EXPECT_EQ(Life(recorder.messages), (Names{"WM_NCCREATE", "WM_CREATE", "kAskTheClass", "WM_DESTROY"}));
    EXPECT_EQ(Life(g_replaced.passedOn), (Names{"WM_NCCREATE", "WM_CREATE", "kAskTheClass", "WM_DESTROY"}));
    ExpectPutBackAtDestroy(recorder, &OwnClassProcedure);
    EXPECT_EQ(Name(g_replaced.answers.back().first), "WM_NCDESTROY") << "answered unbound";
}

TEST_F(WindowFrameworkTest, WindowOfTheFrameworkClassIsBoundAtNcCreateWithoutSubclassing) {
    Recorder recorder;
    OwnedWindow window(CreateTestWindow(kFrameworkClass, &recorder));
    ASSERT_NE(window.get(), nullptr) << "error " << GetLastError();

    ExpectBoundAt(recorder, "WM_NCCREATE", window.get(), false, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(window.get(), GWLP_WNDPROC), Address(BaseWndProc));
    EXPECT_EQ(TextOf(window.get()), kTitle) << "DefWindowProcW handled WM_NCCREATE";
    EXPECT_EQ(SendMessageW(window.get(), WM_GETTEXTLENGTH, 0, 0), kTitleLength);

    window.Destroy();
    EXPECT_EQ(Life(recorder.messages), (Names{"WM_NCCREATE", "WM_CREATE", "WM_DESTROY"}))
        << "the property is gone before WM_NCDESTROY";
}

TEST_F(WindowFrameworkTest, WithoutAnObjectAWindowIsNeverBound) {
    struct Case {
        const wchar_t* windowClass;
        WNDPROC procedure;
    };
    for (const Case& c : {Case{kOwnClass, OwnClassProcedure}, Case{kFrameworkClass, BaseWndProc}}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.windowClass)));
        OwnedWindow window(CreateTestWindow(c.windowClass, nullptr));
        ASSERT_NE(window.get(), nullptr) << "WM_NCCREATE must be answered as DefWindowProcW does";
        EXPECT_EQ(TextOf(window.get()), kTitle);
        EXPECT_EQ(SendMessageW(window.get(), WM_GETTEXTLENGTH, 0, 0), kTitleLength);
        EXPECT_EQ(PropertyOf(window.get()), nullptr);
        EXPECT_EQ(GetWindowLongPtrW(window.get(), GWLP_WNDPROC), Address(c.procedure));
    }

    OwnedWindow dialog(CreateWaitDialog(BaseWndProc, nullptr));
    ASSERT_NE(dialog.get(), nullptr);
    EXPECT_EQ(PropertyOf(dialog.get()), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(dialog.get(), DWLP_DLGPROC), Address(BaseWndProc));
}

TEST_F(WindowFrameworkTest, UnboundMessagesGetTheAnswerOfTheirKindOfWindow) {
    Recorder stray;
    OwnedWindow window(CreateTestWindow(kFrameworkClass, nullptr));
    OwnedWindow dialog(CreateWaitDialog(BaseWndProc, nullptr));
    ASSERT_NE(window.get(), nullptr);
    ASSERT_NE(dialog.get(), nullptr);
    const auto strayAddress = reinterpret_cast<LPARAM>(&stray);

    struct Case {
        const char* name;
        HWND target;
        UINT message;
        LPARAM lParam;
        LRESULT expected;
    };
    const Case cases[] = {
        {"window: DefWindowProcW's answer", window.get(), WM_GETTEXTLENGTH, 0, kTitleLength},
        {"dialog: 0, whatever the message", dialog.get(), WM_GETTEXTLENGTH, 0, 0},
        {"dialog: the font", dialog.get(), WM_SETFONT, 0, 0},
        {"window: WM_INITDIALOG without an object", window.get(), WM_INITDIALOG, 0, 0},
        {"dialog: an object with another message", dialog.get(), WM_USER, strayAddress, 0},
        {"window: an object with another message", window.get(), WM_USER, strayAddress, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BaseWndProc(c.target, c.message, 0, c.lParam), c.expected);
        EXPECT_EQ(PropertyOf(c.target), nullptr);
    }
    EXPECT_EQ(stray.window(), nullptr);
    EXPECT_TRUE(stray.messages.empty());
}

TEST_F(WindowFrameworkTest, WaitDlgHandlesEveryMessageWithoutTheDefaultHandling) {
    CWaitDlg wait;
    CWndBase plain;
    OwnedWindow window(CreateTestWindow(kFrameworkClass, nullptr));
    ASSERT_NE(window.get(), nullptr);

    // Neither object is bound: the default handling would be DefWindowProcW's.
    EXPECT_EQ(plain.OnMessage(window.get(), WM_GETTEXTLENGTH, 0, 0), kTitleLength);
    EXPECT_EQ(wait.OnMessage(window.get(), WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(wait.OnMessage(window.get(), WM_NCHITTEST, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window.get()));
    EXPECT_FALSE(TakeQuit());
}

TEST_F(WindowFrameworkTest, ClosingTheWaitDlgDestroysItAndEndsTheMessageLoop) {
    struct Case {
        const char* name;
        bool posted;  // through the thread's message loop, as the program closes it
    };
    for (const Case& c : {Case{"sent", false}, Case{"posted", true}}) {
        SCOPED_TRACE(c.name);
        auto wait = std::make_unique<CWaitDlg>();
        const HWND dialog = CreateWaitDialog(BaseWndProc, wait.get());
        ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
        EXPECT_TRUE(IsWindowVisible(dialog)) << "visible from creation";
        EXPECT_EQ(wait->window(), dialog);
        EXPECT_TRUE(wait->isDialog());
        Watch(dialog);

        std::optional<WPARAM> quit;
        if (!c.posted) {
            EXPECT_EQ(SendMessageW(dialog, WM_CLOSE, 0, 0), 0);
        } else {
            ASSERT_TRUE(PostMessageW(dialog, WM_CLOSE, 0, 0));
            ASSERT_TRUE(PostMessageW(nullptr, kLoopEnd, 0, 0));
            MSG message{};
            for (BOOL got; (got = GetMessageW(&message, nullptr, 0, 0)) != -1;) {
                if (got == 0) {
                    quit = message.wParam;
                    break;
                }
                if (message.hwnd == nullptr && message.message == kLoopEnd) {
                    break;
                }
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        if (!quit) {
            quit = TakeQuit();
        }

        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(Life(g_watch.received), (Names{"WM_CLOSE", "WM_DESTROY", "WM_NCDESTROY"}));
        ASSERT_TRUE(g_watch.propertyAtNcDestroy.has_value());
        EXPECT_EQ(*g_watch.propertyAtNcDestroy, nullptr);
        ASSERT_TRUE(quit.has_value()) << "WM_DESTROY posts the quit message";
        EXPECT_EQ(*quit, 0u);

        wait.reset();
        EXPECT_FALSE(TakeQuit()) << "one quit message only";
    }
}

TEST_F(WindowFrameworkTest, DeletingALiveDialogObjectDestroysItsWindowThroughTheBaseHandler) {
    std::vector<UINT> log;
    struct Case {
        const char* name;
        std::function<std::unique_ptr<CWndBase>()> make;
    };
    const Case cases[] = {
        {"CDlgBase", [] { return std::make_unique<CDlgBase>(); }},
        {"CWaitDlg", [] { return std::make_unique<CWaitDlg>(); }},
        {"a logging dialog", [&log] { return std::make_unique<LoggingDlg>(log); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CWndBase> object = c.make();
        const HWND dialog = CreateWaitDialog(BaseWndProc, object.get());
        ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
        ASSERT_EQ(PropertyOf(dialog), object.get());
        Watch(dialog);
        const std::size_t logged = log.size();

        object.reset();

        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(Life(g_watch.received), (Names{"WM_DESTROY", "WM_NCDESTROY"}));
        ASSERT_TRUE(g_watch.propertyAtNcDestroy.has_value());
        EXPECT_EQ(*g_watch.propertyAtNcDestroy, nullptr) << "WM_DESTROY reached the object being deleted";
        EXPECT_EQ(log.size(), logged) << "the derived handler is gone before the window";
        EXPECT_FALSE(TakeQuit()) << "the wait dialog's own WM_DESTROY did not run";
    }
    EXPECT_EQ(Life(log), Names{"WM_INITDIALOG"});
}

TEST_F(WindowFrameworkTest, DeletingAWindowObjectLeavesTheWindowAlone) {
    auto recorder = std::make_unique<Recorder>();
    OwnedWindow dialog(CreateWaitDialog(BaseWndProc, recorder.get()));
    ASSERT_NE(dialog.get(), nullptr);
    // Let go of the window by hand, so that no message reaches the deleted object.
    RemovePropW(dialog.get(), kProperty);

    recorder.reset();

    EXPECT_TRUE(IsWindow(dialog.get()));
    EXPECT_EQ(GetWindowLongPtrW(dialog.get(), DWLP_DLGPROC), Address(BaseWndProc));
}

TEST_F(WindowFrameworkTest, AnExceptionFromAHandlerIsAnsweredByDefaultAndTheWindowStillLetsGo) {
    Thrower thrower({WM_NCCREATE, WM_GETTEXTLENGTH, WM_DESTROY});
    OwnedWindow window(CreateTestWindow(kOwnClass, &thrower));
    ASSERT_NE(window.get(), nullptr) << "WM_NCCREATE answered as DefWindowProcW does";
    EXPECT_EQ(thrower.window(), window.get()) << "bound before the handler threw";
    EXPECT_EQ(SendMessageW(window.get(), WM_GETTEXTLENGTH, 0, 0), kTitleLength);

    window.Destroy();
    EXPECT_EQ(Life(thrower.thrownAt), (Names{"WM_NCCREATE", "WM_DESTROY"}));
    EXPECT_NE(std::find(thrower.thrownAt.begin(), thrower.thrownAt.end(), WM_GETTEXTLENGTH),
              thrower.thrownAt.end());
    ASSERT_TRUE(g_replaced.atNcDestroy.has_value());
    EXPECT_EQ(g_replaced.atNcDestroy->procedure, Address(OwnClassProcedure));
    EXPECT_EQ(g_replaced.atNcDestroy->property, nullptr);

    Thrower dialogThrower({WM_GETTEXTLENGTH});
    OwnedWindow dialog(CreateWaitDialog(BaseWndProc, &dialogThrower));
    ASSERT_NE(dialog.get(), nullptr);
    EXPECT_EQ(BaseWndProc(dialog.get(), WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(dialogThrower.thrownAt.back(), static_cast<UINT>(WM_GETTEXTLENGTH));
}

}  // namespace
}  // namespace velkast
