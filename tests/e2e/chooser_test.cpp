// The network line chooser, driven from outside as a user would: its template as built
// into the program, the state it opens with for what is stored, what confirming stores
// (exact types and bytes), the keys it ignores, its translucency, and the two ways it
// opens: F4 in the player window and the remind flag at start.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "client_fixture.h"
#include "e2e/handle.h"
#include "e2e/message_box.h"
#include "e2e/screen.h"
#include "e2e/text.h"

namespace e2e {
namespace {

constexpr wchar_t kChooserCaption[] = L"\u9009\u62E9\u7F51\u7EDC\u7C7B\u578B";  // 选择网络类型
constexpr wchar_t kAutoText[] = L"\u81EA\u52A8";                                // 自动
constexpr wchar_t kTelecomText[] = L"\u7535\u4FE1";                             // 电信
constexpr wchar_t kUnicomText[] = L"\u8054\u901A";                              // 联通
// 不再提示 (快捷键 F4 可以重新选择网络类型)
constexpr wchar_t kNoRemindText[] =
    L"\u4E0D\u518D\u63D0\u793A (\u5FEB\u6377\u952E F4 \u53EF\u4EE5\u91CD\u65B0\u9009\u62E9\u7F51\u7EDC\u7C7B\u578B)";
constexpr wchar_t kConfirmText[] = L"\u786E\u8BA4";  // 确认
// 请选择网络类型以便您能更好地使用我们的产品
constexpr wchar_t kPromptText[] =
    L"\u8BF7\u9009\u62E9\u7F51\u7EDC\u7C7B\u578B\u4EE5\u4FBF\u60A8\u80FD\u66F4\u597D\u5730\u4F7F\u7528\u6211\u4EEC"
    L"\u7684\u4EA7\u54C1";

constexpr int kRadioAuto = 1001;
constexpr int kRadioTelecom = 1002;
constexpr int kRadioUnicom = 1003;
constexpr int kCheckNoRemind = 1004;
constexpr int kRadios[] = {kRadioAuto, kRadioTelecom, kRadioUnicom};

constexpr wchar_t kSelectedServer[] = L"SelectedServer";
constexpr wchar_t kRemindServerSelect[] = L"RemindServerSelect";

// A text as a string value holds it: UTF-16LE with its terminating NUL.
std::vector<BYTE> StoredBytes(std::wstring_view text) {
    std::vector<BYTE> bytes;
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// ---------------------------------------------------------------------------------------
// The template as the program carries it.

struct TemplateItem {
    DWORD helpId = 0, exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::int32_t id = 0;
    std::wstring className;  // a predefined class by its name
    std::wstring text;
    WORD extraBytes = 0;
};

struct DialogTemplate {
    WORD version = 0, signature = 0;
    DWORD helpId = 0, exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, windowClass, caption;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::wstring face;
    std::vector<TemplateItem> items;
};

// Reads the documented extended dialog template layout.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }

    template <typename T>
    T Read() {
        T value{};
        if (offset_ + sizeof(T) > size_) {
            ok_ = false;
            return value;
        }
        memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    std::wstring Text() {
        std::wstring text;
        for (wchar_t unit = Read<wchar_t>(); ok_ && unit != 0; unit = Read<wchar_t>()) text += unit;
        return text;
    }
    // A name or an ordinal; the predefined control classes come back by their names in
    // lower case.
    std::wstring ClassNameOrOrdinal() {
        std::wstring name = NameOrOrdinal();
        for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
        return name;
    }
    std::wstring NameOrOrdinal() {
        const WORD first = Read<WORD>();
        if (first == 0) return {};
        if (first == 0xFFFF) {
            switch (const WORD ordinal = Read<WORD>()) {
                case 0x0080: return L"button";
                case 0x0081: return L"edit";
                case 0x0082: return L"static";
                default: return L"#" + std::to_wstring(ordinal);
            }
        }
        offset_ -= sizeof(WORD);
        return Text();
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }

private:
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

std::optional<DialogTemplate> ParseTemplate(const BYTE* data, size_t size) {
    TemplateReader in(data, size);
    DialogTemplate t;
    t.version = in.Read<WORD>();
    t.signature = in.Read<WORD>();
    t.helpId = in.Read<DWORD>();
    t.exStyle = in.Read<DWORD>();
    t.style = in.Read<DWORD>();
    const WORD count = in.Read<WORD>();
    t.x = in.Read<short>();
    t.y = in.Read<short>();
    t.cx = in.Read<short>();
    t.cy = in.Read<short>();
    t.menu = in.NameOrOrdinal();
    t.windowClass = in.ClassNameOrOrdinal();
    t.caption = in.Text();
    if (t.style & DS_SETFONT) {
        t.pointSize = in.Read<WORD>();
        t.weight = in.Read<WORD>();
        t.italic = in.Read<BYTE>();
        t.charset = in.Read<BYTE>();
        t.face = in.Text();
    }
    for (WORD i = 0; i < count && in.ok(); ++i) {
        in.AlignToDword();
        TemplateItem item;
        item.helpId = in.Read<DWORD>();
        item.exStyle = in.Read<DWORD>();
        item.style = in.Read<DWORD>();
        item.x = in.Read<short>();
        item.y = in.Read<short>();
        item.cx = in.Read<short>();
        item.cy = in.Read<short>();
        item.id = in.Read<std::int32_t>();
        item.className = in.ClassNameOrOrdinal();
        item.text = in.NameOrOrdinal();
        item.extraBytes = in.Read<WORD>();
        t.items.push_back(item);
    }
    if (!in.ok()) return std::nullopt;
    return t;
}

std::vector<LANGID> ResourceLanguages(HMODULE module, const wchar_t* type, const wchar_t* name) {
    std::vector<LANGID> languages;
    EnumResourceLanguagesW(
        module, type, name,
        [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context) -> BOOL {
            reinterpret_cast<std::vector<LANGID>*>(context)->push_back(language);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

TEST(ChooserTemplateTest, Template130IsChineseWithTheSixControlsAsDesigned) {
    UniqueModule exe(LoadLibraryExW(clientExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(exe) << "cannot open " << clientExe().string();
    const LANGID chinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    EXPECT_EQ(ResourceLanguages(exe.get(), RT_DIALOG, MAKEINTRESOURCEW(130)), std::vector<LANGID>{chinesePrc});
    HRSRC found = FindResourceExW(exe.get(), RT_DIALOG, MAKEINTRESOURCEW(130), chinesePrc);
    ASSERT_TRUE(found);
    HGLOBAL loaded = LoadResource(exe.get(), found);
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    ASSERT_TRUE(bytes);
    const auto parsed = ParseTemplate(bytes, SizeofResource(exe.get(), found));
    ASSERT_TRUE(parsed) << "not a complete extended dialog template";
    const DialogTemplate& t = *parsed;

    EXPECT_EQ(t.version, 1);
    EXPECT_EQ(t.signature, 0xFFFF);
    EXPECT_EQ(t.helpId, 0u);
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.style, 0x80C000C8u) << "WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS";
    EXPECT_EQ((std::vector<short>{t.x, t.y, t.cx, t.cy}), (std::vector<short>{0, 0, 196, 85}));
    EXPECT_EQ(t.menu, L"");
    EXPECT_EQ(t.windowClass, L"");
    EXPECT_EQ(t.caption, kChooserCaption);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.weight, 400);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, 1);
    EXPECT_EQ(t.face, L"MS Shell Dlg");

    const struct {
        std::int32_t id;
        const wchar_t* className;
        DWORD style;
        const wchar_t* text;
        short x, y, cx, cy;
    } expected[] = {
        {kRadioAuto, L"button", 0x50000009, kAutoText, 14, 26, 32, 10},
        {kRadioTelecom, L"button", 0x50000009, kTelecomText, 80, 26, 32, 10},
        {kRadioUnicom, L"button", 0x50000009, kUnicomText, 146, 26, 32, 10},
        {kCheckNoRemind, L"button", 0x50010003, kNoRemindText, 14, 46, 171, 10},
        {IDOK, L"button", 0x50010001, kConfirmText, 126, 65, 50, 14},
        {-1, L"static", 0x50020000, kPromptText, 14, 7, 168, 8},
    };
    ASSERT_EQ(t.items.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        const TemplateItem& item = t.items[i];
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.className, expected[i].className);
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.text, expected[i].text);
        EXPECT_EQ((std::vector<short>{item.x, item.y, item.cx, item.cy}),
                  (std::vector<short>{expected[i].x, expected[i].y, expected[i].cx, expected[i].cy}));
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.extraBytes, 0);
    }
}

// ---------------------------------------------------------------------------------------
// The running chooser.

// Runs of the client with the settings key as each test plants it; the key is gone before
// and after every test, so that no remind flag of ours opens the chooser in other tests.
class ChooserTest : public ClientRun {
protected:
    void SetUp() override { ASSERT_TRUE(deleteTree(kSettingsKey)); }
    void TearDown() override { deleteTree(kSettingsKey); }

    static void Plant(const wchar_t* name, std::wstring_view text) {
        ASSERT_TRUE(writeText(kSettingsKey, name, text));
    }

    HWND WaitForChooser(std::chrono::milliseconds timeout = 10s) const {
        return waitForWindow(process_->pid(), kDialogClass, kChooserCaption, timeout);
    }

    // F4 in the player window, as the user presses it.
    HWND OpenByF4() {
        EXPECT_TRUE(pressChord(standin_, {keys::f4}));
        return WaitForChooser();
    }

    // Whether the mouse would reach the control now: a window that has just been shown is
    // not always hit-tested at once under Wine (a layered one in particular).
    static bool ReachableByMouse(HWND control, std::chrono::milliseconds timeout = 3s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            RECT r{};
            GetWindowRect(control, &r);
            if (WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}) == control) return true;
            if (std::chrono::steady_clock::now() >= deadline) return false;
            Sleep(20);
        }
    }

