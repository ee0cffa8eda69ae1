#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FrmMain.h"
#include "GammaDevice.h"
#include "Layout.h"
#include "MainWindow.h"
#include "Module1.h"
#include "Module_SetScreen.h"
#include "RecordingGammaOutputs.h"

namespace {

// A first instance whose program folder is an empty temporary folder.
class TestPlatform final : public PlatformServices {
public:
    explicit TestPlatform(std::filesystem::path folder) : folder_(std::move(folder)) {}
    bool AnotherInstanceRunning() override { return false; }
    void ShowNotice(std::wstring_view, std::wstring_view) override {}
    std::filesystem::path ProgramFolder() override { return folder_; }

private:
    std::filesystem::path folder_;
};

std::filesystem::path FreshFolder() {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("kov-win32-test-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

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

void PumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Module_SetScreen::ResetState();
        Module1::ResetState();
        Module_SetScreen::UseDevice(&device_);
        ASSERT_TRUE(form_.Form_Load());
        window_ = std::make_unique<MainWindow>(form_, GetModuleHandleW(nullptr));
    }

    void TearDown() override {
        window_.reset();
        PumpMessages();
        Module_SetScreen::UseDevice(nullptr);
        std::filesystem::remove_all(folder_);
    }

    HWND Hwnd(const Control& control) const { return window_->HandleOf(control); }
    int Dpi() const { return static_cast<int>(window_->Dpi()); }

    // The way a scroll bar control reports a request to its parent.
    void Scroll(const ScrollBar& bar, int request, int thumb = 0) {
        const HWND hwnd = Hwnd(bar);
        SendMessageW(GetParent(hwnd), WM_VSCROLL, MAKEWPARAM(request, thumb),
                     reinterpret_cast<LPARAM>(hwnd));
    }

    std::filesystem::path folder_ = FreshFolder();
    TestPlatform platform_{folder_};
    RecordingGammaOutputs screen_;
    GammaDevice device_{screen_};
    FrmMain form_{platform_};
    std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, WindowHasTheCaptionAFixedBorderAndTheClientSizeOfTheLayout) {
    const HWND main = window_->Handle();
    EXPECT_EQ(TextOf(main), std::wstring(kFrmMainCaption));
    const LONG_PTR style = StyleOf(main);
    EXPECT_NE(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_EQ(style & WS_THICKFRAME, 0);

    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, Dpi()));
    EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, Dpi()));
}

TEST_F(MainWindowTest, WindowIsCentredOnThePrimaryWorkArea) {
    RECT work{};
    ASSERT_NE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0), FALSE);
    RECT outer{};
    GetWindowRect(window_->Handle(), &outer);
    EXPECT_LE(std::abs((outer.left - work.left) - (work.right - outer.right)), 1);
    EXPECT_LE(std::abs((outer.top - work.top) - (work.bottom - outer.bottom)), 1);
}

TEST_F(MainWindowTest, EveryControlStandsWhereTheLayoutPutsIt) {
    for (const ControlLayout& row : FrmMainLayout()) {
        SCOPED_TRACE(ControlName(row));
        const HWND hwnd = Hwnd(form_.ControlAt(row));
        ASSERT_NE(hwnd, nullptr);
        const HWND expectedParent =
            row.container.empty()
                ? window_->Handle()
                : Hwnd(form_.ControlAt(*std::find_if(
                      FrmMainLayout().begin(), FrmMainLayout().end(),
                      [&](const ControlLayout& frame) { return frame.name == row.container; })));
        EXPECT_EQ(GetParent(hwnd), expectedParent);
        const PixelRect expected = ToPixels(row.rect, Dpi());
        const RECT actual = RectInParent(hwnd);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right - actual.left, expected.width);
        EXPECT_EQ(actual.bottom - actual.top, expected.height);
        EXPECT_EQ((StyleOf(hwnd) & WS_VISIBLE) != 0, row.visible);
    }
}

