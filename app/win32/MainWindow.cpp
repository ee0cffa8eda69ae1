#include "MainWindow.h"

#include <objbase.h>
#include <wtsapi32.h>

#include <algorithm>
#include <limits>
#include <string>
#include <system_error>
#include <utility>

#include "ControlAccessibility.h"
#include "Resources.h"
#include "Win32PlatformServices.h"

namespace {

constexpr const wchar_t* kMainClassName = kMainWindowClassName;

// Control identifiers: the entry's place in the plan plus this. They stay
// clear of IDOK and IDCANCEL, which the dialog manager sends for the Enter
// and Esc keys.
constexpr int kFirstControlId = 100;

// Posted to show the latest thumb position of a drag.
constexpr UINT kShowDragMessage = WM_APP + 1;

HICON LoadProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(KOV_IDI_PROGRAM), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_SHARED));
}

void RegisterWindowClasses(HINSTANCE instance, WNDPROC mainProc, WNDPROC frameProc) {
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = mainProc;
    main.hInstance = instance;
    main.hIcon = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
    main.hIconSm = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    main.lpszClassName = kMainClassName;
    // A second window in the same process finds the class registered.
    RegisterClassExW(&main);

    // A frame's container paints its background itself, in the frame's colour.
    WNDCLASSEXW frame{};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = frameProc;
    frame.hInstance = instance;
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.lpszClassName = kFrameClassName;
    RegisterClassExW(&frame);
}

std::int16_t ToPosition(int value) {
    return static_cast<std::int16_t>(std::clamp<int>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

// The character a key types for the window's own keys: the digits of the
// main keys (whatever the Shift key) and of the number pad, and Escape; 0
// for any other key.
wchar_t TypedKey(WPARAM virtualKey) {
    if (virtualKey >= '0' && virtualKey <= '9') {
        return static_cast<wchar_t>(virtualKey);
    }
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9) {
        return static_cast<wchar_t>(L'0' + (virtualKey - VK_NUMPAD0));
    }
    return virtualKey == VK_ESCAPE ? L'\x1B' : 0;
}

MainWindow* OwnerOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

MainWindow::MainWindow(std::span<const PlannedControl> plan, HINSTANCE instance,
                       ProgramEvents& events)
    : events_(events),
      comInitialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    RegisterWindowClasses(instance, &MainWindow::MainProc, &MainWindow::FrameProc);
    // Created in the primary monitor's work area, so that its DPI is the
    // one the layout is computed for.
    const RECT work = PrimaryWorkArea();
    const std::wstring caption(kFrmMainCaption);
    CreateWindowExW(kMainExStyle, kMainClassName, caption.c_str(), kMainStyle, work.left, work.top,
                    1, 1, nullptr, nullptr, instance, this);
    if (window_ == nullptr) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "CreateWindowExW");
    }
    WTSRegisterSessionNotification(window_, NOTIFY_FOR_THIS_SESSION);
    dpi_ = DpiOf(window_);
    toolTips_ = CreateToolTips(window_, instance);
    CreateControls(plan, instance);
    ApplyStackingOrder(controls_);
    LayOut();
    PlaceCentred();
    BindModel();
}

MainWindow::~MainWindow() {
    for (const NativeControl& control : controls_) {
        control.plan.control->Redraw = nullptr;
    }
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (comInitialized_) {
        CoUninitialize();
    }
}

void MainWindow::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    RestoreFocus();
}

