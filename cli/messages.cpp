// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"
#include "number_text.h"

#include "number_texts.h"
#include "tables.h"

namespace cli {

namespace {
msg::Language language = msg::Language::english;
}  // namespace

msg::Language messageLanguage() { return language; }
void setMessageLanguage(msg::Language chosen) { language = chosen; }

std::string said(const msg::Message& message) { return msg::render(message, language); }
std::string saidLines(const msg::Messages& messages) {
    return msg::renderLines(messages, language);
}
std::string saidList(const msg::Messages& messages) { return msg::renderList(messages, language); }

std::string unitList() {
    std::string list;
    for (const calc::FlowUnit& unit : calc::flowUnits) {
        if (!list.empty()) list += ", ";
        list += unit.text;
    }
    return list;
}

std::string laminarWarning(float reynolds) {
    return said({msg::Code::laminarFlow, {calc::bareNumberText(reynolds)}});
}

}  // namespace cli
