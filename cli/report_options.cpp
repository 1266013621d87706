// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/report_options.h"

#include <CLI/CLI.hpp>

#include <cmath>

#include "cli/messages.h"
#include "system/readers.h"

namespace cli {

void addReportOptions(CLI::App& command, ReportOptions& options) {
    command.add_option("--project", options.project,
                       "工程名称 of the 计算书's title block (a file's 工程名称 row otherwise)");
    command.add_option("--system-name", options.systemName,
                       "子项/系统编号 of the title block (a file's 子项/系统编号 row otherwise)");
    command.add_option("--designer", options.designer, "设计: who designed the system");
    command.add_option("--checker", options.checker, "校对: who checked the calculation");
    command.add_option("--reviewer", options.reviewer, "审核: who reviewed it");
    command.add_option("--date", options.date,
                       "日期 of the title block (default: a file's 日期 row, else today, "
                       "YYYY-MM-DD)");
    command
        .add_option("--leakage", options.leakage,
                    "leakage allowance added to the fan's air volume, as a fraction (0.1 for "
                    "10 %; default: a file's 漏风附加 row in %, else 0)")
        ->check(CLI::Range(0.0, 1.0));
}

void RowInputs::add(std::string_view material, std::string_view k, std::string_view formula) {
    materials.append(ductsys::trimmed(material));
    roughness.append(ductsys::trimmed(k));
    formulas.append(ductsys::trimmed(formula));
}

ductsys::SegmentInputs RowInputs::of(std::uint32_t segment) const {
    ductsys::SegmentInputs given;
    if (segment >= materials.size()) return given;
    given.material = std::string(materials[segment]);
    given.k = std::string(roughness[segment]);
    given.formula = std::string(formulas[segment]);
    return given;
}

void keepReportRows(const ductsys::TableHeader& header, FileReportRows& rows) {
    for (const ductsys::SettingRow& s : header.settings) {
        const ductsys::SettingName* n = ductsys::settingNamed(s.name);
        if (!n) continue;
        const auto field = n->field;
        using D = ductsys::DocumentSettings;
        if (field == &D::project || field == &D::systemName || field == &D::designer ||
            field == &D::checker || field == &D::reviewer || field == &D::date) {
            rows.document.*field = s.value;
        } else if (field == &D::leakage) {
            rows.document.leakage = s.value;
            rows.leakageLine = s.line;
        }
    }
}

bool reportSettings(const ReportOptions& options, const FileReportRows& rows,
                    const std::string& fileName, ductsys::ReportInfo& info, std::ostream& err) {
    ductsys::DocumentSettings& d = info.document;
    d = rows.document;
    auto take = [](std::string& field, const std::optional<std::string>& option) {
        if (option) field = *option;
    };
    take(d.project, options.project);
    take(d.systemName, options.systemName);
    take(d.designer, options.designer);
    take(d.checker, options.checker);
    take(d.reviewer, options.reviewer);
    take(d.date, options.date);
    if (d.date.empty()) d.date = ductsys::todayText();
    info.date = d.date;
    if (options.leakage) {
        info.leakage = *options.leakage;
        return true;
    }
    std::string_view text = ductsys::trimmed(rows.document.leakage);
    if (text.empty()) return true;
    // The row is a percentage, as the grid writes it: "10" or "10%".
    if (text.back() == '%') text = ductsys::trimmed(text.substr(0, text.size() - 1));
    const ductsys::NumberRead read = ductsys::readCellNumber(text);
    if (text.empty() || !read.value || !(*read.value >= 0 && *read.value <= 100)) {
        err << kProgram << ": " << fileName;
        if (rows.leakageLine > 0) err << ':' << rows.leakageLine;
        err << ": "
            << said({msg::Code::cliLeakageNotPercentage,
                     {"漏风附加", ductsys::trimmed(rows.document.leakage)}})
            << '\n';
        return false;
    }
    info.leakage = *read.value / 100;
    return true;
}

}  // namespace cli
