#include "MainWindow.h"

#include <algorithm>
#include <limits>
#include <string>
#include <system_error>

#include "Resources.h"

namespace {

constexpr wchar_t kMainClassName[] = L"KovDisplayFrmMain";
constexpr wchar_t kFrameClassName[] = L"KovDisplayFrame";

// A fixed single-line border with a title bar, close and minimise boxes.
constexpr DWORD kMainStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Lets the dialog manager look into the frames for keyboard navigation.
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;

// Every control starts its own group, so the arrow keys never move the
// focus between controls; on a scroll bar they step its position.
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP;

// Control identifiers: the row's place in the layout table plus this. They
// stay clear of IDOK and IDCANCEL, which the dialog manager sends for the
// Enter and Esc keys.
constexpr int kFirstControlId = 100;

constexpr int kPointsPerInch = 72;

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

RECT PrimaryWorkArea() {
    RECT area{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0) == FALSE) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return area;
}

PixelRect ClientRectAt(UINT dpi) {
    return ToPixels({0, 0, kClientWidthTwips, kClientHeightTwips}, static_cast<int>(dpi));
}

UINT DpiOf(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi == 0 ? USER_DEFAULT_SCREEN_DPI : dpi;
}

UniqueFont CreateCaptionFont(UINT dpi, bool underline) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(kFontPoints, static_cast<int>(dpi), kPointsPerInch);
    font.lfWeight = kFontWeight;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = static_cast<BYTE>(kFontCharsetGb2312);
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    kFontFace.copy(font.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&font));
}

