// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts the program can use, chosen before Qt asks fontconfig anything.
//
// Reading the system's whole fontconfig configuration, and then listing every
// installed font, takes about as long as opening a bare window. The window
// draws with its built-in font and only falls back to a CJK font for a
// character that font lacks, so the program gives fontconfig a configuration
// of its own: the CJK fonts' folders, and every file of the system's and the
// user's configuration that sets how text is rendered (antialiasing, hinting,
// subpixel order, LCD filter, synthetic bold), so that text looks exactly as
// it does with the full configuration.
#pragma once

#include <string>
#include <vector>

namespace ui {

// Where the configuration's parts come from.
struct FontSources {
    std::string systemConfDir;                    // the system's conf.d, read in name order
    std::vector<std::string> fontFolders;         // CJK fallback folders; missing ones are left out
    std::vector<std::string> familiesOfInterest;  // configuration that names one is kept
};

// The system's conf.d and the folders of the window font's fallbacks
// (ui::windowFont() lists the same families): Debian's, the same fonts'
// folders in other distributions, /usr/local/share/fonts and the user's own
// font folders ($XDG_DATA_HOME/fonts or ~/.local/share/fonts, ~/.fonts).
FontSources systemFontSources();

// The configuration as fontconfig's XML, empty if the system's configuration
// folder cannot be read. Kept from conf.d: rendering defaults and options
// (files numbered 10 to 29), the files numbered 50 to 59 that load the
// user's and the local configuration, font synthesis (90 to 99), and any
// other file that names one of the families of interest.
std::string ownFontConfiguration(const FontSources& sources);

// Makes that configuration fontconfig's current one. Does nothing when the
// user has chosen a configuration (FONTCONFIG_FILE or FONTCONFIG_PATH set) or
// when it cannot be built; fontconfig then reads the system's as usual.
// Must run before the first font is looked up, that is before QApplication.
// Returns whether the program's own configuration is in use.
bool useOwnFontConfiguration();
// The same with the configuration built from `sources`.
bool useOwnFontConfiguration(const FontSources& sources);

}  // namespace ui
