// commctrl.h builds on the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <wtsapi32.h>
// clang-format on

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "FormTest.h"
#include "MainWindow.h"
#include "Win32PlatformServices.h"

namespace {

struct RecordedEvents final : ProgramEvents {
    void StopRequested() override {}
    void SessionEnding() override { ++sessionEnds; }
    void DisplaysChanged() override { ++displayChanges; }
    bool KeyPressed(wchar_t key) override {
        keys += key;
        return key != L'9';
    }
    std::wstring keys;
    int sessionEnds = 0;
    int displayChanges = 0;
};

std::vector<LONG> RectInParent(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

std::vector<LONG> Expected(const PixelRect& r) {
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64]{};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256]{};
    GetWindowTextW(window, text, 256);
    return text;
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

class MainWindowTest : public FormTest {
protected:
    MainWindowTest() { EXPECT_TRUE(form.Form_Load()); }

    HWND Hwnd(const Control& control) const { return window->HandleOf(control); }
    // The native window that draws a control's caption: a frame's group box.
    HWND CaptionWindow(const Control& control) const {
        const HWND hwnd = Hwnd(control);
        return ClassOf(hwnd) == L"KovDisplayFrame"
                   ? FindWindowExW(hwnd, nullptr, L"Button", nullptr)
                   : hwnd;
    }
    int Dpi() const { return static_cast<int>(window->Dpi()); }

    std::vector<PlannedControl> plan = PlanWindow(form);
    RecordedEvents events;
    std::unique_ptr<MainWindow> window =
        std::make_unique<MainWindow>(plan, GetModuleHandleW(nullptr), events);
};

}  // namespace

TEST_F(MainWindowTest, TheWindowAndEachNativeControlStandWhereThePlanPutsThem) {
    const HWND main = window->Handle();
    EXPECT_EQ(TextOf(main), std::wstring(kFrmMainCaption));
    EXPECT_EQ(
        GetWindowLongPtrW(main, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
        WS_MINIMIZEBOX);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, Dpi()));
    EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, Dpi()));
    const std::map<ControlKind, std::pair<const wchar_t*, LONG_PTR>> natives{
        {ControlKind::Label, {L"Static", SS_NOTIFY}},
        {ControlKind::PushButton, {L"Button", WS_TABSTOP | BS_PUSHBUTTON}},
        {ControlKind::VScrollBar, {L"ScrollBar", WS_TABSTOP | SBS_VERT}},
        {ControlKind::Frame, {L"KovDisplayFrame", WS_CLIPCHILDREN}}};
    std::map<HWND, std::map<int, HWND>> stacking;
    for (const PlannedControl& entry : plan) {
        const HWND hwnd = Hwnd(*entry.control);
        const auto [className, style] = natives.at(entry.row->control.kind);
        EXPECT_EQ(ClassOf(hwnd), className);
        EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & (style | WS_VISIBLE),
                  style | (entry.row->visible ? WS_VISIBLE : 0));
        EXPECT_EQ(GetParent(hwnd),
                  entry.container < 0 ? main : Hwnd(*plan[entry.container].control));
        EXPECT_EQ(RectInParent(hwnd), Expected(ToPixels(entry.row->rect, Dpi())));
        stacking[GetParent(hwnd)][entry.stackPlace] = hwnd;
        if (entry.row->control.kind != ControlKind::VScrollBar) {
            const HWND caption = CaptionWindow(*entry.control);
            EXPECT_EQ(TextOf(caption), std::wstring(entry.row->caption));
            const LOGFONTW font = FontOf(caption);
            EXPECT_EQ(std::tuple(std::wstring(font.lfFaceName), font.lfHeight, font.lfCharSet,
                                 font.lfUnderline != 0),
                      std::tuple(std::wstring(kFontFace), -MulDiv(kFontPoints, Dpi(), 72),
                                 GB2312_CHARSET, entry.row->underline));
        }
    }
    // Each container's children from the top down; a frame's group box lies beneath them all.
    for (const auto& [parent, byPlace] : stacking) {
        HWND child = GetWindow(parent, GW_CHILD);
        for (const auto& [place, hwnd] : byPlace) {
            EXPECT_EQ(child, hwnd) << place;
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child == nullptr ? L"" : ClassOf(child), parent == main ? L"" : L"Button");
    }
}

