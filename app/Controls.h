#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

// The window's controls as plain objects, independent of any toolkit. The
// event semantics of the window live here, once, for both front ends:
// - a program's assignment of a different scroll bar position runs the
//   change handler at once, nested, and returns only when it has finished;
//   assigning the position the bar already has runs nothing;
// - a front end reports a user's committed input through the same calls
//   (SetValue, Click), and redraws a control when its Redraw hook runs.

// A colour 0x00BBGGRR, or 0x800000nn for the system colour with index nn,
// looked up whenever the control is drawn.
using Colour = std::uint32_t;

inline constexpr Colour kSystemColourFlag = 0x80000000;
inline constexpr Colour kWindowBackground = 0x80000005;
inline constexpr Colour kWindowText = 0x80000008;
inline constexpr Colour kButtonFace = 0x8000000F;
inline constexpr Colour kButtonText = 0x80000012;
inline constexpr Colour kYellow = 0x0000FFFF;
inline constexpr Colour kRed = 0x000000FF;

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    // The window's handler for a click; set by FrmMain, empty when the
    // control's clicks do nothing.
    std::function<void()> OnClick;
    // The front end's hook, run after any property of the control changed.
    std::function<void()> Redraw;

    // Reports a click (by the user, or a program's direct call).
    void Click() const;

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

protected:
    void Changed() const;

private:
    bool visible_ = true;
};

class Label : public Control {
public:
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring caption);
    Colour BackColor() const { return backColor_; }
    void SetBackColor(Colour colour);
    Colour ForeColor() const { return foreColor_; }
    void SetForeColor(Colour colour);
    // Shown while the pointer rests on the label; empty for none.
    const std::wstring& ToolTip() const { return toolTip_; }
    void SetToolTip(std::wstring tip);

private:
    std::wstring caption_;
    std::wstring toolTip_;
    Colour backColor_ = kButtonFace;
    Colour foreColor_ = kButtonText;
};

// A group box; a container whose visibility hides and shows its controls.
// Its tag is a text the program keeps with it and never shows.
class Frame : public Control {
public:
    const std::wstring& Tag() const { return tag_; }
    void SetTag(std::wstring tag) { tag_ = std::move(tag); }

private:
    std::wstring tag_;
};

class PushButton : public Control {};

// A vertical scroll bar: minimum at the top, maximum at the bottom.
class ScrollBar : public Control {
public:
    ScrollBar(std::int16_t min, std::int16_t max, std::int16_t smallChange,
              std::int16_t largeChange, std::int16_t value);

    // The window's handler for a change of position; set by FrmMain.
    std::function<void()> OnChange;
    // The window's handlers for a drag of the thumb: OnScroll is given the
    // position under the thumb while it moves, nothing being committed;
    // OnEndScroll runs when the drag is over, after its release has been
    // reported through SetValue. Set by FrmMain.
    std::function<void(std::int16_t)> OnScroll;
    std::function<void()> OnEndScroll;

    std::int16_t Value() const { return value_; }
    // Moves to position (clamped to Min..Max). A different position is
    // stored, redrawn and then reported to OnChange before this returns;
    // the same position reports nothing.
    void SetValue(std::int16_t position);
    // Reports the thumb dragged to position (clamped to Min..Max); the
    // position stays as it is.
    void Scroll(std::int16_t position) const;
    // Reports the end of a drag.
    void EndScroll() const;

    std::int16_t Min() const { return min_; }
    std::int16_t Max() const { return max_; }
    std::int16_t SmallChange() const { return smallChange_; }
    std::int16_t LargeChange() const { return largeChange_; }

private:
    std::int16_t min_;
    std::int16_t max_;
    std::int16_t smallChange_;
    std::int16_t largeChange_;
    std::int16_t value_;
};

// Controls of one kind that share a name and are told apart by an index
// from First to Last, as the window's control arrays are. Every member is
// made from the same constructor arguments.
template <typename T, int First, int Last>
class ControlArray {
public:
    using value_type = T;
    static constexpr int kFirst = First;
    static constexpr int kLast = Last;

    static constexpr bool Holds(int index) { return index >= First && index <= Last; }

    template <typename... Args>
    explicit ControlArray(const Args&... args)
        : ControlArray(std::make_index_sequence<kCount>(), args...) {}

    // index must be one the array holds.
    T& operator[](int index) { return items_[static_cast<std::size_t>(index - First)]; }
    const T& operator[](int index) const { return items_[static_cast<std::size_t>(index - First)]; }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    static constexpr std::size_t kCount = Last - First + 1;

    template <std::size_t... I, typename... Args>
    ControlArray(std::index_sequence<I...> /*each*/, const Args&... args)
        : items_{{((void)I, T(args...))...}} {}

    std::array<T, kCount> items_;
};
