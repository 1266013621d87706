// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/report_sections.h"

#include <charconv>
#include <cmath>

#include "system/readers.h"

namespace ductsys {

std::array<TitleLine, 6> titleBlock(const DocumentSettings& settings, std::string_view today) {
    const std::string_view date = trimmed(settings.date);
    return {{
        {"工程名称", std::string(trimmed(settings.project))},
        {"子项/系统编号", std::string(trimmed(settings.systemName))},
        {"设计", std::string(trimmed(settings.designer))},
        {"校对", std::string(trimmed(settings.checker))},
        {"审核", std::string(trimmed(settings.reviewer))},
        {"日期", std::string(date.empty() ? today : date)},
    }};
}

std::vector<std::string> calculationBasis(bool industrialPreset) {
    std::vector<std::string> lines;
    for (const DesignCode& c : kDesignCodes)
        if (!c.industrial || industrialPreset)
            lines.push_back("《" + std::string(c.title) + "》" + std::string(c.code));
    return lines;
}

std::string calculationMethod(SizingMethod method) {
    switch (method) {
        case SizingMethod::velocity:
            return "假定流速法：按各管段的推荐风速选定标准尺寸，再计算各管段阻力、"
                   "最不利环路与各节点的不平衡率";
        case SizingMethod::friction:
            return "等摩阻法：按选定的比摩阻选定标准尺寸，再计算各管段阻力、"
                   "最不利环路与各节点的不平衡率";
        case SizingMethod::none:
            break;
    }
    return "校核计算：按给定的风管尺寸计算各管段的沿程阻力与局部阻力，"
           "求最不利环路阻力与各节点的不平衡率";
}

std::string frictionFormulaName(int formula) {
    if (formula == 2)
        return "公式二：λ = 0.0055 [1 + (20000 K/De + 10⁶/Re)^(1/3)]"
               "（Moody 近似式，Moody 1947）";
    return "公式一：λ = 0.25 / [lg(K / 3.71De) + 5.74 / (0.9 Re)]²"
           "（风速计算 窗口的公式一；对数只含粗糙度项，过渡区低于 Colebrook 式）";
}

std::vector<std::string> frictionFormulaNames(std::string_view inUse) {
    std::vector<std::string> lines;
    if (inUse.find('1') != std::string_view::npos) lines.push_back(frictionFormulaName(1));
    if (inUse.find('2') != std::string_view::npos) lines.push_back(frictionFormulaName(2));
    if (lines.empty()) lines.push_back(frictionFormulaName(1));
    return lines;
}

FanSelection fanSelection(const Fan& fan, std::optional<double> leakage) {
    FanSelection s;
    s.leakageGiven = leakage.has_value();
    s.leakage = leakage.value_or(0);
    s.margin = fan.margin;
    s.indexTotal = fan.indexTotal;
    s.pressure = fan.pressure;
    if (fan.airVolume) s.airVolume = *fan.airVolume * (1 + s.leakage);
    return s;
}

std::string fanSelectionLine(const FanSelection& s) {
    const auto figure = [](std::optional<double> x, int decimals) {
        return x && std::isfinite(*x) ? fixedText(*x, decimals) : std::string("—");
    };
    std::string line = "风机选型：风量 " + figure(s.airVolume, 0) + " m3/h（含漏风附加 " +
                       fixedText(s.leakage * 100, 1) + " %" +
                       (s.leakageGiven ? "" : "，未设定，按 0 计") + "），全压 " +
                       figure(s.pressure, 1) + " Pa（最不利环路 " + figure(s.indexTotal, 1) +
                       " Pa，余量 " + fixedText(s.margin * 100, 1) + " %）";
    return line;
}

int reportDecimals(FigureKey figure) {
    switch (figure) {
        case FigureKey::flow:
        case FigureKey::reynolds:
        case FigureKey::formula:
            return 0;
        case FigureKey::eqDiameter:
        case FigureKey::zeta:
            return 3;
        case FigureKey::velocity:
        case FigureKey::rm:
        case FigureKey::k:
            return 2;
        case FigureKey::lambda:
            return 4;
        case FigureKey::length:
        case FigureKey::frictionLoss:
        case FigureKey::velocityPressure:
        case FigureKey::localLoss:
        case FigureKey::dp:
        case FigureKey::total:
        case FigureKey::pathTotal:
        case FigureKey::runningTotal:
            return 1;
    }
    return 2;
}

std::string fixedText(double x, int decimals) {
    if (!std::isfinite(x)) return "—";
    char text[400];
    const auto r = std::to_chars(text, text + sizeof text, x, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return "—";
    std::string out(text, r.ptr);
    // A negative value that rounds to nothing is nothing.
    if (out.front() == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    return out;
}

std::string fixedFigure(FigureKey figure, std::optional<float> value) {
    if (!value) return {};
    return fixedText(static_cast<double>(*value), reportDecimals(figure));
}

std::string imbalanceText(double fraction) { return fixedText(fraction * 100, 1) + "%"; }

}  // namespace ductsys
