// SPDX-License-Identifier: GPL-3.0-or-later
// What happened, as the lower layers report it: a code and its arguments,
// without words. A front end chooses the words (messages/catalogue.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace msg {

// Every message the program can say, one per row of messages/catalogue.def.
enum class Code : std::uint16_t {
#define DUCTCALC_MESSAGE(code, english, chinese) code,
#include "messages/catalogue.def"
#undef DUCTCALC_MESSAGE
};

struct Arg;

// A code with its arguments, filled into the placeholders {1}, {2}, … of
// its text in the chosen language.
struct Message {
    Code code;
    std::vector<Arg> args;
    bool operator==(const Message& other) const;
};

// Several messages that belong together: the lines of a box's warning, the
// reasons a segment's figures are missing.
using Messages = std::vector<Message>;

// An argument: a text shown as it stands (a name, a number as the program
// shows it, the ignored part of a cell); a name that has a Chinese form of
// its own (a column's key and its caption, from the table that holds both);
// or messages of their own rendered in the same language (a list of
// segments), several joined as a list.
struct Arg {
    std::string text;
    std::string chinese;           // shown instead of `text` in Chinese, when not empty
    std::vector<Message> message;  // not empty when the argument is a message

    static Arg name(std::string_view english, std::string_view chinese) {
        Arg a(english);
        a.chinese = chinese;
        return a;
    }

    Arg(std::string t) : text(std::move(t)) {}
    Arg(std::string_view t) : text(t) {}
    Arg(const char* t) : text(t) {}
    Arg(Message m) : message{std::move(m)} {}
    explicit Arg(Messages m) : message(std::move(m)) {}
    Arg(Code word) : message{Message{word, {}}} {}
    template <typename Integer>
    requires std::is_integral_v<Integer> Arg(Integer n) : text(std::to_string(n)) {}
    bool operator==(const Arg& other) const = default;
};

inline bool Message::operator==(const Message& other) const {
    return code == other.code && args == other.args;
}

// Several messages said as one, joined as a list; one message as it is.
inline Message joined(Messages messages) {
    if (messages.size() == 1) return std::move(messages.front());
    return Message{Code::together, {Arg(std::move(messages))}};
}

}  // namespace msg
