#include "WindowDpi.h"

namespace {

constexpr int kPointsPerInch = 72;

PixelRect ClientRectAt(UINT dpi) {
    return ToPixels({0, 0, kClientWidthTwips, kClientHeightTwips}, static_cast<int>(dpi));
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

}  // namespace

UINT DpiOf(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi == 0 ? USER_DEFAULT_SCREEN_DPI : dpi;
}

SIZE WindowSizeAt(UINT dpi) {
    const PixelRect client = ClientRectAt(dpi);
    RECT outer{0, 0, client.width, client.height};
    AdjustWindowRectExForDpi(&outer, kMainStyle, FALSE, kMainExStyle, dpi);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void FitClientArea(HWND window, UINT dpi) {
    const PixelRect wanted = ClientRectAt(dpi);
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    if (client.right == wanted.width && client.bottom == wanted.height) {
        return;
    }
    const int width = (outer.right - outer.left) + wanted.width - client.right;
    const int height = (outer.bottom - outer.top) + wanted.height - client.bottom;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT PrimaryWorkArea() {
    RECT area{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0) == FALSE) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return area;
}

CaptionFonts::CaptionFonts(UINT dpi)
    : plain(CreateCaptionFont(dpi, false)), underlined(CreateCaptionFont(dpi, true)) {}

HFONT CaptionFonts::For(const ControlLayout& row) const {
    return row.underline ? underlined.Get() : plain.Get();
}
