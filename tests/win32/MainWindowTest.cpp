// commctrl.h builds on the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <wtsapi32.h>
// clang-format on

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
    void HandOverArrived(std::span<const std::byte>) override {}
    void HotKeyPressed(std::size_t) override {}
    bool KeyPressed(wchar_t key) override {
        keys += key;
        return key != L'9';
    }
    std::wstring keys;
    int sessionEnds = 0;
    int displayChanges = 0;
};

// A window's rectangle in its parent's client area: left, top, right, bottom.
std::tuple<LONG, LONG, LONG, LONG> RectInParent(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

std::wstring TextOf(HWND window) {
    wchar_t text[256]{};
    GetWindowTextW(window, text, 256);
    return text;
}

class MainWindowTest : public FormTest {
protected:
    MainWindowTest() { EXPECT_TRUE(form.Form_Load()); }

    HWND Hwnd(const Control& control) const { return window->HandleOf(control); }
    // The native window that draws a control's caption: a frame's group box.
    HWND CaptionWindow(const Control& control) const {
        const HWND hwnd = Hwnd(control);
        return dynamic_cast<const Frame*>(&control) == nullptr
                   ? hwnd
                   : FindWindowExW(hwnd, nullptr, L"Button", nullptr);
    }

    std::vector<PlannedControl> plan = PlanWindow(form);
    RecordedEvents events;
    std::unique_ptr<MainWindow> window =
        std::make_unique<MainWindow>(plan, GetModuleHandleW(nullptr), events);
};

}  // namespace

// Steps, pages and drags are seen end to end; here the model holds to its
// range, shows on the bar, and a thumb still dragged commits nothing.
TEST_F(MainWindowTest, EachScrollRequestCommitsThroughTheModel) {
    ScrollBar& red = form.VScrollA[1];
    for (const auto& [request, start, thumb, expected] : {std::tuple{SB_THUMBPOSITION, 50, 73, 73},
                                                          {SB_THUMBTRACK, 50, 73, 50},
                                                          {SB_ENDSCROLL, 50, 0, 50},
                                                          {SB_LINEUP, 0, 0, 0},
                                                          {SB_LINEDOWN, 100, 0, 100}}) {
        red.SetValue(static_cast<std::int16_t>(start));
        SendMessageW(GetParent(Hwnd(red)), WM_VSCROLL, MAKEWPARAM(request, thumb),
                     reinterpret_cast<LPARAM>(Hwnd(red)));
        EXPECT_EQ(red.Value(), expected) << request;
        EXPECT_EQ(GetScrollPos(Hwnd(red), SB_CTL), expected) << request;
    }
    // A drag's moves waiting in the queue show once, at the latest, and
    // commit nothing.
    const int before = screen.Writes();
    const std::int16_t held = red.Value();
    for (const int thumb : {60, 70}) {
        SendMessageW(GetParent(Hwnd(red)), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, thumb),
                     reinterpret_cast<LPARAM>(Hwnd(red)));
    }
    for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(std::tuple(screen.Writes(), red.Value(), TextOf(Hwnd(form.Label5[1]))),
              std::tuple(before + 1, held, std::wstring(L"-40")));
}

// Plain colours are 0x00BBGGRR; system colours are looked up when drawn.
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
    const HWND tips = FindWindowW(TOOLTIPS_CLASSW, nullptr);
    for (const std::wstring tip : {L"提示", L"另一个", L""}) {
        form.Label5[1].SetToolTip(tip);
        wchar_t shown[64]{};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = GetParent(Hwnd(form.Label5[1]));
        tool.uId = reinterpret_cast<UINT_PTR>(Hwnd(form.Label5[1]));
        tool.lpszText = shown;
        SendMessageW(tips, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(shown, tip);
    }
}

// A double-click on a label is its first click and nothing more.
TEST_F(MainWindowTest, ClicksSessionAndDisplayEventsReachTheirHandlers) {
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
// control before the old ones go. The red slider at 144 DPI: its frame's
// twips (2160, 720) to (2535, 3135) are pixels 216, 72, 253.5 and 313.5.
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
    ASSERT_EQ(window->Dpi(), 144U);
    RECT outer{};
    GetWindowRect(window->Handle(), &outer);
    EXPECT_EQ(outer.left, suggested.left);
    EXPECT_EQ(RectInParent(Hwnd(form.VScrollA[1])), std::tuple(216, 72, 254, 314));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Hwnd(form.Label1), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(kFontPoints, 144, 72));
    EXPECT_TRUE(oldFontAlive);
}

TEST_F(MainWindowTest, ARefusedStartBringsTheRunningWindowBackToTheFront) {
    window->Show(SW_SHOWMINIMIZED);
    Win32PlatformServices(L"Local\\KOV-Display-Forward-Test").ShowRunningInstance();
    EXPECT_FALSE(IsIconic(window->Handle()));
    EXPECT_EQ(GetForegroundWindow(), window->Handle());
}

// Assistive technology reads the plan's names and roles and a slider's
// offset; what it sets or presses reaches the model.
TEST_F(MainWindowTest, AssistiveTechnologyReadsNamesRolesAndOffsetsAndActsThroughTheModel) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    // Each row: control, name, role, a value to set (pressed when a button).
    const std::tuple<const Control*, const wchar_t*, LONG, const wchar_t*> rows[] = {
        {&form.Label7, L"关闭", ROLE_SYSTEM_PUSHBUTTON, nullptr},
        {&form.Label6[2], L"参数02", ROLE_SYSTEM_PUSHBUTTON, nullptr},
        {&form.VScrollA[0], L"全部", ROLE_SYSTEM_SLIDER, nullptr},
        {&form.VScrollA[1], L"红", ROLE_SYSTEM_SLIDER, L"-20"}};
    for (const auto& [control, name, role, setValue] : rows) {
        IAccessible* a = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(Hwnd(*control), OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&a)),
                  S_OK);
        BSTR text = nullptr;
        VARIANT answer{};
        EXPECT_TRUE(SUCCEEDED(a->get_accName(self, &text)) && std::wstring(text) == name) << name;
        SysFreeString(text);
        EXPECT_TRUE(a->get_accRole(self, &answer) == S_OK && answer.lVal == role) << name;
        if (setValue != nullptr) {
            text = SysAllocString(setValue);
            EXPECT_EQ(a->put_accValue(self, text), S_OK);
            SysFreeString(text);
            EXPECT_TRUE(SUCCEEDED(a->get_accValue(self, &text)) && std::wstring(text) == setValue);
            SysFreeString(text);
        } else if (role == ROLE_SYSTEM_PUSHBUTTON) {
            EXPECT_EQ(a->accDoDefaultAction(self), S_OK);
        }
        a->Release();
    }
    EXPECT_EQ(std::pair(form.VScrollA[1].Value(), GetScrollPos(Hwnd(form.VScrollA[1]), SB_CTL)),
              std::pair(std::int16_t{60}, 60));
}
