// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout.h"

#include <array>
#include <cstddef>

#include "tables.h"

namespace ui {

namespace {

// A scroll bar's range and start value are its material's, kept in one place
// with the material's other figures.
constexpr int lo(std::size_t material) { return calc::materials[material].scrollMin; }
constexpr int hi(std::size_t material) { return calc::materials[material].scrollMax; }
constexpr int start(std::size_t material) { return calc::materials[material].scrollStart; }

// clang-format off
constexpr std::array kControls = std::to_array<ControlDesc>({
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

    // Materials: option, roughness box below it, scroll bar beside the box.
    {Kind::OptionButton, "Option3_0", "Frame4", "薄钢板", 120, 360, 975, 255, 20, kSelected, nullptr},
    {Kind::TextBox, "Text5", "Frame4", "0.16", 360, 720, 735, 270, 21, kLocked, "薄钢板 粗糙度"},
    {Kind::HScrollBar, "HScroll1", "Frame4", nullptr, 1080, 720, 495, 255, 22, kNone, "薄钢板 粗糙度", lo(0), hi(0), start(0)},
    {Kind::OptionButton, "Option3_1", "Frame4", "塑料板", 120, 1200, 975, 255, 23, kNone, nullptr},
    {Kind::TextBox, "Text6", "Frame4", "0.03", 360, 1560, 735, 270, 28, kLocked, "塑料板 粗糙度"},
    {Kind::HScrollBar, "HScroll2", "Frame4", nullptr, 1080, 1560, 495, 255, 29, kNone, "塑料板 粗糙度", lo(1), hi(1), start(1)},
    {Kind::OptionButton, "Option3_2", "Frame4", "矿渣石膏板", 120, 2040, 1455, 255, 24, kNone, nullptr},
    {Kind::TextBox, "Text7", "Frame4", "1.0", 360, 2400, 735, 270, 30, kLocked, "矿渣石膏板 粗糙度"},
    {Kind::HScrollBar, "HScroll3", "Frame4", nullptr, 1080, 2400, 495, 255, 49, kDisabled, "矿渣石膏板 粗糙度"},
    {Kind::OptionButton, "Option3_3", "Frame4", "矿渣混凝土板", 1920, 360, 1455, 255, 25, kNone, nullptr},
    {Kind::TextBox, "Text8", "Frame4", "1.5", 2160, 720, 735, 270, 31, kLocked, "矿渣混凝土板 粗糙度"},
    {Kind::HScrollBar, "HScroll4", "Frame4", nullptr, 2880, 720, 495, 255, 50, kDisabled, "矿渣混凝土板 粗糙度"},
    {Kind::OptionButton, "Option3_4", "Frame4", "胶合板", 1920, 1200, 975, 255, 26, kNone, nullptr},
    {Kind::TextBox, "Text9", "Frame4", "1.0", 2160, 1560, 735, 270, 32, kLocked, "胶合板 粗糙度"},
    {Kind::HScrollBar, "HScroll5", "Frame4", nullptr, 2880, 1560, 495, 255, 51, kDisabled, "胶合板 粗糙度"},
    {Kind::OptionButton, "Option3_5", "Frame4", "砖砌体", 1920, 2040, 975, 255, 27, kNone, nullptr},
    {Kind::TextBox, "Text10", "Frame4", "5", 2160, 2400, 735, 270, 33, kLocked, "砖砌体 粗糙度"},
    {Kind::HScrollBar, "HScroll6", "Frame4", nullptr, 2880, 2400, 495, 255, 34, kNone, "砖砌体 粗糙度", lo(5), hi(5), start(5)},
    {Kind::OptionButton, "Option3_6", "Frame4", "混凝土", 3720, 360, 975, 255, 41, kNone, nullptr},
    {Kind::TextBox, "Text11", "Frame4", "2", 3960, 720, 735, 270, 44, kLocked, "混凝土 粗糙度"},
    {Kind::HScrollBar, "HScroll7", "Frame4", nullptr, 4680, 720, 495, 255, 47, kNone, "混凝土 粗糙度", lo(6), hi(6), start(6)},
    {Kind::OptionButton, "Option3_7", "Frame4", "木板", 3720, 1200, 975, 255, 42, kNone, nullptr},
    {Kind::TextBox, "Text12", "Frame4", "0.6", 3960, 1560, 735, 270, 45, kLocked, "木板 粗糙度"},
    {Kind::HScrollBar, "HScroll8", "Frame4", nullptr, 4680, 1560, 495, 255, 48, kNone, "木板 粗糙度", lo(7), hi(7), start(7)},
    {Kind::OptionButton, "Option3_8", "Frame4", "自定义", 3720, 2040, 975, 255, 43, kNone, nullptr},
    {Kind::TextBox, "Text13", "Frame4", "10", 3960, 2400, 1215, 270, 46, kNone, "自定义 粗糙度"},

    // Friction-factor formula.
    {Kind::OptionButton, "Option4", "Frame5", "公式一", 120, 360, 2415, 255, 53, kSelected, nullptr},
    {Kind::PictureBox, "Picture1", "Frame5", nullptr, 600, 720, 2535, 1095, 55, kNone, "公式一"},
    {Kind::OptionButton, "Option5", "Frame5", "公式二", 120, 2280, 2415, 255, 54, kNone, nullptr},
    {Kind::PictureBox, "Picture2", "Frame5", nullptr, 600, 2640, 3495, 1095, 56, kNone, "公式二"},
});
// clang-format on

}  // namespace

std::span<const ControlDesc> formDescription() { return kControls; }

}  // namespace ui