TEST_F(MainWindowTest, EachKindIsTheMatchingNativeControl) {
    for (const ControlLayout& row : FrmMainLayout()) {
        SCOPED_TRACE(ControlName(row));
        const HWND hwnd = Hwnd(form_.ControlAt(row));
        const LONG_PTR style = StyleOf(hwnd);
        switch (row.kind) {
            case ControlKind::Label:
                EXPECT_EQ(ClassOf(hwnd), L"Static");
                EXPECT_NE(style & SS_NOTIFY, 0);
                EXPECT_EQ((style & WS_BORDER) != 0, row.border);
                EXPECT_EQ(style & SS_TYPEMASK,
                          row.align == TextAlign::Centre ? SS_CENTER : SS_LEFT);
                EXPECT_EQ(style & WS_TABSTOP, 0);
                EXPECT_EQ(TextOf(hwnd), std::wstring(row.caption));
                break;
            case ControlKind::PushButton:
                EXPECT_EQ(ClassOf(hwnd), L"Button");
                EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
                EXPECT_NE(style & WS_TABSTOP, 0);
                EXPECT_EQ(TextOf(hwnd), std::wstring(row.caption));
                break;
            case ControlKind::VScrollBar: {
                EXPECT_EQ(ClassOf(hwnd), L"ScrollBar");
                EXPECT_NE(style & SBS_VERT, 0);
                EXPECT_NE(style & WS_TABSTOP, 0);
                int low = -1;
                int high = -1;
                GetScrollRange(hwnd, SB_CTL, &low, &high);
                EXPECT_EQ(low, 0);
                EXPECT_EQ(high, 100);
                EXPECT_EQ(GetScrollPos(hwnd, SB_CTL), 50);
                break;
            }
            case ControlKind::Frame: {
                // The frame's container holds a group box with its caption.
                const HWND groupBox = FindWindowExW(hwnd, nullptr, L"Button", nullptr);
                ASSERT_NE(groupBox, nullptr);
                EXPECT_EQ(StyleOf(groupBox) & BS_TYPEMASK, BS_GROUPBOX);
                EXPECT_EQ(TextOf(groupBox), std::wstring(row.caption));
                RECT box = RectInParent(groupBox);
                RECT frame{};
                GetClientRect(hwnd, &frame);
                EXPECT_TRUE(EqualRect(&box, &frame));
                break;
            }
        }
    }
}

// Within a container, a row listed earlier lies above a later one, and the
// frame's group box lies beneath all of its frame's controls.
TEST_F(MainWindowTest, StackingOrderFollowsTheTable) {
    std::vector<HWND> expectedClientArea;
    std::map<std::string_view, std::vector<HWND>> expectedInFrame;
    for (const ControlLayout& row : FrmMainLayout()) {
        const HWND hwnd = Hwnd(form_.ControlAt(row));
        (row.container.empty() ? expectedClientArea : expectedInFrame[row.container])
            .push_back(hwnd);
    }
    auto childrenOf = [](HWND parent) {
        std::vector<HWND> children;
        for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
        }
        return children;
    };
    EXPECT_EQ(childrenOf(window_->Handle()), expectedClientArea);
    for (const auto& [frameName, expected] : expectedInFrame) {
        SCOPED_TRACE(std::string(frameName));
        const HWND frame = GetParent(expected.front());
        std::vector<HWND> children = childrenOf(frame);
        ASSERT_EQ(children.size(), expected.size() + 1);
        EXPECT_EQ(ClassOf(children.back()), L"Button");
        children.pop_back();
        EXPECT_EQ(children, expected);
    }
}

TEST_F(MainWindowTest, CloseMarkTakesTheClicksInItsSquareOverTheHeading) {
    const HWND panel = Hwnd(form_.Frame2);
    const PixelRect mark = ToPixels({1080, 0, 210, 210}, Dpi());
    const POINT inMark{mark.left + mark.width / 2, mark.top + mark.height / 2};
    const POINT inHeadingOnly{mark.left - 5, mark.top + mark.height / 2};
    EXPECT_EQ(ChildWindowFromPointEx(panel, inMark, CWP_ALL), Hwnd(form_.Label7));
    EXPECT_EQ(ChildWindowFromPointEx(panel, inHeadingOnly, CWP_ALL), Hwnd(form_.Label8));
}

