// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading_warning.h"

#include "number_reading.h"

namespace calc {

std::string readingWarning(std::string_view text, Quantity quantity) {
    const Reading reading = readNumber(text);
    std::string lines;
    auto line = [&lines](std::string_view text) {
        if (!lines.empty()) lines += '\n';
        lines += text;
    };
    if (!reading.whole()) {
        if (reading.number.empty())
            line("未读到数字，按 0 计算；忽略了“" + reading.ignored + "”");
        else
            line("只读取了 " + reading.number + "，忽略了“" + reading.ignored + "”");
    }
    if (!reading.value) {
        line("数值 " + reading.number + " 超出可计算的范围");
    } else if (*reading.value < 0 && quantity != Quantity::Roughness) {
        line(quantity == Quantity::AirVolume ? "风量为负数：" + reading.number
                                             : "风管尺寸为负数：" + reading.number);
    }
    return lines;
}

}  // namespace calc
