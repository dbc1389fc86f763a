// The resources compiled into Velkast.exe: the two dialogs as the dialog
// manager creates them and as their templates are stored, the manifest and the
// icon. The test reads them from the built executable, loaded as a data file;
// its path, relative to this test program, comes from the build.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "VelkastResources.h"
#include "resource.h"

namespace velkast {
namespace {

// ---------------------------------------------------------------------------
// What the dialogs must hold.

struct Box {
    int x, y, cx, cy;  // dialog units
};

struct ControlCase {
    int id;
    const wchar_t* windowClass;  // as GetClassNameW reports it
    const wchar_t* text;
    DWORD style;  // the template's style less WS_CHILD | WS_VISIBLE, which every control has
    Box box;
};

struct DialogCase {
    const char* name;
    int id;
    DWORD style;
    int cx, cy;
    const wchar_t* face;
    WORD points;
    std::vector<ControlCase> controls;  // in template order
};

constexpr DWORD kStaticText = WS_GROUP;  // every static text of the copy dialog starts a group

const DialogCase kDialogs[] = {
    {"copy",
     IDD_COPY,
     WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
     231,
     151,
     L"ＭＳ Ｐゴシック",
     9,
     {
         {IDC_START, L"Button", L"開始", BS_DEFPUSHBUTTON | WS_TABSTOP, {33, 125, 66, 22}},
         {IDC_EXIT, L"Button", L"終了", BS_PUSHBUTTON | WS_TABSTOP, {131, 125, 66, 22}},
         {IDC_TARGET_FOLDER, L"Edit", L"", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, {10, 34, 205, 13}},
         {IDC_PROGRESS, L"msctls_progress32", L"", PBS_SMOOTH | WS_BORDER, {10, 104, 191, 14}},
         {IDC_HEADING, L"Static", L"ファイルをコピーします", SS_CENTER | kStaticText, {75, 7, 84, 12}},
         {-1, L"Static", L"コピー先フォルダ名", SS_CENTER | kStaticText, {4, 21, 58, 12}},
         {-1, L"Static", L"コピー中のファイル名", SS_CENTER | kStaticText, {6, 56, 65, 12}},
         {-1, L"Static", L"転送済みバイト数 / 総バイト数", SS_CENTER | kStaticText, {6, 79, 93, 8}},
         {IDC_FILE_NAME, L"Static", L"", SS_RIGHT | kStaticText, {8, 66, 207, 10}},
         {IDC_TOTAL_BYTES, L"Static", L"byte", SS_RIGHT | kStaticText, {120, 90, 95, 10}},
         {-1, L"Static", L"byte / ", SS_LEFT | kStaticText, {102, 90, 20, 10}},
         {IDC_COPIED_BYTES, L"Static", L"", SS_RIGHT | kStaticText, {7, 90, 95, 10}},
         {IDC_PERCENT, L"Static", L"0 %", SS_CENTER | SS_CENTERIMAGE | kStaticText, {201, 105, 28, 11}},
     }},
    {"wait",
     IDD_WAIT,
     WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
     156,
     54,
     L"MS UI Gothic",
     16,
     {
         {-1, L"Static", L"ファイルをコピーするための準備をしています", SS_CENTER, {0, 14, 156, 8}},
         {-1, L"Static", L"※環境によっては時間がかかる場合がございます", SS_CENTER, {0, 33, 156, 8}},
     }},
};

// ---------------------------------------------------------------------------
// Velkast.exe, loaded for its resources only.

class ResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = testing::VelkastResources();
        ASSERT_NE(module_, nullptr) << "cannot load " << ::testing::PrintToString(testing::VelkastExePath())
                                    << ", error " << GetLastError();
    }

    void SetUp() override { ASSERT_NE(module_, nullptr); }

    // The bytes of one resource, empty when there is none.
    static std::string Bytes(const wchar_t* type, const wchar_t* name) {
        const HRSRC found = FindResourceW(module_, name, type);
        if (found == nullptr) {
            return {};
        }
        const HGLOBAL loaded = LoadResource(module_, found);
        const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (data == nullptr) {
            return {};
        }
        return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
    }