TEST_F(MainWindowTest, EachScrollRequestCommitsThroughTheModel) {
    ScrollBar& red = form.VScrollA[1];
    const auto scroll = [this](const ScrollBar& bar, int request, int thumb) {
        SendMessageW(GetParent(Hwnd(bar)), WM_VSCROLL, MAKEWPARAM(request, thumb),
                     reinterpret_cast<LPARAM>(Hwnd(bar)));
    };
    // clang-format off
    for (const auto& [request, start, thumb, expected] : {
             std::tuple{SB_LINEDOWN, 50, 0, 51}, {SB_LINEUP, 50, 0, 49}, {SB_PAGEDOWN, 50, 0, 51},
             {SB_PAGEUP, 50, 0, 49}, {SB_TOP, 50, 0, 0}, {SB_BOTTOM, 50, 0, 100},
             {SB_THUMBPOSITION, 50, 73, 73}, {SB_THUMBTRACK, 50, 73, 50}, {SB_ENDSCROLL, 50, 0, 50},
             {SB_LINEUP, 0, 0, 0}}) {
        // clang-format on
        red.SetValue(static_cast<std::int16_t>(start));
        const int writes = screen.Writes();
        scroll(red, request, thumb);
        EXPECT_EQ(red.Value(), expected) << request;
        EXPECT_EQ(screen.Writes() - writes, expected == start ? 0 : 1);
        EXPECT_EQ(GetScrollPos(Hwnd(red), SB_CTL), expected);
        EXPECT_EQ(TextOf(Hwnd(form.Label5[1])), std::to_wstring(100 - 2 * expected));
    }
    // A drag's moves waiting in the queue show once, at the latest.
    const int before = screen.Writes();
    scroll(red, SB_THUMBTRACK, 60);
    scroll(red, SB_THUMBTRACK, 70);
    for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(std::tuple(screen.Writes(), red.Value(), TextOf(Hwnd(form.Label5[1]))),
              std::tuple(before + 1, 0, std::wstring(L"-40")));
    red.SetValue(50);
    const int writes = screen.Writes();
    scroll(form.VScrollA[0], SB_LINEDOWN, 0);
    EXPECT_EQ(screen.Writes() - writes, 4);
    EXPECT_EQ(GetScrollPos(Hwnd(form.VScrollA[3]), SB_CTL), 51);
}

TEST_F(MainWindowTest, ModelChangesRedrawAndColoursAreAskedForWhenDrawn) {
    form.Frame2.SetVisible(true);
    form.Label8.SetCaption(L"读取");
    form.Label6[4].SetBackColor(kYellow);
    EXPECT_NE(GetWindowLongPtrW(Hwnd(form.Frame2), GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(TextOf(Hwnd(form.Label8)), L"读取");
    const std::pair<Control*, std::pair<COLORREF, COLORREF>> colours[] = {
        {&form.Label1, {RGB(255, 0, 0), RGB(255, 255, 255)}},
        {&form.Label6[4], {RGB(255, 255, 0), GetSysColor(COLOR_WINDOWTEXT)}},
        {&form.Label6[2], {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)}},
        {&form.Frame2, {RGB(0xC0, 0xC0, 0xC0), GetSysColor(COLOR_BTNTEXT)}}};
    for (const auto& [control, expected] : colours) {
        const HWND hwnd = CaptionWindow(*control);
        const HDC dc = CreateCompatibleDC(nullptr);
        SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(hwnd));
        EXPECT_EQ(std::make_pair(GetBkColor(dc), GetTextColor(dc)), expected);
        DeleteDC(dc);
    }
}