    // A mouse click on a control of the chooser, once the mouse can reach it.
    static bool Click(HWND chooser, int id) {
        HWND control = GetDlgItem(chooser, id);
        return ReachableByMouse(control) && clickCentre(control);
    }

    // Confirms with a mouse click on 确认; true once the chooser has gone.
    static bool Confirm(HWND chooser) {
        HWND button = GetDlgItem(chooser, IDOK);
        return ReachableByMouse(button) && pressButton(button) == Pressed::byMouse;
    }

    static bool GoneWithin(HWND window, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (IsWindow(window) && IsWindowVisible(window)) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            Sleep(20);
        }
        return true;
    }

    static LRESULT CheckState(HWND chooser, int id) {
        DWORD_PTR state = 0;
        if (!SendMessageTimeoutW(GetDlgItem(chooser, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state))
            return -1;
        return static_cast<LRESULT>(state);
    }

    // Which radio buttons report checked, in id order.
    static std::vector<int> CheckedRadios(HWND chooser) {
        std::vector<int> checked;
        for (int id : kRadios)
            if (CheckState(chooser, id) == BST_CHECKED) checked.push_back(id);
        return checked;
    }

    static HWND FocusOf(HWND window) {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
    }

    static std::string Name(HWND window) {
        if (!window) return "no window";
        const WindowInfo info = describe(window);
        return narrow(info.className) + " " + std::to_string(info.id) + " \"" + narrow(info.text) + "\"";
    }

    // Presses Tab until the control has the focus; false when it never gets it.
    static bool TabTo(HWND chooser, int id) {
        for (int press = 0; press < 6; ++press) {
            if (FocusOf(chooser) == GetDlgItem(chooser, id)) return true;
            if (!pressChord(chooser, {keys::tab})) return false;
        }
        return FocusOf(chooser) == GetDlgItem(chooser, id);
    }

    static void ExpectStored(const wchar_t* name, std::wstring_view text) {
        const auto value = readValue(kSettingsKey, name);
        ASSERT_TRUE(value) << "no value " << narrow(name);
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << narrow(name);
        EXPECT_EQ(value->data, StoredBytes(text)) << narrow(name) << " holds \"" << narrow(value->text()) << "\"";
        EXPECT_EQ(value->data.size(), (text.size() + 1) * 2) << narrow(name);
    }

    // Key-downs of this key that reached the movie.
    size_t KeyDownsAtTheMovie(WORD vk) const {
        return record_
            ->matching([vk](const Json& l) {
                return l.memberIs("ev", "key") && l.memberIs("msg", "WM_KEYDOWN") && l["vk"].integer() == vk;
            })
            .size();
    }

    // After the chooser: the player takes input again, and the movie that was started at
    // the beginning is the one still playing.
    void ExpectThePlayerCarriesOn() const {
        EXPECT_TRUE(process_->alive());
        EXPECT_TRUE(answers(player_));
        EXPECT_TRUE(IsWindowEnabled(player_));
        EXPECT_EQ(record_->events("call", "LoadMovie").size(), 1u);
        EXPECT_EQ(record_->events("call", "IOleObject::Close").size(), 0u);
    }
};