TEST_F(MainWindowTest, CaptionsUseTheNinePointGb2312FontUnderlinedOnlyForTheResetLabel) {
    for (const ControlLayout& row : FrmMainLayout()) {
        if (row.kind == ControlKind::VScrollBar) {
            continue;
        }
        SCOPED_TRACE(ControlName(row));
        HWND hwnd = Hwnd(form_.ControlAt(row));
        if (row.kind == ControlKind::Frame) {
            hwnd = FindWindowExW(hwnd, nullptr, L"Button", nullptr);
        }
        const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW logFont{};
        ASSERT_EQ(GetObjectW(font, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
        EXPECT_EQ(std::wstring(logFont.lfFaceName), std::wstring(kFontFace));
        EXPECT_EQ(logFont.lfHeight, -MulDiv(kFontPoints, Dpi(), 72));
        EXPECT_EQ(logFont.lfWeight, kFontWeight);
        EXPECT_EQ(logFont.lfCharSet, kFontCharsetGb2312);
        EXPECT_EQ(logFont.lfUnderline != 0, row.name == "Label9");
    }
}

struct ScrollCase {
    const char* name;
    int request;
    std::int16_t start;
    int thumb;
    std::int16_t expected;
};

class ScrollInputTest : public MainWindowTest, public ::testing::WithParamInterface<ScrollCase> {};

// Each committing request moves the red slider through the model: its
// change handling updates the offset label and sets the ramp once, and the
// bar on screen follows. Dragging the thumb commits nothing.
TEST_P(ScrollInputTest, RequestCommitsOnePositionThroughTheModel) {
    const ScrollCase& c = GetParam();
    ScrollBar& red = form_.VScrollA[1];
    red.SetValue(c.start);
    const int writesBefore = screen_.Writes();

    Scroll(red, c.request, c.thumb);

    EXPECT_EQ(red.Value(), c.expected);
    EXPECT_EQ(screen_.Writes() - writesBefore, c.expected == c.start ? 0 : 1);
    EXPECT_EQ(GetScrollPos(Hwnd(red), SB_CTL), c.expected);
    EXPECT_EQ(TextOf(Hwnd(form_.Label5[1])), std::to_wstring(100 - 2 * c.expected));
    EXPECT_EQ(form_.VScrollA[0].Value(), 50);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ScrollInputTest,
    ::testing::Values(
        ScrollCase{"LineDown", SB_LINEDOWN, 50, 0, 51}, ScrollCase{"LineUp", SB_LINEUP, 50, 0, 49},
        ScrollCase{"PageDown", SB_PAGEDOWN, 50, 0, 51}, ScrollCase{"PageUp", SB_PAGEUP, 50, 0, 49},
        ScrollCase{"Top", SB_TOP, 50, 0, 0}, ScrollCase{"Bottom", SB_BOTTOM, 50, 0, 100},
        ScrollCase{"ThumbPosition", SB_THUMBPOSITION, 50, 73, 73},
        ScrollCase{"ThumbTrack", SB_THUMBTRACK, 50, 73, 50},
        ScrollCase{"EndScroll", SB_ENDSCROLL, 50, 0, 50},
        ScrollCase{"LineUpAtTop", SB_LINEUP, 0, 0, 0},
        ScrollCase{"PageDownAtBottom", SB_PAGEDOWN, 100, 0, 100},
        ScrollCase{"ThumbPositionUnchanged", SB_THUMBPOSITION, 37, 37, 37}),
    [](const ::testing::TestParamInfo<ScrollCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, AllChannelsSliderMovesEveryBarOnScreen) {
    const int writesBefore = screen_.Writes();
    Scroll(form_.VScrollA[0], SB_LINEDOWN);
    for (int channel = 0; channel < 4; ++channel) {
        SCOPED_TRACE(channel);
        EXPECT_EQ(GetScrollPos(Hwnd(form_.VScrollA[channel]), SB_CTL), 51);
        EXPECT_EQ(TextOf(Hwnd(form_.Label5[channel])), L"-2");
    }
    // Three nested colour changes and the all-channels apply; nothing echoes
    // back from the bars on screen.
    EXPECT_EQ(screen_.Writes() - writesBefore, 4);
}

TEST_F(MainWindowTest, ModelChangesRedrawTheirControls) {
    form_.Label6[3].SetBackColor(kYellow);
    form_.Frame2.SetVisible(true);
    form_.Label8.SetCaption(L"读取");
    form_.VScrollA[2].SetValue(30);

    EXPECT_NE(StyleOf(Hwnd(form_.Frame2)) & WS_VISIBLE, 0);
    EXPECT_EQ(TextOf(Hwnd(form_.Label8)), L"读取");
    EXPECT_EQ(GetScrollPos(Hwnd(form_.VScrollA[2]), SB_CTL), 30);
    form_.Frame2.SetVisible(false);
    EXPECT_EQ(StyleOf(Hwnd(form_.Frame2)) & WS_VISIBLE, 0);
}

struct ColourCase {
    const char* name;
    Control* (*control)(FrmMain&);
    COLORREF back;
    COLORREF fore;
};

class ControlColourTest : public MainWindowTest,
                          public ::testing::WithParamInterface<ColourCase> {};

// The colours a label or frame paints with come from the model when it is
// drawn; system colours are looked up then.
TEST_P(ControlColourTest, ColoursAreAnsweredWhenTheControlIsDrawn) {
    const ColourCase& c = GetParam();
    HWND hwnd = Hwnd(*c.control(form_));
    if (ClassOf(hwnd) != L"Static") {
        hwnd = FindWindowExW(hwnd, nullptr, L"Button", nullptr);
    }
    const HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(hwnd)));
    const COLORREF back = GetBkColor(dc);
    const COLORREF fore = GetTextColor(dc);
    DeleteDC(dc);

    ASSERT_NE(brush, nullptr);
    LOGBRUSH brushInfo{};
    GetObjectW(brush, sizeof brushInfo, &brushInfo);
    EXPECT_EQ(brushInfo.lbColor, c.back);
    EXPECT_EQ(back, c.back);
    EXPECT_EQ(fore, c.fore);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ControlColourTest,
    ::testing::Values(ColourCase{"RedCaption", [](FrmMain& f) -> Control* { return &f.Label1; },
                                 RGB(255, 0, 0), RGB(255, 255, 255)},
                      ColourCase{"Heading", [](FrmMain& f) -> Control* { return &f.Label8; },
                                 RGB(0x80, 0x80, 0xFF), RGB(0, 0, 0)},
                      ColourCase{"Credits", [](FrmMain& f) -> Control* { return &f.Label10; },
                                 GetSysColor(COLOR_3DFACE), RGB(0x40, 0x40, 0x40)},
                      ColourCase{"EmptySlot", [](FrmMain& f) -> Control* { return &f.Label6[2]; },
                                 GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)},
                      ColourCase{"FilledSlot",
                                 [](FrmMain& f) -> Control* {
                                     f.Label6[4].SetBackColor(kYellow);
                                     return &f.Label6[4];
                                 },
                                 RGB(255, 255, 0), GetSysColor(COLOR_WINDOWTEXT)},
                      ColourCase{"Panel", [](FrmMain& f) -> Control* { return &f.Frame2; },
                                 RGB(0xC0, 0xC0, 0xC0), GetSysColor(COLOR_BTNTEXT)},
                      ColourCase{"SliderFrame", [](FrmMain& f) -> Control* { return &f.Frame1; },
                                 GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_BTNTEXT)}),
    [](const ::testing::TestParamInfo<ColourCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, ClicksReachTheModel) {
    window_->Show(SW_SHOWNORMAL);
    SendMessageW(Hwnd(form_.Command2[1]), BM_CLICK, 0, 0);
    EXPECT_TRUE(form_.Frame2.Visible());
    EXPECT_EQ(TextOf(Hwnd(form_.Label8)), L"读取");
    EXPECT_NE(IsWindowVisible(Hwnd(form_.Label6[1])), FALSE);

    SendMessageW(Hwnd(form_.Label7), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(Hwnd(form_.Label7), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(form_.Frame2.Visible());
    EXPECT_EQ(IsWindowVisible(Hwnd(form_.Label6[1])), FALSE);

    form_.VScrollA[3].SetValue(10);
    SendMessageW(Hwnd(form_.Label9), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(Hwnd(form_.Label9), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(form_.VScrollA[3].Value(), 50);
    EXPECT_EQ(GetScrollPos(Hwnd(form_.VScrollA[3]), SB_CTL), 50);
}

TEST_F(MainWindowTest, TabAndShiftTabFollowTheTabOrderOverTheSixFocusableControls) {
    window_->Show(SW_SHOWNORMAL);
    SetForegroundWindow(window_->Handle());
    PumpMessages();
    ASSERT_EQ(GetFocus(), Hwnd(form_.VScrollA[0]));

    const std::vector<HWND> forward{Hwnd(form_.VScrollA[1]), Hwnd(form_.VScrollA[2]),
                                    Hwnd(form_.VScrollA[3]), Hwnd(form_.Command2[0]),
                                    Hwnd(form_.Command2[1]), Hwnd(form_.VScrollA[0])};
    auto pressTab = [&] {
        MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(window_->TranslateDialogMessage(message));
        return GetFocus();
    };
    for (const HWND expected : forward) {
        EXPECT_EQ(pressTab(), expected);
    }

    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    std::vector<HWND> backward(forward.rbegin() + 1, forward.rend());
    backward.push_back(forward.back());
    for (const HWND expected : backward) {
        EXPECT_EQ(pressTab(), expected);
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST_F(MainWindowTest, EnterClicksTheFocusedButton) {
    window_->Show(SW_SHOWNORMAL);
    SetForegroundWindow(window_->Handle());
    PumpMessages();
    SetFocus(Hwnd(form_.Command2[0]));
    ASSERT_EQ(GetFocus(), Hwnd(form_.Command2[0]));

    MSG message{GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(window_->TranslateDialogMessage(message));
    EXPECT_TRUE(form_.Frame2.Visible());
    EXPECT_EQ(TextOf(Hwnd(form_.Label8)), L"保存");
}

TEST_F(MainWindowTest, CloseUnloadsOnceAndPutsTheCapturedRampBack) {
    form_.VScrollA[1].SetValue(20);
    const int writesBefore = screen_.Writes();

    SendMessageW(window_->Handle(), WM_ENDSESSION, TRUE, 0);
    ASSERT_EQ(screen_.Writes(), writesBefore + 1);
    EXPECT_EQ(screen_.Screen(), LinearRamp());

    SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window_->Handle(), nullptr);
    EXPECT_EQ(screen_.Writes(), writesBefore + 1);
}

TEST_F(MainWindowTest, ClosingWithoutEndOfSessionUnloadsOnce) {
    form_.VScrollA[2].SetValue(70);
    const int writesBefore = screen_.Writes();
    SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(screen_.Writes(), writesBefore + 1);
    EXPECT_EQ(screen_.Screen(), LinearRamp());
    window_.reset();
    EXPECT_EQ(screen_.Writes(), writesBefore + 1);
}

TEST_F(MainWindowTest, MovingToAMonitorOfAnotherDpiLaysTheWindowOutAgain) {
    constexpr int kNewDpi = 144;
    RECT suggested{100, 80, 900, 700};
    SendMessageW(window_->Handle(), WM_DPICHANGED, MAKEWPARAM(kNewDpi, kNewDpi),
                 reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(Dpi(), kNewDpi);

    RECT client{};
    GetClientRect(window_->Handle(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, kNewDpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, kNewDpi));
    RECT outer{};
    GetWindowRect(window_->Handle(), &outer);
    EXPECT_EQ(outer.left, suggested.left);
    EXPECT_EQ(outer.top, suggested.top);

    const PixelRect expected = ToPixels({2160, 720, 375, 2415}, kNewDpi);
    const RECT red = RectInParent(Hwnd(form_.VScrollA[1]));
    EXPECT_EQ(red.left, expected.left);
    EXPECT_EQ(red.top, expected.top);
    EXPECT_EQ(red.bottom - red.top, expected.height);

    const auto font = reinterpret_cast<HFONT>(SendMessageW(Hwnd(form_.Label1), WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(kFontPoints, kNewDpi, 72));
}

}  // namespace
