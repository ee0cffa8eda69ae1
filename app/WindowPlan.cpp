#include "WindowPlan.h"

#include <algorithm>
#include <cstddef>

#include "FrmMain.h"

namespace {

bool TakesFocus(const ControlLayout& row) {
    return row.visible && (row.control.kind == ControlKind::VScrollBar ||
                           row.control.kind == ControlKind::PushButton);
}

// A push button hidden at creation is the apply step's, never shown.
AccessibleRole AccessibleRoleOf(const ControlLayout& row, const Control& control) {
    switch (row.control.kind) {
        case ControlKind::Frame:
            return AccessibleRole::Grouping;
        case ControlKind::VScrollBar:
            return AccessibleRole::Slider;
        case ControlKind::PushButton:
            return row.visible ? AccessibleRole::Button : AccessibleRole::NotExposed;
        case ControlKind::Label:
            return control.OnClick ? AccessibleRole::Button : AccessibleRole::Text;
    }
    return AccessibleRole::NotExposed;
}

}  // namespace

std::vector<PlannedControl> PlanWindow(FrmMain& form) {
    const auto layout = FrmMainLayout();
    std::vector<PlannedControl> plan;
    plan.reserve(layout.size());
    for (const ControlLayout& row : layout) {
        const auto container = std::find_if(plan.begin(), plan.end(), [&](const PlannedControl& e) {
            return row.container != nullptr && e.control == &(form.*row.container);
        });
        const auto stackPlace = std::count_if(
            plan.begin(), plan.end(),
            [&](const PlannedControl& e) { return e.row->container == row.container; });
        const auto focusPlace = std::count_if(layout.begin(), layout.end(), [&](const auto& other) {
            return TakesFocus(other) && other.tabIndex < row.tabIndex;
        });
        plan.push_back({&row, &row.control.in(form),
                        container == plan.end() ? -1 : static_cast<int>(container - plan.begin()),
                        static_cast<int>(stackPlace),
                        TakesFocus(row) ? static_cast<int>(focusPlace) : -1,
                        AccessibleRoleOf(row, row.control.in(form))});
    }
    return plan;
}

ColourRole RoleOf(Colour colour) {
    const auto byte = [colour](int shift) { return static_cast<std::uint8_t>(colour >> shift); };
    if ((colour & kSystemColourFlag) != 0) {
        return {true, byte(0), 0, 0, 0};
    }
    return {false, 0, byte(0), byte(8), byte(16)};
}
