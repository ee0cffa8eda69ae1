#pragma once

#include <span>
#include <string_view>

#include "Controls.h"

// The window at its creation, as data: one row per control. FrmMain takes
// its controls' first state from it; the window plan turns it into what a
// front end builds.

class FrmMain;

enum class ControlKind { Label, Frame, PushButton, VScrollBar };
enum class TextAlign { Left, Centre };

// Positions and sizes in twips (1440 to the inch, 15 to the pixel at 96 DPI),
// from the top-left corner of the container: the window's client area, or
// the outer corner of the frame, caption line included.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct PixelRect {
    int left;
    int top;
    int width;
    int height;
};

// The control of FrmMain that a row describes. Rows get it from Bind<>,
// which the compiler checks: the member must exist, and an index must lie
// within the member's control array. The kind follows from the member's type.
struct ControlBinding {
    ControlKind kind;
    Control& (*in)(FrmMain& form);
};

// A row names its control, its place and its tab index; every other field
// defaults to a plain control: in the client area, no caption, the button
// colours, left-aligned, no border or underline, visible.
struct ControlLayout {
    ControlBinding control;
    // The frame that holds the control; null for the client area.
    Frame FrmMain::*container = nullptr;
    std::wstring_view caption = L"";
    TwipsRect rect;
    Colour backColor = kButtonFace;
    Colour foreColor = kButtonText;
    TextAlign align = TextAlign::Left;
    bool border = false;     // a one-pixel single-line border (labels)
    bool underline = false;  // the caption font is underlined
    int tabIndex;            // 0..26; only visible scroll bars and buttons take focus
    bool visible = true;     // at creation
    // What assistive technology calls the control; empty: its caption as it stands.
    std::wstring_view accessibleName = L"";
};

inline constexpr std::wstring_view kFrmMainCaption = L"KOV调节显示器  V1.02   作者:Tavrin ";
inline constexpr int kClientWidthTwips = 7095;
inline constexpr int kClientHeightTwips = 4545;

// Every control's caption is drawn in this face and size, GB2312 character set.
inline constexpr std::wstring_view kFontFace = L"宋体";
inline constexpr int kFontPoints = 9;
inline constexpr int kFontWeight = 400;
inline constexpr int kFontCharsetGb2312 = 134;

// All 27 controls. Within one container the rows run from the top of the
// stacking order down: a control listed earlier is drawn above a later one
// and receives the clicks where they overlap. Frames come before the
// controls they hold.
std::span<const ControlLayout> FrmMainLayout();

// A twips rectangle at dpi dots per inch. Edges are rounded, not sizes, so
// neighbouring controls keep sharing their edges at any DPI.
PixelRect ToPixels(const TwipsRect& rect, int dpi);
