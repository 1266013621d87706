// SPDX-License-Identifier: GPL-3.0-or-later
// The words of every message, in English and in Chinese, and the language
// a front end speaks. The windows speak Chinese; the command line speaks
// the language of its environment.
#pragma once

#include <string>
#include <string_view>

#include "messages/message.h"

namespace msg {

enum class Language { english, chinese };

// One row of the catalogue: a code's texts, with placeholders {1}, {2}, …
struct Entry {
    Code code;
    std::string_view name;  // the code's name, for tests and diagnostics
    std::string_view english;
    std::string_view chinese;
};

// Every row, in the order of Code.
const Entry* catalogueBegin();
const Entry* catalogueEnd();
const Entry& entry(Code code);

// The text of `message` in `language`, each placeholder replaced by its
// argument (a text as it stands, a message rendered in the same language).
// A placeholder without an argument stays as it stands.
std::string render(const Message& message, Language language);

// Lines, joined by '\n' (a box's warning, one point a line).
std::string renderLines(const Messages& messages, Language language);

// Reasons, joined by "; " in English and "；" in Chinese.
std::string renderList(const Messages& messages, Language language);

// The language of messages as POSIX chooses it: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty decides; a locale named
// zh or zh_* (zh_CN.UTF-8, zh_TW) speaks Chinese, any other English.
Language languageOfLocale(std::string_view locale);
Language languageFromEnvironment(const char* lcAll, const char* lcMessages, const char* lang);
// The same from the process's own environment.
Language languageFromEnvironment();

}  // namespace msg
