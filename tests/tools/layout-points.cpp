// layout-points DPI
// Prints where the window's controls lie at DPI dots per inch, as the window
// plan places them, one "NAME LEFT TOP WIDTH HEIGHT" line each in pixels of
// the client area: first the client area itself, named FrmMain, then every
// control by its name in FrmMain, an array member as VScrollA(1). The
// end-to-end driver takes its clicks from here, for both front ends.
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "FakePlatformServices.h"
#include "FrmMain.h"
#include "WindowPlan.h"

namespace {

using Names = std::map<const Control*, std::string>;

template <typename Array>
void NameMembers(Names& names, const std::string& name, Array& array) {
    for (int index = Array::kFirst; index <= Array::kLast; ++index) {
        names[&array[index]] = name + '(' + std::to_string(index) + ')';
    }
}

Names ControlNames(FrmMain& f) {
    Names names{{&f.Frame1, "Frame1"}, {&f.Frame2, "Frame2"},  {&f.Command1, "Command1"},
                {&f.Label1, "Label1"}, {&f.Label2, "Label2"},  {&f.Label3, "Label3"},
                {&f.Label4, "Label4"}, {&f.Label7, "Label7"},  {&f.Label8, "Label8"},
                {&f.Label9, "Label9"}, {&f.Label10, "Label10"}};
    NameMembers(names, "Command2", f.Command2);
    NameMembers(names, "VScrollA", f.VScrollA);
    NameMembers(names, "Label5", f.Label5);
    NameMembers(names, "Label6", f.Label6);
    return names;
}

void Print(const std::string& name, const PixelRect& rect) {
    std::cout << name << ' ' << rect.left << ' ' << rect.top << ' ' << rect.width << ' '
              << rect.height << '\n';
}

}  // namespace

int main(int argc, char* argv[]) {
    const int dpi = argc == 2 ? std::atoi(argv[1]) : 0;
    if (dpi <= 0) {
        std::cerr << "usage: layout-points DPI\n";
        return 2;
    }
    FakePlatformServices platform({});
    FrmMain form(platform);
    const Names names = ControlNames(form);
    Print("FrmMain", ToPixels({0, 0, kClientWidthTwips, kClientHeightTwips}, dpi));
    // A control's place is its row's, from the corner of the frame that holds it.
    std::vector<PixelRect> placed;
    for (const PlannedControl& entry : PlanWindow(form)) {
        PixelRect rect = ToPixels(entry.row->rect, dpi);
        if (entry.container >= 0) {
            rect.left += placed[entry.container].left;
            rect.top += placed[entry.container].top;
        }
        placed.push_back(rect);
        const auto name = names.find(entry.control);
        Print(name == names.end() ? "unnamed" : name->second, rect);
    }
    return 0;
}
