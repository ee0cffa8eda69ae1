#include "Controls.h"

#include <algorithm>
#include <utility>

void Control::Click() const {
    if (OnClick) {
        OnClick();
    }
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) {
        return;
    }
    visible_ = visible;
    Changed();
}

void Control::Changed() const {
    if (Redraw) {
        Redraw();
    }
}

void Label::SetCaption(std::wstring caption) {
    if (caption == caption_) {
        return;
    }
    caption_ = std::move(caption);
    Changed();
}

void Label::SetBackColor(Colour colour) {
    if (colour == backColor_) {
        return;
    }
    backColor_ = colour;
    Changed();
}

void Label::SetForeColor(Colour colour) {
    if (colour == foreColor_) {
        return;
    }
    foreColor_ = colour;
    Changed();
}

void Label::SetToolTip(std::wstring tip) {
    if (tip == toolTip_) {
        return;
    }
    toolTip_ = std::move(tip);
    Changed();
}

ScrollBar::ScrollBar(std::int16_t min, std::int16_t max, std::int16_t smallChange,
                     std::int16_t largeChange, std::int16_t value)
    : min_(min),
      max_(std::max(min, max)),
      smallChange_(smallChange),
      largeChange_(largeChange),
      value_(std::clamp(value, min_, max_)) {}

void ScrollBar::SetValue(std::int16_t position) {
    const std::int16_t clamped = std::clamp(position, min_, max_);
    if (clamped == value_) {
        return;
    }
    value_ = clamped;
    Changed();
    if (OnChange) {
        OnChange();
    }
}

void ScrollBar::Scroll(std::int16_t position) const {
    if (OnScroll) {
        OnScroll(std::clamp(position, min_, max_));
    }
}

void ScrollBar::EndScroll() const {
    if (OnEndScroll) {
        OnEndScroll();
    }
}
