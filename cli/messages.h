// SPDX-License-Identifier: GPL-3.0-or-later
// How ductcalc-cli names itself and what went wrong, in its messages.
#pragma once

#include <string>
#include <string_view>

#include "calc/headless.h"
#include "messages/catalogue.h"
#include "system/readers.h"

namespace cli {

inline constexpr std::string_view kProgram = "ductcalc-cli";

// The language of the messages: English unless the environment asks for
// Chinese (LC_ALL, LC_MESSAGES or LANG, msg::languageFromEnvironment). The
// program sets it once, before any command runs; the commands run in
// process by the tests speak English.
msg::Language messageLanguage();
void setMessageLanguage(msg::Language language);

// A message, or messages, in the command line's language: one, each on a
// line of its own, or as a list of reasons.
std::string said(const msg::Message& message);
std::string saidLines(const msg::Messages& messages);
std::string saidList(const msg::Messages& messages);

// A text in double quotes, and what went wrong in a recalculation: the
// system layer words a segment's problems the same way.
using ductsys::failureReason;
using ductsys::quoted;

// The warning for a laminar flow (ductsys::isLaminar).
std::string laminarWarning(float reynolds);

}  // namespace cli
