// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/layout.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

#include "calc/tables.h"

namespace ui {

namespace {

// Where each material's controls lie in the roughness frame, in the order of
// calc::materials: the option, the roughness box below it and the scroll bar
// beside the box. Captions, roughness texts, accessible names and scroll
// ranges are the material's own, taken from its row there; a new material
// needs its row there and its place here.
struct MaterialPlace {
    const char* option;
    int optionLeft, optionTop, optionWidth, optionTab;
    const char* box;
    int boxLeft, boxTop, boxWidth, boxTab;
    const char* bar;  // nullptr: no scroll bar beside the box
    int barLeft, barTop, barTab;
};

// clang-format off
constexpr MaterialPlace kMaterialPlaces[] = {
    {"Option3_0", 120, 360, 975, 20,    "Text5", 360, 720, 735, 21,     "HScroll1", 1080, 720, 22},
    {"Option3_1", 120, 1200, 975, 23,   "Text6", 360, 1560, 735, 28,    "HScroll2", 1080, 1560, 29},
    {"Option3_2", 120, 2040, 1455, 24,  "Text7", 360, 2400, 735, 30,    "HScroll3", 1080, 2400, 49},
    {"Option3_3", 1920, 360, 1455, 25,  "Text8", 2160, 720, 735, 31,    "HScroll4", 2880, 720, 50},
    {"Option3_4", 1920, 1200, 975, 26,  "Text9", 2160, 1560, 735, 32,   "HScroll5", 2880, 1560, 51},
    {"Option3_5", 1920, 2040, 975, 27,  "Text10", 2160, 2400, 735, 33,  "HScroll6", 2880, 2400, 34},
    {"Option3_6", 3720, 360, 975, 41,   "Text11", 3960, 720, 735, 44,   "HScroll7", 4680, 720, 47},
    {"Option3_7", 3720, 1200, 975, 42,  "Text12", 3960, 1560, 735, 45,  "HScroll8", 4680, 1560, 48},
    {"Option3_8", 3720, 2040, 975, 43,  "Text13", 3960, 2400, 1215, 46, nullptr, 0, 0, 0},
};
// clang-format on
static_assert(std::size(kMaterialPlaces) == calc::materials.size());

constexpr int kOptionHeight = 255;
constexpr int kBoxHeight = 270;
constexpr int kBarWidth = 495;
constexpr int kBarHeight = 255;

// clang-format off
constexpr std::array kBeforeMaterials = std::to_array<ControlDesc>({
    // Frames lie directly in the window.
    {Kind::Frame, "Frame4", nullptr, "各种材料的粗糙度 K  （单位：mm）", 120, 120, 5415, 2895, 19, kNone, nullptr},
    {Kind::Frame, "Frame2", nullptr, "风管尺寸（mm）", 5760, 120, 2535, 2895, 3, kNone, nullptr},
    {Kind::Frame, "Frame5", nullptr, "沿程阻力系数计算公式", 120, 3240, 4335, 3975, 52, kNone, nullptr},
    {Kind::Frame, "Frame1", nullptr, "风量", 4680, 3240, 3615, 855, 0, kNone, nullptr},
    {Kind::Frame, "Frame3", nullptr, "计算结果", 4680, 4320, 3615, 2895, 16, kNone, nullptr},

    // Air volume.
    {Kind::TextBox, "Text1", "Frame1", "Text1", 120, 360, 1695, 300, 1, kNone, "风量"},
    {Kind::ComboBox, "Combo1", "Frame1", nullptr, 1920, 360, 1575, 300, 2, kNone, "风量单位"},

    // Duct shape and size; each list shares its place with a text box.
    {Kind::CheckBox, "Check1", "Frame2", "非标尺寸", 240, 240, 1095, 375, 6, kNone, nullptr},
    {Kind::OptionButton, "Option1", "Frame2", "圆形风管", 240, 600, 1095, 375, 4, kSelected, nullptr},
    {Kind::Label, "Label1", "Frame2", "直径", 480, 1080, 615, 300, 8, kNone, nullptr},
    {Kind::ComboBox, "Combo2", "Frame2", nullptr, 1080, 1080, 1335, 300, 13, kNone, "直径"},
    {Kind::TextBox, "Text2", "Frame2", "Text2", 1080, 1080, 1335, 270, 7, kNone, "直径"},
    {Kind::OptionButton, "Option2", "Frame2", "矩形风管", 240, 1440, 1095, 375, 5, kNone, nullptr},
    {Kind::Label, "Label2", "Frame2", "长", 480, 1920, 375, 255, 9, kNone, nullptr},
    {Kind::ComboBox, "Combo3", "Frame2", nullptr, 1080, 1920, 1335, 300, 14, kNone, "长"},
    {Kind::TextBox, "Text3", "Frame2", "Text3", 1080, 1920, 1335, 270, 11, kNone, "长"},
    {Kind::Label, "Label3", "Frame2", "宽", 480, 2400, 375, 255, 10, kNone, nullptr},
    {Kind::ComboBox, "Combo4", "Frame2", nullptr, 1080, 2400, 1335, 300, 15, kNone, "宽"},
    {Kind::TextBox, "Text4", "Frame2", "Text4", 1080, 2400, 1335, 270, 12, kNone, "宽"},

    // Results: a caption label and a value label on each row.
    {Kind::Label, "Label12", "Frame3", "粗 糙 度", 120, 360, 855, 255, 58, kCentred, nullptr},
    {Kind::Label, "Label13", "Frame3", "Label13", 1200, 360, 2295, 255, 57, kNone, "粗糙度"},
    {Kind::Label, "Label9", "Frame3", "风    量", 120, 720, 855, 255, 39, kCentred, nullptr},
    {Kind::Label, "Label10", "Frame3", " 0  m3/h", 1200, 720, 2295, 255, 35, kNone, "风量"},
    {Kind::Label, "Label4", "Frame3", "风管尺寸", 120, 1080, 855, 255, 38, kCentred, nullptr},
    {Kind::Label, "Label6", "Frame3", "Label6", 1200, 1080, 2295, 255, 17, kNone, "风管尺寸"},
    {Kind::Label, "Label16", "Frame3", "当量直径", 120, 1440, 855, 255, 61, kCentred, nullptr},
    {Kind::Label, "Label17", "Frame3", "Label17", 1200, 1440, 2175, 255, 62, kNone, "当量直径"},
    {Kind::Label, "Label5", "Frame3", "风    速", 120, 1800, 855, 255, 37, kCentred, nullptr},
    {Kind::Label, "Label7", "Frame3", "Label7", 1200, 1800, 2295, 255, 18, kNone, "风速"},
    {Kind::Label, "Label14", "Frame3", "雷 诺 数", 120, 2160, 855, 255, 59, kCentred, nullptr},
    {Kind::Label, "Label15", "Frame3", "Label15", 1200, 2160, 2175, 255, 60, kNone, "雷诺数"},
    {Kind::Label, "Label8", "Frame3", "比 摩 阻", 120, 2520, 855, 255, 40, kCentred, nullptr},
    {Kind::Label, "Label11", "Frame3", " 0  Pa/m", 1200, 2520, 2295, 255, 36, kNone, "比摩阻"},

    // The materials come next, from kMaterialPlaces.
});

// The friction-factor formulas follow the materials.
constexpr std::array kAfterMaterials = std::to_array<ControlDesc>({
    // Friction-factor formula.
    {Kind::OptionButton, "Option4", "Frame5", "公式一", 120, 360, 2415, 255, 53, kSelected, nullptr},
    {Kind::PictureBox, "Picture1", "Frame5", nullptr, 600, 720, 2535, 1095, 55, kNone, "公式一"},
    {Kind::OptionButton, "Option5", "Frame5", "公式二", 120, 2280, 2415, 255, 54, kNone, nullptr},
    {Kind::PictureBox, "Picture2", "Frame5", nullptr, 600, 2640, 3495, 1095, 56, kNone, "公式二"},
});
// clang-format on

}  // namespace

namespace {

// The texts of the material rows, held for the life of the program: the
// descriptions point into them.
struct MaterialTexts {
    std::string caption, roughness, accessibleName;
};

std::vector<ControlDesc> describeWindow() {
    static const std::array<MaterialTexts, calc::materials.size()> texts = [] {
        std::array<MaterialTexts, calc::materials.size()> t;
        for (std::size_t i = 0; i < t.size(); ++i) {
            const calc::Material& m = calc::materials[i];
            t[i] = {std::string(m.caption), std::string(m.defaultK),
                    std::string(m.caption) + " 粗糙度"};
        }
        return t;
    }();

    std::vector<ControlDesc> controls(kBeforeMaterials.begin(), kBeforeMaterials.end());
    for (std::size_t i = 0; i < calc::materials.size(); ++i) {
        const calc::Material& m = calc::materials[i];
        const MaterialPlace& at = kMaterialPlaces[i];
        const MaterialTexts& t = texts[i];
        // The window opens with the first material chosen; the custom
        // roughness is the one box the user types in.
        const bool custom = static_cast<int>(i) == calc::kCustomMaterial;
        controls.push_back({Kind::OptionButton, at.option, "Frame4", t.caption.c_str(),
                            at.optionLeft, at.optionTop, at.optionWidth, kOptionHeight,
                            at.optionTab, i == 0 ? kSelected : kNone, nullptr});
        controls.push_back({Kind::TextBox, at.box, "Frame4", t.roughness.c_str(), at.boxLeft,
                            at.boxTop, at.boxWidth, kBoxHeight, at.boxTab, custom ? kNone : kLocked,
                            t.accessibleName.c_str()});
        if (at.bar) {
            // A material without a scroll range of its own has a bar that
            // does nothing.
            controls.push_back({Kind::HScrollBar, at.bar, "Frame4", nullptr, at.barLeft, at.barTop,
                                kBarWidth, kBarHeight, at.barTab, m.hasScroll ? kNone : kDisabled,
                                t.accessibleName.c_str(), m.hasScroll ? m.scrollMin : 0,
                                m.hasScroll ? m.scrollMax : 0, m.hasScroll ? m.scrollStart : 0});
        }
    }
    controls.insert(controls.end(), kAfterMaterials.begin(), kAfterMaterials.end());
    return controls;
}

}  // namespace

std::span<const ControlDesc> formDescription() {
    static const std::vector<ControlDesc> controls = describeWindow();
    return controls;
}

MaterialControls materialControls(int material) {
    const MaterialPlace& at = kMaterialPlaces[static_cast<std::size_t>(material)];
    return {at.option, at.box, at.bar};
}

}  // namespace ui