TEST_F(MainWindowTest, ClicksSessionAndDisplayEventsReachTheirHandlers) {
    SendMessageW(Hwnd(form.Command2[1]), BM_CLICK, 0, 0);
    EXPECT_EQ(form.Frame2.Tag(), L"1");
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        SendMessageW(Hwnd(form.Label9), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(2, 2));
    }
    EXPECT_EQ(screen.Writes(), 1);
    // clang-format off
    for (const auto& [message, wParam] : {std::pair<UINT, WPARAM>{WM_ENDSESSION, FALSE}, {WM_ENDSESSION, TRUE},
             {WM_DISPLAYCHANGE, 32}, {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC}, {WM_POWERBROADCAST, PBT_APMSUSPEND},
             {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK}, {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK}}) {
        // clang-format on
        SendMessageW(window->Handle(), message, wParam, 0);
    }
    EXPECT_EQ(events.sessionEnds, 1);
    EXPECT_EQ(events.displayChanges, 3);
    for (const auto& [key, used] : {std::pair{'3', true},
                                    {VK_NUMPAD5, true},
                                    {VK_ESCAPE, true},
                                    {'9', false},
                                    {'A', false}}) {
        MSG press{Hwnd(form.Command2[0]), WM_KEYDOWN, static_cast<WPARAM>(key), 0, 0, {}};
        EXPECT_TRUE(window->TranslateDialogMessage(press) || !used) << key;
    }
    EXPECT_EQ(events.keys,
              L"35\x1B"
              L"9");
    SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window->Handle(), nullptr);
    MSG quit{};
    EXPECT_NE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE), FALSE);
}

// A control must never hold a deleted font: the new fonts reach every
// control before the old ones go.
TEST_F(MainWindowTest, MovingToAMonitorOfAnotherDpiLaysTheWindowOutAgain) {
    bool oldFontAlive = false;
    SetWindowSubclass(
        Hwnd(form.Label1),
        [](HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR alive) {
            if (message == WM_SETFONT) {
                const auto old = reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0));
                *reinterpret_cast<bool*>(alive) = GetObjectType(old) == OBJ_FONT;
            }
            return DefSubclassProc(label, message, wParam, lParam);
        },
        1, reinterpret_cast<DWORD_PTR>(&oldFontAlive));
    RECT suggested{100, 80, 900, 700};
    SendMessageW(window->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(Dpi(), 144);
    RECT outer{};
    GetWindowRect(window->Handle(), &outer);
    EXPECT_EQ(outer.left, suggested.left);
    EXPECT_EQ(RectInParent(Hwnd(form.VScrollA[1])),
              Expected(ToPixels({2160, 720, 375, 2415}, 144)));
    EXPECT_EQ(FontOf(Hwnd(form.Label1)).lfHeight, -MulDiv(kFontPoints, 144, 72));
    EXPECT_TRUE(oldFontAlive);
}

// The notice has the information icon and one button, OK, which ends it.
TEST(NoticeTest, IsAnInformationBoxWithOnlyOk) {
    static std::wstring seen;
    MSG quit{};
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE) {
    }
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        const HWND box = GetActiveWindow();
        const auto icon =
            reinterpret_cast<HICON>(SendDlgItemMessageW(box, 0x440, STM_GETICON, 0, 0));
        seen = TextOf(box) + (icon == LoadIconW(nullptr, IDI_INFORMATION) ? L" information" : L"") +
               (GetDlgItem(box, IDOK) != nullptr ? L" OK" : L"") +
               (GetDlgItem(box, IDCANCEL) != nullptr ? L" Cancel" : L"");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    Win32PlatformServices(L"Local\\KOV-Display-Notice-Test").ShowNotice(L"通知", L"标题");
    EXPECT_EQ(seen, L"标题 information OK");
}
