// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/report_book.h"

#include <ctime>

#include "system/readers.h"

namespace ductsys {

bool hasTitle(const DocumentSettings& d) {
    for (const std::string* field :
         {&d.project, &d.systemName, &d.designer, &d.checker, &d.reviewer})
        if (!trimmed(*field).empty()) return true;
    return false;
}

std::string todayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &local);
    return buffer;
}

}  // namespace ductsys
