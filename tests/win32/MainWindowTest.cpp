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
#include <vector>

#include "FormTest.h"
#include "MainWindow.h"
#include "Win32PlatformServices.h"

namespace {

struct RecordedEvents final : ProgramEvents {
    void StopRequested() override {}
    void SessionEnding() override { ++sessionEnds; }
    void DisplaysChanged() override { ++displayChanges; }
    int sessionEnds = 0;
    int displayChanges = 0;
};

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
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

LONG_PTR StyleOf(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE);
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
    HWND CaptionWindow(const PlannedControl& entry) const {
        const HWND hwnd = Hwnd(*entry.control);
        return entry.row->control.kind == ControlKind::Frame
                   ? FindWindowExW(hwnd, nullptr, L"Button", nullptr)
                   : hwnd;
    }
    int Dpi() const { return static_cast<int>(window->Dpi()); }
    // The way a scroll bar control reports a request to its parent.
    void Scroll(const ScrollBar& bar, int request, int thumb = 0) {
        SendMessageW(GetParent(Hwnd(bar)), WM_VSCROLL, MAKEWPARAM(request, thumb),
                     reinterpret_cast<LPARAM>(Hwnd(bar)));
    }

    std::vector<PlannedControl> plan = PlanWindow(form);
    RecordedEvents events;
    std::unique_ptr<MainWindow> window =
        std::make_unique<MainWindow>(plan, GetModuleHandleW(nullptr), events);
};

}  // namespace

TEST_F(MainWindowTest, TheWindowIsFixedCentredAndSizedForTheLayout) {
    const HWND main = window->Handle();
    EXPECT_EQ(TextOf(main), std::wstring(kFrmMainCaption));
    EXPECT_EQ(
        StyleOf(main) & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
        WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, Dpi()));
    EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, Dpi()));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT outer{};
    GetWindowRect(main, &outer);
    EXPECT_LE(std::abs((outer.left - work.left) - (work.right - outer.right)), 1);
}

TEST_F(MainWindowTest, EachControlIsItsNativeKindWhereThePlanPutsIt) {
    const std::map<ControlKind, std::pair<const wchar_t*, LONG_PTR>> natives{
        {ControlKind::Label, {L"Static", SS_NOTIFY}},
        {ControlKind::PushButton, {L"Button", WS_TABSTOP | BS_PUSHBUTTON}},
        {ControlKind::VScrollBar, {L"ScrollBar", WS_TABSTOP | SBS_VERT}},
        {ControlKind::Frame, {L"KovDisplayFrame", WS_CLIPCHILDREN}}};
    for (const PlannedControl& entry : plan) {
        const HWND hwnd = Hwnd(*entry.control);
        const auto [className, style] = natives.at(entry.row->control.kind);
        EXPECT_EQ(ClassOf(hwnd), className);
        EXPECT_EQ(StyleOf(hwnd) & style, style);
        EXPECT_EQ((StyleOf(hwnd) & WS_VISIBLE) != 0, entry.row->visible);
        EXPECT_EQ(GetParent(hwnd),
                  entry.container < 0 ? window->Handle() : Hwnd(*plan[entry.container].control));
        const PixelRect expected = ToPixels(entry.row->rect, Dpi());
        const RECT actual = RectInParent(hwnd);
        EXPECT_EQ(std::vector<LONG>({actual.left, actual.top, actual.right, actual.bottom}),
                  std::vector<LONG>({expected.left, expected.top, expected.left + expected.width,
                                     expected.top + expected.height}));
        if (entry.row->control.kind != ControlKind::VScrollBar) {
            const HWND caption = CaptionWindow(entry);
            EXPECT_EQ(TextOf(caption), std::wstring(entry.row->caption));
            const LOGFONTW font = FontOf(caption);
            EXPECT_EQ(std::wstring(font.lfFaceName), std::wstring(kFontFace));
            EXPECT_EQ(font.lfHeight, -MulDiv(kFontPoints, Dpi(), 72));
            EXPECT_EQ(font.lfCharSet, kFontCharsetGb2312);
            EXPECT_EQ(font.lfUnderline != 0, entry.control == &form.Label9);
        }
    }
}

// Within a container the plan's stacking runs from the top down, and a
// frame's group box lies beneath all of its frame's controls.
TEST_F(MainWindowTest, StackingFollowsThePlan) {
    std::map<HWND, std::map<int, HWND>> expected;
    for (const PlannedControl& entry : plan) {
        const HWND hwnd = Hwnd(*entry.control);
        expected[GetParent(hwnd)][entry.stackPlace] = hwnd;
    }
    for (const auto& [parent, byPlace] : expected) {
        HWND child = GetWindow(parent, GW_CHILD);
        for (const auto& [place, hwnd] : byPlace) {
            EXPECT_EQ(child, hwnd) << place;
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child == nullptr ? L"" : ClassOf(child),
                  parent == window->Handle() ? L"" : L"Button");
    }
}