struct InitialCase {
    const char* name;
    std::optional<std::wstring> selected;
    std::optional<std::wstring> remind;
    int checkedRadio;
    bool boxChecked;
};

void PrintTo(const InitialCase& c, std::ostream* out) { *out << c.name; }

class ChooserOpensWithTheStoredChoice : public ChooserTest, public ::testing::WithParamInterface<InitialCase> {};

TEST_P(ChooserOpensWithTheStoredChoice, OneRadioAndTheBoxFromTheStore) {
    const InitialCase& c = GetParam();
    if (c.selected) Plant(kSelectedServer, *c.selected);
    if (c.remind) Plant(kRemindServerSelect, *c.remind);
    Start();

    // A remind flag of "true" opens the chooser by itself; otherwise F4 does.
    const bool remind = !c.boxChecked;
    HWND chooser = remind ? WaitForChooser() : nullptr;
    if (!remind) {
        Sleep(700);
        EXPECT_FALSE(WaitForChooser(0ms)) << "the chooser opened at start without a remind flag";
        chooser = OpenByF4();
    }
    ASSERT_TRUE(chooser);
    EXPECT_EQ(GetWindow(chooser, GW_OWNER), player_);
    EXPECT_FALSE(IsWindowEnabled(player_)) << "the chooser is modal over the player window";

    EXPECT_EQ(CheckedRadios(chooser), std::vector<int>{c.checkedRadio});
    EXPECT_EQ(CheckState(chooser, kCheckNoRemind), c.boxChecked ? BST_CHECKED : BST_UNCHECKED);
    // The dialog manager gives the focus to the first tab stop. The radio buttons have none
    // in the template, but a radio button takes WS_TABSTOP when it is checked, so the
    // checked one comes before the check box.
    EXPECT_EQ(FocusOf(chooser), GetDlgItem(chooser, c.checkedRadio)) << "the focus is on " << Name(FocusOf(chooser));
    // Opening stores nothing.
    EXPECT_EQ(readValue(kSettingsKey, kSelectedServer).has_value(), c.selected.has_value());
    EXPECT_EQ(readValue(kSettingsKey, kRemindServerSelect).has_value(), c.remind.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Store, ChooserOpensWithTheStoredChoice,
    ::testing::Values(InitialCase{"NothingStored", std::nullopt, std::nullopt, kRadioAuto, true},
                      InitialCase{"TelecomAndRemind", L"Telecom", L"true", kRadioTelecom, false},
                      InitialCase{"UnicomInOtherCaseAndRemindInCapitals", L"uNICOM", L"TRUE", kRadioUnicom, false},
                      InitialCase{"UnicomAndNoRemind", L"unicom", L"false", kRadioUnicom, true},
                      InitialCase{"AutoSelect", L"AutoSelect", L"false", kRadioAuto, true},
                      InitialCase{"NotALineAndNotAFlag", L"Mobile", L"yes", kRadioAuto, true}),
    [](const ::testing::TestParamInfo<InitialCase>& info) { return std::string(info.param.name); });

TEST_F(ChooserTest, ControlsTextsAndFrameAsTheUserSeesThem) {
    Start();
    HWND chooser = OpenByF4();
    ASSERT_TRUE(chooser);
    const WindowInfo frame = describe(chooser);
    EXPECT_EQ(frame.text, kChooserCaption);
    EXPECT_TRUE(frame.style & WS_CAPTION);
    EXPECT_FALSE(frame.style & WS_SYSMENU) << "no system menu and no close box";
    EXPECT_TRUE(frame.exStyle & WS_EX_LAYERED);

    const struct {
        int id;
        const wchar_t* className;
        const wchar_t* text;
    } expected[] = {
        {kRadioAuto, L"Button", kAutoText},       {kRadioTelecom, L"Button", kTelecomText},
        {kRadioUnicom, L"Button", kUnicomText},   {kCheckNoRemind, L"Button", kNoRemindText},
        {IDOK, L"Button", kConfirmText},          {-1, L"Static", kPromptText},
    };
    const std::vector<WindowInfo> children = childWindows(chooser);
    ASSERT_EQ(children.size(), std::size(expected));
    for (size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        EXPECT_EQ(static_cast<WORD>(children[i].id), static_cast<WORD>(expected[i].id));
        EXPECT_EQ(children[i].className, expected[i].className);
        EXPECT_EQ(children[i].text, expected[i].text);
        EXPECT_TRUE(children[i].visible);
    }

    // The picture, for the eye: the Chinese texts in the caption and in every control.
    settle(chooser);
    Sleep(300);
    const Pixels picture = captureScreen(frame.window);
    const auto saved = savePicture(picture, scratchDir() / "chooser");
    EXPECT_FALSE(saved.empty());
    std::printf("[ picture    ] %s\n", narrow(saved.wstring()).c_str());
    // Every text left ink on the screen: its control's area holds dark pixels.
    for (const WindowInfo& child : children) {
        int dark = 0;
        for (LONG y = child.window.top; y < child.window.bottom; ++y) {
            for (LONG x = child.window.left; x < child.window.right; ++x) {
                const std::uint32_t p =
                    picture.bgra[static_cast<size_t>(y - frame.window.top) * picture.width + (x - frame.window.left)];
                const int lightness = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
                if (lightness < 3 * 80) ++dark;
            }
        }
        EXPECT_GT(dark, 10) << "no text drawn in control " << child.id;
    }
}

TEST_F(ChooserTest, IsLayeredAtAlpha229) {
    Start();
    HWND chooser = OpenByF4();
    ASSERT_TRUE(chooser);
    const auto windows = probe(standin_, *record_);
    ASSERT_TRUE(windows) << "the client did not answer the probe";
    const ProbedWindow* probed = nullptr;
    for (const ProbedWindow& w : *windows)
        if (w.hwnd == chooser) probed = &w;
    ASSERT_TRUE(probed) << "the chooser is not among the client's windows";
    EXPECT_TRUE(probed->exStyle & WS_EX_LAYERED);
    ASSERT_TRUE(probed->layered) << "no layered attributes";
    EXPECT_EQ(probed->layered->alpha, 229);
    EXPECT_EQ(probed->layered->flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(probed->layered->key, 0u);
}

TEST_F(ChooserTest, F4IsConsumedAndOpensTheChooserAgainAndAgain) {
    Start();
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        HWND chooser = OpenByF4();
        ASSERT_TRUE(chooser);
        EXPECT_EQ(topLevelWindows(process_->pid()).size(), 2u) << "one chooser over the player window";
        ASSERT_TRUE(Confirm(chooser));
        ExpectThePlayerCarriesOn();
    }
    EXPECT_EQ(KeyDownsAtTheMovie(VK_F4), 0u) << "F4 reached the movie";
}

TEST_F(ChooserTest, ConfirmingAtOnceStoresAutoSelectAndNoReminder) {
    Start();
    HWND chooser = OpenByF4();
    ASSERT_TRUE(chooser);
    ASSERT_TRUE(Confirm(chooser));
    ExpectStored(kSelectedServer, L"AutoSelect");
    ExpectStored(kRemindServerSelect, L"false");
    ExpectThePlayerCarriesOn();
}

TEST_F(ChooserTest, UnicomWithTheBoxClearedStoresUnicomAndTrueAndShowsInTheSummary) {
    Start();
    HWND chooser = OpenByF4();
    ASSERT_TRUE(chooser);
    ASSERT_TRUE(Click(chooser, kRadioUnicom));
    ASSERT_TRUE(Click(chooser, kCheckNoRemind));
    EXPECT_EQ(CheckedRadios(chooser), std::vector<int>{kRadioUnicom});
    EXPECT_EQ(CheckState(chooser, kCheckNoRemind), BST_UNCHECKED);
    EXPECT_FALSE(keyExists(kSettingsKey)) << "something was stored before the confirm button";

    ASSERT_TRUE(Confirm(chooser));
    ExpectStored(kSelectedServer, L"Unicom");
    ExpectStored(kRemindServerSelect, L"true");
    ExpectThePlayerCarriesOn();

    // The stored line is what the summary names; the movie still plays over AutoSelect.
    ASSERT_TRUE(pressChord(standin_, {keys::leftCtrl, keys::leftShift, keys::right}));
    HWND box = waitForMessageBox(process_->pid(), L"PlaynookApp");
    ASSERT_TRUE(box) << "no diagnostic summary";
    const std::wstring summary = readMessageBox(box).text;
    EXPECT_EQ(summary.substr(summary.rfind(L'\n') + 1), L"Server_Unicom") << narrow(summary);
    pressButton(readMessageBox(box).button(IDOK));
}

TEST_F(ChooserTest, SpaceOnTheFocusedConfirmButtonConfirmsTelecom) {
    Start();
    HWND chooser = OpenByF4();
    ASSERT_TRUE(chooser);
    ASSERT_TRUE(Click(chooser, kRadioTelecom));
    EXPECT_EQ(CheckedRadios(chooser), std::vector<int>{kRadioTelecom});
    EXPECT_EQ(CheckState(chooser, kCheckNoRemind), BST_CHECKED);
    ASSERT_TRUE(TabTo(chooser, IDOK));
    ASSERT_TRUE(pressChord(chooser, {keys::space}));
    EXPECT_TRUE(GoneWithin(chooser, 5s)) << "the space bar did not confirm";
    ExpectStored(kSelectedServer, L"Telecom");
    ExpectStored(kRemindServerSelect, L"false");
    ExpectThePlayerCarriesOn();
}

TEST_F(ChooserTest, EnterAndEscapeLeaveItOpenAndStoreNothing) {
    Start();
    HWND chooser = OpenByF4();
    ASSERT_TRUE(chooser);
    // With the focus where the chooser opens with it, on the check box, and on the default
    // button itself.
    for (const bool onConfirm : {false, true}) {
        if (onConfirm) {
            ASSERT_TRUE(TabTo(chooser, IDOK));
        }
        for (const KeyStroke& key : {keys::enter, keys::escape}) {
            SCOPED_TRACE(std::string(key.vk == VK_RETURN ? "Enter" : "Escape") + (onConfirm ? " on 确认" : ""));
            ASSERT_TRUE(pressChord(chooser, {key}));
            Sleep(300);
            EXPECT_TRUE(IsWindow(chooser) && IsWindowVisible(chooser)) << "the chooser closed";
            if (!IsWindow(chooser)) return;
        }
    }
    EXPECT_FALSE(keyExists(kSettingsKey)) << "a key stored the choice";
    EXPECT_EQ(CheckedRadios(chooser), std::vector<int>{kRadioAuto});
    EXPECT_EQ(KeyDownsAtTheMovie(VK_RETURN) + KeyDownsAtTheMovie(VK_ESCAPE), 0u);
}

TEST_F(ChooserTest, ClosedByTheFrameworkCancelStoresNothing) {
    Start();
    HWND chooser = OpenByF4();
    ASSERT_TRUE(chooser);
    ASSERT_TRUE(Click(chooser, kRadioTelecom));
    // The dialog manager answers WM_CLOSE with the cancel command.
    PostMessageW(chooser, WM_CLOSE, 0, 0);
    EXPECT_TRUE(GoneWithin(chooser, 5s));
    EXPECT_FALSE(keyExists(kSettingsKey)) << "the cancel result was taken for the Telecom line";
    ExpectThePlayerCarriesOn();
}

TEST_F(ChooserTest, RemindFlagOpensItOnceAtStartOverThePlayingMovie) {
    Plant(kRemindServerSelect, L"true");
    Start();
    HWND chooser = WaitForChooser();
    ASSERT_TRUE(chooser) << "no chooser at start";
    EXPECT_EQ(GetWindow(chooser, GW_OWNER), player_);
    EXPECT_TRUE(IsWindowVisible(player_)) << "the player window shows first";
    EXPECT_EQ(record_->events("call", "Play").size(), 1u) << "the movie started before the chooser";
    // Confirming keeps the flag "true" (the box stays unchecked); the chooser does not come
    // back in this run.
    EXPECT_EQ(CheckState(chooser, kCheckNoRemind), BST_UNCHECKED);
    ASSERT_TRUE(Confirm(chooser));
    ExpectStored(kRemindServerSelect, L"true");
    Sleep(1000);
    EXPECT_FALSE(WaitForChooser(0ms)) << "the chooser opened a second time";
    ExpectThePlayerCarriesOn();
}

}  // namespace
}  // namespace e2e