// A colour of the model as the screen draws it; a system colour is looked
// up now, so a change of the desktop's colours shows at the next redraw.
COLORREF ScreenColour(Colour colour) {
    if ((colour & kSystemColourFlag) != 0) {
        return GetSysColor(static_cast<int>(colour & 0xFF));
    }
    return colour & 0x00FFFFFF;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool HasVisibleStyle(HWND window) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void SyncVisibility(HWND window, bool visible) {
    if (HasVisibleStyle(window) != visible) {
        ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
    }
}

// The position a scroll bar request commits to, or none for a request that
// commits nothing: while the thumb is dragged (SB_THUMBTRACK) the control
// moves only its thumb on screen, and SB_ENDSCROLL just ends a gesture.
std::optional<int> CommittedPosition(const ScrollBar& bar, int request, int thumbPosition) {
    switch (request) {
        case SB_LINEUP:
            return bar.Value() - bar.SmallChange();
        case SB_LINEDOWN:
            return bar.Value() + bar.SmallChange();
        case SB_PAGEUP:
            return bar.Value() - bar.LargeChange();
        case SB_PAGEDOWN:
            return bar.Value() + bar.LargeChange();
        case SB_TOP:
            return bar.Min();
        case SB_BOTTOM:
            return bar.Max();
        case SB_THUMBPOSITION:
            return thumbPosition;
        default:
            return std::nullopt;
    }
}

std::int16_t ToPosition(int value) {
    return static_cast<std::int16_t>(std::clamp<int>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
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

MainWindow::MainWindow(FrmMain& form, HINSTANCE instance) : form_(form) {
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
    dpi_ = DpiOf(window_);
    CreateControls(instance);
    ApplyStackingOrder();
    LayOut();
    PlaceCentred();
    BindModel();
}

MainWindow::~MainWindow() {
    for (const Widget& widget : widgets_) {
        widget.control->Redraw = nullptr;
    }
    if (window_ != nullptr) {
        DestroyWindow(window_);
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
        // tab order differs from it, so Tab is handled here.
        if (message.wParam == VK_TAB) {
            MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
            return true;
        }
        // Enter clicks the focused button, as in a dialog where the
        // focused button is the default one.
        const Widget* focused = Find(GetFocus());
        if (message.wParam == VK_RETURN && focused != nullptr &&
            focused->row->kind == ControlKind::PushButton) {
            SendMessageW(focused->window, BM_CLICK, 0, 0);
            return true;
        }
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

HWND MainWindow::HandleOf(const Control& control) const {
    const auto found = std::find_if(widgets_.begin(), widgets_.end(), [&](const Widget& widget) {
        return widget.control == &control;
    });
    return found == widgets_.end() ? nullptr : found->window;
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
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ENDSESSION:
            // The session ends and the process with it: put the ramp back now.
            if (wParam != FALSE) {
                Unload();
            }
            return 0;
        case WM_DESTROY:
            Unload();
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
        const Widget* widget = Find(frame);
        if (widget != nullptr) {
            RECT area{};
            GetClientRect(frame, &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area, BrushFor(widget->row->backColor));
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
    const Widget* widget = Find(reinterpret_cast<HWND>(lParam));
    if (widget == nullptr) {
        return std::nullopt;
    }
    switch (message) {
        case WM_COMMAND: {
            const UINT code = HIWORD(wParam);
            const ControlKind kind = widget->row->kind;
            if ((kind == ControlKind::Label && code == STN_CLICKED) ||
                (kind == ControlKind::PushButton && code == BN_CLICKED)) {
                widget->control->Click();
            }
            return 0;
        }
        case WM_VSCROLL:
            if (widget->row->kind != ControlKind::VScrollBar) {
                return std::nullopt;
            }
            // The thumb position of a 0..100 bar fits the message's 16 bits.
            OnScroll(*widget, LOWORD(wParam), HIWORD(wParam));
            return 0;
        default:
            return OnControlColour(*widget, reinterpret_cast<HDC>(wParam));
    }
}

void MainWindow::CreateControls(HINSTANCE instance) {
    const auto layout = FrmMainLayout();
    widgets_.reserve(layout.size());
    int id = kFirstControlId;
    for (const ControlLayout& row : layout) {
        widgets_.push_back(CreateWidget(row, id++, instance));
    }
}

MainWindow::Widget MainWindow::CreateWidget(const ControlLayout& row, int id, HINSTANCE instance) {
    Control& control = form_.ControlAt(row);
    const HWND parent = row.container.empty() ? window_ : ContainerHandle(row.container);
    const DWORD visible = control.Visible() ? WS_VISIBLE : 0;
    const std::wstring caption(row.caption);
    auto* const menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    Widget widget{&row, &control, nullptr, nullptr};

    switch (row.kind) {
        case ControlKind::Frame:
            // A group box draws the border and caption but holds nothing;
            // the container beneath it holds the frame's controls, clips
            // them and hides them with it. The group box is transparent so
            // the container paints the background under it.
            widget.window = CreateWindowExW(WS_EX_CONTROLPARENT, kFrameClassName, L"",
                                            kChildStyle | WS_CLIPCHILDREN | visible, 0, 0, 0, 0,
                                            parent, menu, instance, this);
            widget.groupBox = CreateWindowExW(WS_EX_TRANSPARENT, L"BUTTON", caption.c_str(),
                                              kChildStyle | WS_VISIBLE | BS_GROUPBOX, 0, 0, 0, 0,
                                              widget.window, menu, instance, nullptr);
            break;
        case ControlKind::Label: {
            const auto& label = static_cast<const Label&>(control);
            const DWORD align = row.align == TextAlign::Centre ? SS_CENTER : SS_LEFT;
            const DWORD border = row.border ? WS_BORDER : 0;
            widget.window =
                CreateWindowExW(0, L"STATIC", label.Caption().c_str(),
                                kChildStyle | SS_NOTIFY | SS_NOPREFIX | align | border | visible, 0,
                                0, 0, 0, parent, menu, instance, nullptr);
            break;
        }
        case ControlKind::PushButton:
            widget.window = CreateWindowExW(0, L"BUTTON", caption.c_str(),
                                            kChildStyle | WS_TABSTOP | BS_PUSHBUTTON | visible, 0,
                                            0, 0, 0, parent, menu, instance, nullptr);
            break;
        case ControlKind::VScrollBar: {
            const auto& bar = static_cast<const ScrollBar&>(control);
            widget.window =
                CreateWindowExW(0, L"SCROLLBAR", L"", kChildStyle | WS_TABSTOP | SBS_VERT | visible,
                                0, 0, 0, 0, parent, menu, instance, nullptr);
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
            info.nMin = bar.Min();
            info.nMax = bar.Max();
            info.nPos = bar.Value();
            SetScrollInfo(widget.window, SB_CTL, &info, FALSE);
            break;
        }
    }
    return widget;
}

// Within each container the table lists the controls from the top of the
// stacking order down; the frames' group boxes lie beneath everything in
// their frames.
void MainWindow::ApplyStackingOrder() {
    constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW;
    std::map<HWND, HWND> lowestSoFar;
    for (const Widget& widget : widgets_) {
        if (widget.window == nullptr) {
            continue;
        }
        const HWND parent = GetParent(widget.window);
        const auto previous = lowestSoFar.find(parent);
        const HWND after = previous == lowestSoFar.end() ? HWND_TOP : previous->second;
        SetWindowPos(widget.window, after, 0, 0, 0, 0, kOrderOnly);
        lowestSoFar[parent] = widget.window;
    }
    for (const Widget& widget : widgets_) {
        if (widget.groupBox != nullptr) {
            SetWindowPos(widget.groupBox, HWND_BOTTOM, 0, 0, 0, 0, kOrderOnly);
        }
    }
}

void MainWindow::LayOut() {
    font_ = CreateCaptionFont(dpi_, false);
    underlinedFont_ = CreateCaptionFont(dpi_, true);
    for (const Widget& widget : widgets_) {
        if (widget.window == nullptr) {
            continue;
        }
        const PixelRect rect = ToPixels(widget.row->rect, static_cast<int>(dpi_));
        MoveWindow(widget.window, rect.left, rect.top, rect.width, rect.height, FALSE);
        const HFONT font = widget.row->underline ? underlinedFont_.Get() : font_.Get();
        if (widget.groupBox != nullptr) {
            MoveWindow(widget.groupBox, 0, 0, rect.width, rect.height, FALSE);
            SendMessageW(widget.groupBox, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        } else {
            SendMessageW(widget.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
    }
}

SIZE MainWindow::WindowSizeAt(UINT dpi) const {
    const PixelRect client = ClientRectAt(dpi);
    RECT outer{0, 0, client.width, client.height};
    AdjustWindowRectExForDpi(&outer, kMainStyle, FALSE, kMainExStyle, dpi);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void MainWindow::PlaceCentred() {
    const RECT work = PrimaryWorkArea();
    const SIZE size = WindowSizeAt(dpi_);
    const LONG left = work.left + std::max<LONG>(0, (work.right - work.left - size.cx) / 2);
    const LONG top = work.top + std::max<LONG>(0, (work.bottom - work.top - size.cy) / 2);
    SetWindowPos(window_, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
}

// Measures the frame the system actually drew and corrects the window's
// size by it, so the client area is exactly the layout's whatever the
// title bar's height at this DPI turned out to be.
void MainWindow::FitClientArea() {
    const PixelRect wanted = ClientRectAt(dpi_);
    RECT outer{};
    RECT client{};
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    if (client.right == wanted.width && client.bottom == wanted.height) {
        return;
    }
    const int width = (outer.right - outer.left) + wanted.width - client.right;
    const int height = (outer.bottom - outer.top) + wanted.height - client.bottom;
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::BindModel() {
    for (std::size_t index = 0; index < widgets_.size(); ++index) {
        widgets_[index].control->Redraw = [this, index] { Refresh(widgets_[index]); };
    }
    lastFocus_ = HandleOf(form_.VScrollA[0]);
}

// Brings a control on screen in line with its model. Nothing here sends
// input back: SetScrollPos and SetWindowTextW report no change to anyone.
void MainWindow::Refresh(const Widget& widget) {
    if (widget.window == nullptr) {
        return;
    }
    SyncVisibility(widget.window, widget.control->Visible());
    switch (widget.row->kind) {
        case ControlKind::Label: {
            const auto& label = static_cast<const Label&>(*widget.control);
            if (WindowText(widget.window) != label.Caption()) {
                SetWindowTextW(widget.window, label.Caption().c_str());
            }
            // The colours are asked for again when the label is drawn.
            InvalidateRect(widget.window, nullptr, TRUE);
            break;
        }
        case ControlKind::VScrollBar: {
            const auto& bar = static_cast<const ScrollBar&>(*widget.control);
            if (GetScrollPos(widget.window, SB_CTL) != bar.Value()) {
                SetScrollPos(widget.window, SB_CTL, bar.Value(), TRUE);
            }
            break;
        }
        case ControlKind::Frame:
        case ControlKind::PushButton:
            break;
    }
}

void MainWindow::OnScroll(const Widget& widget, int request, int thumbPosition) {
    auto& bar = static_cast<ScrollBar&>(*widget.control);
    if (const auto position = CommittedPosition(bar, request, thumbPosition)) {
        // The model keeps the position within its range, redraws the bar
        // and reports the change; an unchanged position reports nothing.
        bar.SetValue(ToPosition(*position));
    }
}

LRESULT MainWindow::OnControlColour(const Widget& widget, HDC dc) {
    Colour back = widget.row->backColor;
    Colour fore = widget.row->foreColor;
    if (widget.row->kind == ControlKind::Label) {
        const auto& label = static_cast<const Label&>(*widget.control);
        back = label.BackColor();
        fore = label.ForeColor();
    }
    SetTextColor(dc, ScreenColour(fore));
    SetBkColor(dc, ScreenColour(back));
    SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(BrushFor(back));
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    LayOut();
    const SIZE size = WindowSizeAt(dpi_);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void MainWindow::MoveFocus(int step) {
    std::vector<const Widget*> stops;
    for (const Widget& widget : widgets_) {
        const ControlKind kind = widget.row->kind;
        if ((kind == ControlKind::PushButton || kind == ControlKind::VScrollBar) &&
            widget.window != nullptr && IsWindowVisible(widget.window) != FALSE &&
            IsWindowEnabled(widget.window) != FALSE) {
            stops.push_back(&widget);
        }
    }
    if (stops.empty()) {
        return;
    }
    std::sort(stops.begin(), stops.end(), [](const Widget* first, const Widget* second) {
        return first->row->tabIndex < second->row->tabIndex;
    });
    const HWND focus = GetFocus();
    const auto current = std::find_if(
        stops.begin(), stops.end(), [focus](const Widget* stop) { return stop->window == focus; });
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

void MainWindow::Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    form_.Form_Unload();
}

const MainWindow::Widget* MainWindow::Find(HWND window) const {
    if (window == nullptr) {
        return nullptr;
    }
    const auto found = std::find_if(widgets_.begin(), widgets_.end(), [window](const Widget& w) {
        return w.window == window || w.groupBox == window;
    });
    return found == widgets_.end() ? nullptr : &*found;
}

HWND MainWindow::ContainerHandle(std::string_view frameName) const {
    const auto found = std::find_if(widgets_.begin(), widgets_.end(), [frameName](const Widget& w) {
        return w.row->kind == ControlKind::Frame && w.row->name == frameName;
    });
    return found == widgets_.end() ? window_ : found->window;
}

HBRUSH MainWindow::BrushFor(Colour colour) {
    if ((colour & kSystemColourFlag) != 0) {
        return GetSysColorBrush(static_cast<int>(colour & 0xFF));
    }
    auto [entry, inserted] = brushes_.try_emplace(colour);
    if (inserted) {
        entry->second = UniqueBrush(CreateSolidBrush(ScreenColour(colour)));
    }
    return entry->second.Get();
}

int RunMessageLoop(MainWindow& window) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.TranslateDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 1;
}