    static inline HMODULE module_ = nullptr;
};

// ---------------------------------------------------------------------------
// The dialogs as created.

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class Dialog {
public:
    Dialog(HMODULE module, int id)
        : window_(CreateDialogParamW(module, MAKEINTRESOURCEW(id), nullptr, PassiveDialogProc, 0)) {}
    ~Dialog() {
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
    }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    HWND get() const { return window_; }

private:
    HWND window_;
};

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A box in dialog units as the dialog's pixels. The dialog manager converts
// the position and the size each on its own, so the far edges are the sums.
RECT Pixels(HWND dialog, const Box& box) {
    RECT mapped{box.x, box.y, box.cx, box.cy};
    MapDialogRect(dialog, &mapped);
    return {mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
}

void ExpectRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

// The style bits that the controls keep as the template gives them, all but
// WS_BORDER: the dialog manager draws a control's border as a sunken edge
// (WS_EX_CLIENTEDGE) instead, and the progress bar draws a frame of its own,
// whose bits depend on the version of the common controls. The template test
// holds the stored WS_BORDER of both.
constexpr DWORD kKeptStyle = 0xFFFF | WS_TABSTOP | WS_GROUP | WS_CHILD | WS_VISIBLE;

bool HasBorder(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & WS_BORDER) != 0 ||
           (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
}

TEST_F(ResourcesTest, DialogsCreateAsLaidOut) {
    for (const auto& dialogCase : kDialogs) {
        SCOPED_TRACE(dialogCase.name);
        const Dialog dialog(module_, dialogCase.id);
        ASSERT_NE(dialog.get(), nullptr) << "error " << GetLastError();
        const HWND window = dialog.get();

        EXPECT_EQ(WindowText(window), L"Update");
        const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
        EXPECT_EQ(style & WS_POPUP, static_cast<DWORD>(WS_POPUP));
        EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
        EXPECT_EQ(style & WS_SYSMENU, 0u) << "no close box";
        EXPECT_EQ(style & WS_VISIBLE, dialogCase.style & WS_VISIBLE);

        RECT client{};
        GetClientRect(window, &client);
        ExpectRect(client, Pixels(window, {0, 0, dialogCase.cx, dialogCase.cy}));

        std::vector<HWND> children;
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
        }
        ASSERT_EQ(children.size(), dialogCase.controls.size());

        for (size_t i = 0; i < children.size(); ++i) {
            const ControlCase& expected = dialogCase.controls[i];
            const HWND child = children[i];
            SCOPED_TRACE(::testing::Message() << "control " << i << " (id " << expected.id << ")");

            EXPECT_EQ(GetDlgCtrlID(child), expected.id);
            EXPECT_EQ(ClassName(child), expected.windowClass);
            EXPECT_EQ(WindowText(child), expected.text);

            const auto childStyle = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
            EXPECT_EQ(childStyle & kKeptStyle, (expected.style & kKeptStyle) | WS_CHILD | WS_VISIBLE)
                << std::hex << "style 0x" << childStyle;
            if (std::wstring(expected.windowClass) != PROGRESS_CLASSW) {
                EXPECT_EQ(HasBorder(child), (expected.style & WS_BORDER) != 0);
            }

            RECT rect{};
            GetWindowRect(child, &rect);
            MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
            ExpectRect(rect, Pixels(window, expected.box));
        }
    }
}

// ---------------------------------------------------------------------------
// The dialogs as stored: DIALOGEX templates, read field by field.

class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }

    WORD Word() { return Read<WORD>(); }
    DWORD Dword() { return Read<DWORD>(); }
    short Short() { return Read<short>(); }
    BYTE Byte() { return Read<BYTE>(); }

    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); ok_ && c != 0; c = Word()) {
            text += static_cast<wchar_t>(c);
        }
        return text;
    }

    // A name or a number: none, 0xFFFF then an ordinal, or a string.
    std::wstring NameOrOrdinal() {
        const WORD first = Word();
        if (first == 0) {
            return {};
        }
        if (first == 0xFFFF) {
            return L"#" + std::to_wstring(Word());
        }
        return static_cast<wchar_t>(first) + String();
    }

    void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
    void Skip(size_t count) {
        offset_ += count;
        ok_ = ok_ && offset_ <= bytes_.size();
    }