TEST_F(MainWindowTest, EachScrollRequestCommitsThroughTheModel) {
    struct Case {
        int request;
        std::int16_t start;
        int thumb;
        std::int16_t expected;
    };
    const Case cases[] = {{SB_LINEDOWN, 50, 0, 51},
                          {SB_LINEUP, 50, 0, 49},
                          {SB_PAGEDOWN, 50, 0, 51},
                          {SB_PAGEUP, 50, 0, 49},
                          {SB_TOP, 50, 0, 0},
                          {SB_BOTTOM, 50, 0, 100},
                          {SB_THUMBPOSITION, 50, 73, 73},
                          {SB_THUMBTRACK, 50, 73, 50},
                          {SB_ENDSCROLL, 50, 0, 50},
                          {SB_LINEUP, 0, 0, 0}};
    ScrollBar& red = form.VScrollA[1];
    for (const Case& c : cases) {
        red.SetValue(c.start);
        const int writes = screen.Writes();
        Scroll(red, c.request, c.thumb);
        EXPECT_EQ(red.Value(), c.expected) << c.request;
        EXPECT_EQ(screen.Writes() - writes, c.expected == c.start ? 0 : 1);
        EXPECT_EQ(GetScrollPos(Hwnd(red), SB_CTL), c.expected);
        EXPECT_EQ(TextOf(Hwnd(form.Label5[1])), std::to_wstring(100 - 2 * c.expected));
    }
    red.SetValue(50);
    const int writes = screen.Writes();
    Scroll(form.VScrollA[0], SB_LINEDOWN);
    EXPECT_EQ(screen.Writes() - writes, 4);
    EXPECT_EQ(GetScrollPos(Hwnd(form.VScrollA[3]), SB_CTL), 51);
}

TEST_F(MainWindowTest, ModelChangesRedrawAndColoursAreAskedForWhenDrawn) {
    form.Frame2.SetVisible(true);
    form.Label8.SetCaption(L"读取");
    form.Label6[4].SetBackColor(kYellow);
    EXPECT_NE(StyleOf(Hwnd(form.Frame2)) & WS_VISIBLE, 0);
    EXPECT_EQ(TextOf(Hwnd(form.Label8)), L"读取");
    const std::pair<Control*, std::pair<COLORREF, COLORREF>> colours[] = {
        {&form.Label1, {RGB(255, 0, 0), RGB(255, 255, 255)}},
        {&form.Label6[4], {RGB(255, 255, 0), GetSysColor(COLOR_WINDOWTEXT)}},
        {&form.Label6[2], {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)}},
        {&form.Frame2, {RGB(0xC0, 0xC0, 0xC0), GetSysColor(COLOR_BTNTEXT)}}};
    for (const auto& [control, expected] : colours) {
        const HWND hwnd =
            CaptionWindow(*std::ranges::find(plan, control, &PlannedControl::control));
        const HDC dc = CreateCompatibleDC(nullptr);
        SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(hwnd));
        EXPECT_EQ(std::make_pair(GetBkColor(dc), GetTextColor(dc)), expected);
        DeleteDC(dc);
    }
}

TEST_F(MainWindowTest, ButtonsAndLabelsReportTheirClicksOnceForADoubleClick) {
    SendMessageW(Hwnd(form.Command2[1]), BM_CLICK, 0, 0);
    EXPECT_EQ(form.Frame2.Tag(), L"1");
    const HWND reset = Hwnd(form.Label9);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        SendMessageW(reset, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(2, 2));
    }
    EXPECT_EQ(screen.Writes(), 1);
}

TEST_F(MainWindowTest, SessionAndDisplayEventsAreReportedAndClosingDestroysTheWindow) {
    SendMessageW(window->Handle(), WM_ENDSESSION, FALSE, 0);
    SendMessageW(window->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(events.sessionEnds, 1);
    const std::pair<UINT, WPARAM> displayEvents[] = {{WM_DISPLAYCHANGE, 32},
                                                     {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                                     {WM_POWERBROADCAST, PBT_APMSUSPEND},
                                                     {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK},
                                                     {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK}};
    for (const auto& [message, wParam] : displayEvents) {
        SendMessageW(window->Handle(), message, wParam, 0);
    }
    EXPECT_EQ(events.displayChanges, 3);
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
    RECT client{};
    GetClientRect(window->Handle(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, 144));
    RECT outer{};
    GetWindowRect(window->Handle(), &outer);
    EXPECT_EQ(outer.left, suggested.left);
    EXPECT_EQ(RectInParent(Hwnd(form.VScrollA[1])).top, ToPixels({2160, 720, 375, 2415}, 144).top);
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
