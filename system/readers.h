// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the texts of one segment as a designer types them, by the command
// line's rules: sizes "200", "φ200", "500x320", "500×320", "500*320"; plain
// numbers read whole; a sum of loss coefficients "0.3+0.25+1.0".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/headless.h"
#include "messages/message.h"
#include "system/table_file.h"

namespace ductsys {

// A column named in a message: its key in English, its caption in Chinese.
msg::Arg columnArg(Column column);

// What is wrong with a cell's text (or an option's): a code whose text
// takes the column ({1}) and the text as written ({2}).
struct CellProblem {
    msg::Code code;
    std::string text;
    msg::Messages why;  // said instead of `text`, when not empty
    CellProblem(msg::Code c, std::string t, msg::Messages w = {})
        : code(c), text(std::move(t)), why(std::move(w)) {}
    msg::Message in(msg::Arg column) const {
        msg::Message m{code, {std::move(column)}};
        if (why.empty())
            m.args.emplace_back(text);
        else
            m.args.emplace_back(why);
        return m;
    }
};

// Text with blanks, tabs and line ends removed at both ends.
std::string_view trimmed(std::string_view text);

// A duct size: "200" or "φ200" (also "Φ", "Ø", "ø", "ф", "Ф", "⌀", "D", "d")
// for a diameter, "500x320", "500X320", "500×320", "500*320", "500＊320" or
// "500 x 320" for two sides (长 first). Each number must read whole and is
// handed to the recalculation exactly as typed. None when the text is not a
// size ("50O", "500x32O").
struct SizeText {
    calc::Shape shape = calc::Shape::circular;
    std::string a;  // diameter or first side, mm
    std::string b;  // second side, mm; empty for a diameter
};
std::optional<SizeText> parseSize(std::string_view text);

// The factor (m3/h per unit) of a unit as people type it: the window's unit
// texts in any letter case, with "³" for "3" ("m³/h", "M3/H", "cfm", "L/s"),
// and the forms offices write them in ("CMH", "立方米/小时", "升/秒"). None for
// any other text.
std::optional<float> unitFactor(std::string_view text);

// The window's unit texts as a list for messages and help: "m3/h, m3/min, …".
std::string flowUnitList();

// A custom roughness K (mm) read whole: none, with `error` saying why, for a
// text that is empty, not wholly one number ("1,5", "0.1.2", "abc", "nan") or
// negative; a K outside 0.01-10 mm is held at the limit, as the window holds
// it, with `warning` saying so.
struct RoughnessRead {
    std::optional<float> k;
    std::optional<CellProblem> error;     // '"1,5" is not a number'
    std::optional<msg::Message> warning;  // 'k "20" is held to 10 mm (…)'
};
RoughnessRead readRoughness(std::string_view text);

// What is wrong with an air volume text for a table or a script: none when
// it reads whole and is not negative, otherwise the reason ('"1,5" is not a
// number', '"-100" is negative').
std::optional<CellProblem> flowProblem(std::string_view text);

// A number typed in a cell: empty reads 0; otherwise it must read whole and
// lie within the single range. On failure, `error` says why ("is not a
// number", "is beyond the range of the calculation") and the value is none.
struct NumberRead {
    std::optional<double> value;
    std::optional<CellProblem> error;
};
NumberRead readCellNumber(std::string_view text);

// A sum of loss coefficients, one term per fitting: "0.3+0.25+1.0". Each
// term is read as readCellNumber reads a number (an exponent's own sign,
// "1e+2", stays with its term); the sum is formed in double in the order
// written. Empty reads 0. On failure the value is none and `error` names the
// term.
// Terms may also be fittings (zeta_terms.h), which need their segment:
// such a cell is not a sum of numbers here.
NumberRead readZetaSum(std::string_view text);
struct ZetaCell;
NumberRead readZetaSum(const ZetaCell& cell);
// Whether a ζ text holds nothing but numbers, signs and "+" (read by
// readZetaSum alone, with no fitting in it).
bool plainZetaText(std::string_view text);

// What went wrong in a recalculation that left values undefined or had no
// section to carry the air; none when nothing did.
std::optional<msg::Message> failureReason(const calc::DuctResult& result,
                                          const calc::DuctInput& input);

// A number whose commas separate groups of exactly three digits, as office
// programs write it with a thousands separator ("1,800", "12,345.6",
// "-1,000"): the number without them. None for any other text, commas
// elsewhere included ("1,5", "1,80", "12,3456").
std::optional<std::string> withoutThousandsSeparators(std::string_view text);

// A text in double quotes, for a reason.
std::string quoted(std::string_view text);

}  // namespace ductsys
