#include "NativeControls.h"

// commctrl.h and windowsx.h build on the types of windows.h.
// clang-format off
#include <commctrl.h>
#include <windowsx.h>
// clang-format on

#include <map>
#include <string>

namespace {

// Every control starts its own group, so the arrow keys never move the
// focus between controls; on a scroll bar they step its position.
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP;

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SyncVisibility(HWND window, bool visible) {
    const bool shown = (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != visible) {
        ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
    }
}

HWND CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, HWND parent,
                 int id, HINSTANCE instance, DWORD exStyle = 0, void* param = nullptr) {
    return CreateWindowExW(exStyle, className, text.c_str(), kChildStyle | style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                           param);
}

// A scroll bar moves only by its arrows, its track, its thumb and the
// keyboard: the wheel and the scroll bar's own context menu (Scroll Here,
// Top, Bottom ...) do nothing to it.
LRESULT CALLBACK ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR /*id*/, DWORD_PTR /*unused*/) {
    switch (message) {
        case WM_CONTEXTMENU:
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, ScrollBarProc, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// Gives a window the tip text, adding it to the tooltip control's tools or
// taking it off them for an empty text.
void SetToolTip(HWND toolTips, HWND window, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(window);
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    const bool known =
        SendMessageW(toolTips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
    std::wstring shown = text;
    tool.lpszText = shown.data();
    if (text.empty()) {
        if (known) {
            SendMessageW(toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    } else {
        SendMessageW(toolTips, known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                     reinterpret_cast<LPARAM>(&tool));
    }
}

HWND CreateScrollBar(const ScrollBar& bar, DWORD visible, HWND parent, int id, HINSTANCE instance) {
    const HWND window =
        CreateChild(L"SCROLLBAR", L"", WS_TABSTOP | SBS_VERT | visible, parent, id, instance);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = bar.Min();
    info.nMax = bar.Max();
    info.nPos = bar.Value();
    SetScrollInfo(window, SB_CTL, &info, FALSE);
    SetWindowSubclass(window, ScrollBarProc, 0, 0);
    return window;
}

// A label reports a click when the left button is pressed on it and
// released inside it, as a button does; the static control's own notice
// comes on the press already. The second press of a double-click starts no
// click, so a double-click is one click.
LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                           DWORD_PTR control) {
    switch (message) {
        case WM_LBUTTONDOWN:
            SetCapture(window);
            return 0;
        case WM_LBUTTONDBLCLK:
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == window) {
                ReleaseCapture();
                RECT area{};
                GetClientRect(window, &area);
                if (PtInRect(&area, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE) {
                    reinterpret_cast<Control*>(control)->Click();
                }
            }
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, LabelProc, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

NativeControl CreateNativeControl(const PlannedControl& entry, HWND parent, int id,
                                  HINSTANCE instance, void* frameOwner) {
    const ControlLayout& row = *entry.row;
    const DWORD visible = entry.control->Visible() ? WS_VISIBLE : 0;
    const std::wstring caption(row.caption);
    NativeControl native{entry, nullptr, nullptr};
    switch (row.control.kind) {
        case ControlKind::Frame:
            // A group box draws the border and caption but holds nothing;
            // the container beneath it holds the frame's controls, clips
            // them and hides them with it. The group box is transparent so
            // the container paints the background under it.
            native.window = CreateChild(kFrameClassName, L"", WS_CLIPCHILDREN | visible, parent, id,
                                        instance, WS_EX_CONTROLPARENT, frameOwner);
            native.groupBox = CreateChild(L"BUTTON", caption, WS_VISIBLE | BS_GROUPBOX,
                                          native.window, id, instance, WS_EX_TRANSPARENT);
            break;
        case ControlKind::Label: {
            const auto& label = static_cast<const Label&>(*entry.control);
            const DWORD align = row.align == TextAlign::Centre ? SS_CENTER : SS_LEFT;
            const DWORD border = row.border ? WS_BORDER : 0;
            native.window = CreateChild(L"STATIC", label.Caption(),
                                        SS_NOTIFY | SS_NOPREFIX | align | border | visible, parent,
                                        id, instance);
            SetWindowSubclass(native.window, LabelProc, 0,
                              reinterpret_cast<DWORD_PTR>(entry.control));
            break;
        }
        case ControlKind::PushButton:
            native.window = CreateChild(L"BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON | visible,
                                        parent, id, instance);
            break;
        case ControlKind::VScrollBar:
            native.window = CreateScrollBar(static_cast<const ScrollBar&>(*entry.control), visible,
                                            parent, id, instance);
            break;
    }
    return native;
}

void ApplyStackingOrder(std::span<const NativeControl> controls) {
    constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW;
    std::map<std::pair<HWND, int>, HWND> byPlace;
    for (const NativeControl& control : controls) {
        byPlace[{GetParent(control.window), control.plan.stackPlace}] = control.window;
    }
    // In each container, each control goes right beneath the one above it.
    HWND above = HWND_TOP;
    HWND container = nullptr;
    for (const auto& [place, window] : byPlace) {
        if (place.first != container) {
            container = place.first;
            above = HWND_TOP;
        }
        SetWindowPos(window, above, 0, 0, 0, 0, kOrderOnly);
        above = window;
    }
    for (const NativeControl& control : controls) {
        if (control.groupBox != nullptr) {
            SetWindowPos(control.groupBox, HWND_BOTTOM, 0, 0, 0, 0, kOrderOnly);
        }
    }
}

void PlaceControls(std::span<const NativeControl> controls, UINT dpi, const CaptionFonts& fonts) {
    for (const NativeControl& control : controls) {
        const ControlLayout& row = *control.plan.row;
        const PixelRect rect = ToPixels(row.rect, static_cast<int>(dpi));
        MoveWindow(control.window, rect.left, rect.top, rect.width, rect.height, FALSE);
        const auto font = reinterpret_cast<WPARAM>(fonts.For(row));
        if (control.groupBox != nullptr) {
            MoveWindow(control.groupBox, 0, 0, rect.width, rect.height, FALSE);
            SendMessageW(control.groupBox, WM_SETFONT, font, FALSE);
        } else {
            SendMessageW(control.window, WM_SETFONT, font, FALSE);
        }
    }
}

HWND CreateToolTips(HWND owner, HINSTANCE instance) {
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
}

void Refresh(const NativeControl& control, HWND toolTips) {
    SyncVisibility(control.window, control.plan.control->Visible());
    switch (control.plan.row->control.kind) {
        case ControlKind::Label: {
            const auto& label = static_cast<const Label&>(*control.plan.control);
            if (WindowText(control.window) != label.Caption()) {
                SetWindowTextW(control.window, label.Caption().c_str());
            }
            SetToolTip(toolTips, control.window, label.ToolTip());
            // The colours are asked for again when the label is drawn.
            InvalidateRect(control.window, nullptr, TRUE);
            break;
        }
        case ControlKind::VScrollBar: {
            const auto& bar = static_cast<const ScrollBar&>(*control.plan.control);
            if (GetScrollPos(control.window, SB_CTL) != bar.Value()) {
                SetScrollPos(control.window, SB_CTL, bar.Value(), TRUE);
            }
            break;
        }
        case ControlKind::Frame:
        case ControlKind::PushButton:
            break;
    }
}

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