bool MainWindow::TranslateDialogMessage(MSG& message) {
    if (window_ == nullptr) {
        return false;
    }
    const bool ours = message.hwnd == window_ || IsChild(window_, message.hwnd) != FALSE;
    if (ours && message.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0) {
        // The dialog manager would follow the stacking order; the window's
        // focus order differs from it, so Tab is handled here.
        if (message.wParam == VK_TAB) {
            MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
            return true;
        }
        if (const wchar_t key = TypedKey(message.wParam); key != 0 && events_.KeyPressed(key)) {
            return true;
        }
        // Enter clicks the focused button, as in a dialog where the
        // focused button is the default one.
        const NativeControl* focused = Find(GetFocus());
        if (message.wParam == VK_RETURN && focused != nullptr &&
            focused->plan.row->control.kind == ControlKind::PushButton) {
            SendMessageW(focused->window, BM_CLICK, 0, 0);
            return true;
        }
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

HWND MainWindow::HandleOf(const Control& control) const {
    const auto found = std::ranges::find(controls_, &control,
                                         [](const NativeControl& c) { return c.plan.control; });
    return found == controls_.end() ? nullptr : found->window;
}

LRESULT CALLBACK MainWindow::MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = OwnerOf(window, message, lParam);
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCCREATE) {
        self->window_ = window;
    }
    return self->OnMainMessage(message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = OwnerOf(window, message, lParam);
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnFrameMessage(window, message, wParam, lParam);
}

LRESULT MainWindow::OnMainMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto handled = OnChildNotification(message, wParam, lParam)) {
        return *handled;
    }
    const HWND window = window_;
    switch (message) {
        case WM_ACTIVATE:
            // The dialog manager's habit: the control that had the focus
            // gets it back when the window is activated again.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window_, focus) != FALSE) {
                    lastFocus_ = focus;
                }
            }
            break;
        case WM_SETFOCUS:
            RestoreFocus();
            return 0;
        case kShowDragMessage:
            dragShowPosted_ = false;
            if (const ScrollBar* bar = std::exchange(dragged_, nullptr)) {
                bar->Scroll(dragPosition_);
            }
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        // Drivers may reset a display's ramp when it changes, wakes or the
        // session is unlocked; the displays then get the offsets again.
        case WM_DISPLAYCHANGE:
            events_.DisplaysChanged();
            break;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC) {
                events_.DisplaysChanged();
            }
            return TRUE;
        case WM_WTSSESSION_CHANGE:
            if (wParam == WTS_SESSION_UNLOCK) {
                events_.DisplaysChanged();
            }
            return 0;
        case WM_ENDSESSION:
            // The process may be ended as soon as this returns.
            if (wParam != FALSE) {
                events_.SessionEnding();
            }
            return 0;
        case WM_COPYDATA: {
            // A later start hands its request over (Win32PlatformServices::HandOver).
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (data->dwData != kHandOverDataMark) {
                break;
            }
            events_.HandOverArrived(
                std::span(static_cast<const std::byte*>(data->lpData), data->cbData));
            return TRUE;
        }
        case WM_DESTROY:
            WTSUnRegisterSessionNotification(window_);
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::OnFrameMessage(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto handled = OnChildNotification(message, wParam, lParam)) {
        return *handled;
    }
    if (message == WM_ERASEBKGND) {
        if (const NativeControl* control = Find(frame)) {
            RECT area{};
            GetClientRect(frame, &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area,
                     paint_.BrushFor(control->plan.row->backColor));
            return 1;
        }
    }
    return DefWindowProcW(frame, message, wParam, lParam);
}

// Notifications a control sends to its parent: the main window for the
// top-level controls, a frame's container for the controls in the frame.
std::optional<LRESULT> MainWindow::OnChildNotification(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COMMAND && message != WM_VSCROLL && message != WM_CTLCOLORSTATIC) {
        return std::nullopt;
    }
    const NativeControl* control = Find(reinterpret_cast<HWND>(lParam));
    if (control == nullptr) {
        return std::nullopt;
    }
    const ControlKind kind = control->plan.row->control.kind;
    switch (message) {
        case WM_COMMAND:
            // Labels report their clicks themselves, on the release.
            if (kind == ControlKind::PushButton && HIWORD(wParam) == BN_CLICKED) {
                control->plan.control->Click();
            }
            return 0;
        case WM_VSCROLL: {
            if (kind != ControlKind::VScrollBar) {
                return std::nullopt;
            }
            // The thumb position of a 0..100 bar fits the message's 16 bits.
            OnScrollRequest(static_cast<ScrollBar&>(*control->plan.control), LOWORD(wParam),
                            HIWORD(wParam));
            return 0;
        }
        default: {
            const ControlLayout& row = *control->plan.row;
            if (kind == ControlKind::Label) {
                const auto& label = static_cast<const Label&>(*control->plan.control);
                return paint_.ColourStatic(reinterpret_cast<HDC>(wParam), label.BackColor(),
                                           label.ForeColor());
            }
            return paint_.ColourStatic(reinterpret_cast<HDC>(wParam), row.backColor, row.foreColor);
        }
    }
}

