// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/messages.h"
#include "calc/number_text.h"

#include "calc/tables.h"
#include "cli/number_texts.h"

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

std::string laminarWarning(float reynolds) {
    return said({msg::Code::laminarFlow, {calc::bareNumberText(reynolds)}});
}

}  // namespace cli
