// SPDX-License-Identifier: GPL-3.0-or-later
// The window's description: every frame and control with its kind, name,
// frame, caption, geometry, tab index and initial settings. Data only; the
// builder (build_controls.cpp) turns it into widgets.
#pragma once

#include <span>

namespace ui {

enum class Kind { Frame, Label, TextBox, ComboBox, OptionButton, CheckBox, HScrollBar, PictureBox };

// Initial settings beyond caption and geometry.
enum Setting : unsigned {
    kNone = 0,
    kSelected = 1u << 0,  // option button selected
    kLocked = 1u << 1,    // text box read-only for the user
    kCentred = 1u << 2,   // label text centred
    kDisabled = 1u << 3,  // scroll bar with no range of its own
};

struct ControlDesc {
    Kind kind;
    const char* name;              // object name; "Option3_0" … for the control array
    const char* frame;             // name of the frame holding it; nullptr for a frame
    const char* caption;           // caption or initial text, UTF-8; nullptr for none
    int left, top, width, height;  // twips, relative to the frame (or window)
    int tabIndex;
    unsigned settings;
    const char* accessibleName;       // for inputs without a caption of their own
    int min = 0, max = 0, value = 0;  // scroll bars only
};

// Twips are 1/15 of a device-independent pixel.
constexpr int px(int twips) { return twips / 15; }

inline constexpr int kClientWidth = 8415;
inline constexpr int kClientHeight = 7335;

std::span<const ControlDesc> formDescription();

// The names of one material's controls, material by material in the order of
// calc::materials: its option, its roughness box and its scroll bar (nullptr
// for a material without one).
struct MaterialControls {
    const char* option;
    const char* box;
    const char* bar;
};
MaterialControls materialControls(int material);

}  // namespace ui
