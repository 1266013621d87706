// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts (the edit menu of a text box, a scroll bar's menu) in the
// window's language.
#pragma once

namespace ui {

// Loads Qt's Chinese translations from Qt's translations folder into the
// application. The window is Chinese whatever the user's regional settings,
// so the language is fixed. Returns false when the translations are not
// installed; Qt's texts then stay in English.
bool loadQtTranslations();

}  // namespace ui