private:
    template <typename T>
    T Read() {
        T value{};
        if (offset_ + sizeof(T) > bytes_.size()) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    const std::string& bytes_;
    size_t offset_ = 0;
    bool ok_ = true;
};

struct TemplateItem {
    DWORD exStyle;
    DWORD style;
    Box box;
    int id;
    std::wstring windowClass;
    std::wstring text;
};

struct DialogTemplate {
    DWORD exStyle;
    DWORD style;
    Box box;
    std::wstring menu, windowClass, title;
    WORD points, weight;
    BYTE italic, charset;
    std::wstring face;
    std::vector<TemplateItem> items;
};

std::optional<DialogTemplate> ParseDialogEx(const std::string& bytes) {
    TemplateReader in(bytes);
    if (in.Word() != 1 || in.Word() != 0xFFFF) {
        return std::nullopt;  // not a DIALOGEX
    }
    DialogTemplate dialog{};
    in.Dword();  // help id
    dialog.exStyle = in.Dword();
    dialog.style = in.Dword();
    const WORD count = in.Word();
    dialog.box.x = in.Short();
    dialog.box.y = in.Short();
    dialog.box.cx = in.Short();
    dialog.box.cy = in.Short();
    dialog.menu = in.NameOrOrdinal();
    dialog.windowClass = in.NameOrOrdinal();
    dialog.title = in.String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.points = in.Word();
        dialog.weight = in.Word();
        dialog.italic = in.Byte();
        dialog.charset = in.Byte();
        dialog.face = in.String();
    }
    for (WORD i = 0; i < count && in.ok(); ++i) {
        in.AlignToDword();
        TemplateItem item{};
        in.Dword();  // help id
        item.exStyle = in.Dword();
        item.style = in.Dword();
        item.box.x = in.Short();
        item.box.y = in.Short();
        item.box.cx = in.Short();
        item.box.cy = in.Short();
        item.id = static_cast<int>(in.Dword());
        item.windowClass = in.NameOrOrdinal();
        item.text = in.NameOrOrdinal();
        in.Skip(in.Word());  // creation data
        dialog.items.push_back(item);
    }
    if (!in.ok()) {
        return std::nullopt;
    }
    return dialog;
}

// The predefined classes that a template names by number.
std::wstring TemplateClassName(const std::wstring& stored) {
    static const std::pair<const wchar_t*, const wchar_t*> ordinals[] = {
        {L"#128", L"Button"},  {L"#129", L"Edit"},      {L"#130", L"Static"},
        {L"#131", L"ListBox"}, {L"#132", L"ScrollBar"}, {L"#133", L"ComboBox"},
    };
    for (const auto& [ordinal, name] : ordinals) {
        if (stored == ordinal) {
            return name;
        }
    }
    return stored;
}

