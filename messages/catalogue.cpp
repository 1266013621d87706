// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/catalogue.h"

#include <cstdlib>
#include <iterator>

namespace msg {

namespace {

constexpr Entry kCatalogue[] = {
#define DUCTCALC_MESSAGE(code, english, chinese) {Code::code, #code, english, chinese},
#include "messages/catalogue.def"
#undef DUCTCALC_MESSAGE
};

constexpr bool inCodeOrder() {
    for (std::size_t i = 0; i < std::size(kCatalogue); ++i)
        if (static_cast<std::size_t>(kCatalogue[i].code) != i) return false;
    return true;
}
static_assert(inCodeOrder(), "entry() finds a code's row by its value");

std::string_view listSeparator(Language language) {
    return language == Language::chinese ? "；" : "; ";
}

void renderInto(std::string& out, const Message& message, Language language) {
    const Entry& e = entry(message.code);
    const std::string_view text = language == Language::chinese ? e.chinese : e.english;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('{', at);
        if (open == std::string_view::npos) break;
        out.append(text, at, open - at);
        // A placeholder is '{', a digit 1 to 9 and '}'.
        if (open + 2 < text.size() && text[open + 1] >= '1' && text[open + 1] <= '9' &&
            text[open + 2] == '}') {
            const auto index = static_cast<std::size_t>(text[open + 1] - '1');
            if (index < message.args.size()) {
                const Arg& arg = message.args[index];
                if (!arg.message.empty())
                    for (std::size_t m = 0; m < arg.message.size(); ++m) {
                        if (m > 0) out += listSeparator(language);
                        renderInto(out, arg.message[m], language);
                    }
                else if (language == Language::chinese && !arg.chinese.empty())
                    out += arg.chinese;
                else
                    out += arg.text;
            } else {
                out.append(text, open, 3);
            }
            at = open + 3;
        } else {
            out += '{';
            at = open + 1;
        }
    }
    if (at < text.size()) out.append(text, at);
}

std::string join(const Messages& messages, Language language, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (i > 0) out += separator;
        renderInto(out, messages[i], language);
    }
    return out;
}

}  // namespace

const Entry* catalogueBegin() { return std::begin(kCatalogue); }
const Entry* catalogueEnd() { return std::end(kCatalogue); }

const Entry& entry(Code code) { return kCatalogue[static_cast<std::size_t>(code)]; }

std::string render(const Message& message, Language language) {
    std::string out;
    renderInto(out, message, language);
    return out;
}

std::string renderLines(const Messages& messages, Language language) {
    return join(messages, language, "\n");
}

std::string renderList(const Messages& messages, Language language) {
    return join(messages, language, listSeparator(language));
}

Language languageOfLocale(std::string_view locale) {
    if (locale == "zh" || locale.substr(0, 3) == "zh_") return Language::chinese;
    return Language::english;
}

Language languageFromEnvironment(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang})
        if (value && *value) return languageOfLocale(value);
    return Language::english;
}

Language languageFromEnvironment() {
    return languageFromEnvironment(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                   std::getenv("LANG"));
}

}  // namespace msg
