// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts (the edit menu of a text box, a scroll bar's menu) in the
// windows' language.
#pragma once

namespace widgets {

// Loads Qt's Chinese translations from Qt's translations folder into the
// application. The window is Chinese whatever the user's regional settings,
// so the language is fixed. Returns false when the translations are not
// installed; Qt's texts then stay in English.
bool loadQtTranslations();

}  // namespace widgets
