#pragma once

#include <span>
#include <string>
#include <string_view>

#include "Controls.h"

// The window at its creation, as data. Both front ends build their widgets
// from it; FrmMain takes the controls' initial properties from it.

enum class ControlKind { Label, Frame, PushButton, VScrollBar };
enum class TextAlign { Left, Centre };

inline constexpr int kNoIndex = -1;

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

struct ControlLayout {
    ControlKind kind;
    std::string_view name;       // "VScrollA", "Label9", ...
    int index;                   // the index within a control array, or kNoIndex
    std::string_view container;  // "" for the client area, else "Frame1" or "Frame2"
    std::wstring_view caption;
    TwipsRect rect;
    Colour backColor;
    Colour foreColor;
    TextAlign align;
    bool border;     // a one-pixel single-line border (labels)
    bool underline;  // the caption font is underlined
    int tabIndex;    // 0..26; only visible scroll bars and buttons take focus
    bool visible;    // at creation
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
// and receives the clicks where they overlap. Containers come before the
// controls they hold.
std::span<const ControlLayout> FrmMainLayout();

// The control's name as the window writes it: "Label9", or "VScrollA(2)"
// for a member of a control array.
std::string ControlName(const ControlLayout& row);

// A twips rectangle at dpi dots per inch. Edges are rounded, not sizes, so
// neighbouring controls keep sharing their edges at any DPI.
PixelRect ToPixels(const TwipsRect& rect, int dpi);
int TwipsToPixels(int twips, int dpi);