// https://learn.microsoft.com/windows/win32/controls/wm-vscroll
// A drag sends SB_THUMBTRACK for each move, SB_THUMBPOSITION at the release
// and SB_ENDSCROLL last; every other gesture ends with SB_ENDSCROLL too.
void MainWindow::OnScrollRequest(ScrollBar& bar, int request, int thumbPosition) {
    if (request == SB_THUMBTRACK) {
        ShowDragLater(bar, thumbPosition);
        return;
    }
    if (const auto position = CommittedPosition(bar, request, thumbPosition)) {
        dragged_ = nullptr;
        bar.SetValue(ToPosition(*position));
    }
    if (request == SB_ENDSCROLL) {
        dragged_ = nullptr;
        bar.EndScroll();
    }
}

void MainWindow::ShowDragLater(const ScrollBar& bar, int position) {
    dragged_ = &bar;
    dragPosition_ = ToPosition(position);
    if (!dragShowPosted_) {
        dragShowPosted_ = PostMessageW(window_, kShowDragMessage, 0, 0) != FALSE;
    }
}

void MainWindow::CreateControls(std::span<const PlannedControl> plan, HINSTANCE instance) {
    controls_.reserve(plan.size());
    for (const PlannedControl& entry : plan) {
        const HWND parent = entry.container < 0 ? window_ : controls_[entry.container].window;
        const int id = kFirstControlId + static_cast<int>(controls_.size());
        controls_.push_back(CreateNativeControl(entry, parent, id, instance, this));
    }
}

void MainWindow::BindModel() {
    for (const NativeControl& control : controls_) {
        control.plan.control->Redraw = [this, &control] { Refresh(control, toolTips_); };
        // Tips the model holds already (a refused apply at load) come on now.
        Refresh(control, toolTips_);
        ExposeToAssistiveTechnology(control);
    }
    const auto first =
        std::ranges::find(controls_, 0, [](const NativeControl& c) { return c.plan.focusPlace; });
    lastFocus_ = first == controls_.end() ? nullptr : first->window;
}

// New fonts first, handed to every control, and only then are the old ones
// deleted: a control must never hold a deleted font.
void MainWindow::LayOut() {
    CaptionFonts fonts(dpi_);
    PlaceControls(controls_, dpi_, fonts);
    fonts_.emplace(std::move(fonts));
}

void MainWindow::PlaceCentred() {
    const RECT work = PrimaryWorkArea();
    const SIZE size = WindowSizeAt(dpi_);
    const LONG left = work.left + std::max<LONG>(0, (work.right - work.left - size.cx) / 2);
    const LONG top = work.top + std::max<LONG>(0, (work.bottom - work.top - size.cy) / 2);
    SetWindowPos(window_, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea(window_, dpi_);
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    LayOut();
    const SIZE size = WindowSizeAt(dpi_);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea(window_, dpi_);
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void MainWindow::MoveFocus(int step) {
    std::vector<const NativeControl*> stops;
    for (const NativeControl& control : controls_) {
        if (control.plan.focusPlace >= 0 && IsWindowVisible(control.window) != FALSE &&
            IsWindowEnabled(control.window) != FALSE) {
            stops.push_back(&control);
        }
    }
    if (stops.empty()) {
        return;
    }
    std::ranges::sort(stops, {}, [](const NativeControl* c) { return c->plan.focusPlace; });
    const HWND focus = GetFocus();
    const auto current =
        std::ranges::find(stops, focus, [](const NativeControl* c) { return c->window; });
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    std::ptrdiff_t next = step > 0 ? 0 : count - 1;
    if (current != stops.end()) {
        next = ((current - stops.begin()) + step + count) % count;
    }
    SetFocus(stops[static_cast<std::size_t>(next)]->window);
    // Keyboard use shows the focus rectangle, as the dialog manager would.
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void MainWindow::RestoreFocus() {
    if (lastFocus_ != nullptr && IsWindowVisible(lastFocus_) != FALSE) {
        SetFocus(lastFocus_);
    }
}

const NativeControl* MainWindow::Find(HWND window) const {
    if (window == nullptr) {
        return nullptr;
    }
    const auto found = std::ranges::find_if(controls_, [window](const NativeControl& c) {
        return c.window == window || c.groupBox == window;
    });
    return found == controls_.end() ? nullptr : &*found;
}