TEST_F(ResourcesTest, DialogTemplatesHoldFontAndStyles) {
    for (const auto& dialogCase : kDialogs) {
        SCOPED_TRACE(dialogCase.name);
        const auto bytes = Bytes(MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(dialogCase.id));
        ASSERT_FALSE(bytes.empty());
        const auto dialog = ParseDialogEx(bytes);
        ASSERT_TRUE(dialog.has_value()) << "not a well-formed DIALOGEX template";

        EXPECT_EQ(dialog->style, dialogCase.style) << std::hex << "style 0x" << dialog->style;
        EXPECT_EQ(dialog->exStyle, 0u);
        EXPECT_EQ(dialog->box.x, 0);
        EXPECT_EQ(dialog->box.y, 0);
        EXPECT_EQ(dialog->box.cx, dialogCase.cx);
        EXPECT_EQ(dialog->box.cy, dialogCase.cy);
        EXPECT_EQ(dialog->menu, L"");
        EXPECT_EQ(dialog->windowClass, L"");
        EXPECT_EQ(dialog->title, L"Update");
        EXPECT_EQ(dialog->face, dialogCase.face);
        EXPECT_EQ(dialog->points, dialogCase.points);
        EXPECT_EQ(dialog->charset, SHIFTJIS_CHARSET);
        EXPECT_EQ(dialog->weight, 0);
        EXPECT_EQ(dialog->italic, 0);

        ASSERT_EQ(dialog->items.size(), dialogCase.controls.size());
        for (size_t i = 0; i < dialog->items.size(); ++i) {
            const ControlCase& expected = dialogCase.controls[i];
            const TemplateItem& item = dialog->items[i];
            SCOPED_TRACE(::testing::Message() << "item " << i << " (id " << expected.id << ")");
            EXPECT_EQ(item.id, expected.id);
            EXPECT_EQ(CompareStringOrdinal(TemplateClassName(item.windowClass).c_str(), -1,
                                           expected.windowClass, -1, TRUE),
                      CSTR_EQUAL)
                << ::testing::PrintToString(item.windowClass);
            EXPECT_EQ(item.text, expected.text);
            EXPECT_EQ(item.style, expected.style | WS_CHILD | WS_VISIBLE)
                << std::hex << "style 0x" << item.style;
            EXPECT_EQ(item.exStyle, 0u);
            EXPECT_EQ(item.box.x, expected.box.x);
            EXPECT_EQ(item.box.y, expected.box.y);
            EXPECT_EQ(item.box.cx, expected.box.cx);
            EXPECT_EQ(item.box.cy, expected.box.cy);
        }
    }
}

// ---------------------------------------------------------------------------
// The manifest and the icon.

// Every resource of a type, one entry for each name and language, in the
// order of the resource directory (the order in which Explorer looks).
using NamedResource = std::pair<std::wstring, LANGID>;

std::wstring ResourceName(LPCWSTR name) {
    return IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name))
                                : std::wstring(name);
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<NamedResource>*>(found)->emplace_back(ResourceName(name), language);
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
    EnumResourceLanguagesW(module, type, name, AddLanguage, found);
    return TRUE;
}

std::vector<NamedResource> ResourcesOfType(HMODULE module, const wchar_t* type) {
    std::vector<NamedResource> found;
    EnumResourceNamesW(module, type, AddName, reinterpret_cast<LONG_PTR>(&found));
    return found;
}

TEST_F(ResourcesTest, OneManifestAskingForAdministratorOnly) {
    const auto manifests = ResourcesOfType(module_, MAKEINTRESOURCEW(24) /* RT_MANIFEST */);
    ASSERT_EQ(manifests.size(), 1u) << "the toolchain's default manifest must not be linked in as well";
    EXPECT_EQ(manifests[0].first, L"#1");  // CREATEPROCESS_MANIFEST_RESOURCE_ID

    const std::string manifest = Bytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\""),
              std::string::npos)
        << manifest;
    for (const char* absent : {"<dependency", "dpiAware", "dpiAwareness", "<compatibility", "<application"}) {
        EXPECT_EQ(manifest.find(absent), std::string::npos) << absent;
    }
}

TEST_F(ResourcesTest, IconHoldsThreeSizes) {
    const auto groups = ResourcesOfType(module_, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
    ASSERT_FALSE(groups.empty());
    EXPECT_EQ(groups[0].first, L"#" + std::to_wstring(IDI_VELKAST)) << "the icon Explorer shows";

    const std::string group = Bytes(MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(IDI_VELKAST));
    ASSERT_GE(group.size(), 6u);
    auto* directory = reinterpret_cast<BYTE*>(const_cast<char*>(group.data()));
    for (const int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        const int iconId = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(iconId, 0);
        std::string image = Bytes(MAKEINTRESOURCEW(3) /* RT_ICON */, MAKEINTRESOURCEW(iconId));
        ASSERT_FALSE(image.empty());
        const HICON icon =
            CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()), static_cast<DWORD>(image.size()),
                                     TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

}  // namespace
}  // namespace velkast
