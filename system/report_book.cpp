// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_book.h"

#include <charconv>
#include <cmath>
#include <ctime>

#include "number_text.h"

namespace ductsys {

namespace {

// The fields of the title block, in the order a reviewer reads them.
constexpr std::string DocumentSettings::*kTitleFields[] = {
    &DocumentSettings::project, &DocumentSettings::systemName, &DocumentSettings::designer,
    &DocumentSettings::checker, &DocumentSettings::reviewer,   &DocumentSettings::date,
};

std::string_view settingName(std::string DocumentSettings::*field) {
    for (const SettingName& n : kSettingNames)
        if (n.field == field) return n.name;
    return {};
}

// The friction formulas by number: name, expression and where it comes from.
struct FormulaSource {
    char number;
    std::string_view text;
};
constexpr FormulaSource kFormulaSources[] = {
    {'1',
     "公式一：λ = 0.25 / [lg(K / 3.71De) + 5.74 / (0.9Re)]²，计算器窗口的公式一"
     "（对数只含粗糙度项，接近完全粗糙区的值，过渡区偏低）"},
    {'2',
     "公式二：λ = 0.0055 · [1 + (20000 K / De + 10⁶ / Re)^(1/3)]，Moody 近似式"
     "（L. F. Moody, Mechanical Engineering, 1947），与 Colebrook–White 式相差 4% 以内"},
};

}  // namespace

std::vector<TitleLine> titleBlock(const DocumentSettings& document, const std::string& date) {
    std::vector<TitleLine> lines;
    for (const auto field : kTitleFields) {
        std::string value = document.*field;
        if (field == &DocumentSettings::date && value.empty()) value = date;
        lines.push_back({settingName(field), std::move(value)});
    }
    return lines;
}

bool hasTitle(const DocumentSettings& document) {
    for (const auto field : kTitleFields)
        if (field != &DocumentSettings::date && !(document.*field).empty()) return true;
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

std::string basisText(bool industrial) {
    std::string text = "GB 50736-2012《民用建筑供暖通风与空气调节设计规范》";
    if (industrial) text += "；GB 50019-2015《工业建筑供暖通风与空气调节设计规范》";
    return text;
}

std::string methodText(SizingMethod method) {
    switch (method) {
        case SizingMethod::velocity:
            return "假定流速法（按各管段的允许风速选择标准尺寸），并校核计算";
        case SizingMethod::friction:
            return "等摩阻法（按比摩阻上限选择标准尺寸），并校核计算";
        case SizingMethod::none:
            break;
    }
    return "校核计算（按给定尺寸计算各管段阻力）";
}

std::vector<std::string> formulaTexts(std::string_view formulasInUse) {
    std::vector<std::string> lines;
    for (const FormulaSource& f : kFormulaSources)
        if (formulasInUse.find(f.number) != std::string_view::npos) lines.emplace_back(f.text);
    if (lines.empty()) lines.emplace_back(kFormulaSources[0].text);
    return lines;
}

FanDuty fanDuty(const Fan& fan, double leakage, bool leakageGiven) {
    FanDuty duty;
    duty.systemVolume = fan.airVolume;
    if (fan.airVolume) duty.airVolume = *fan.airVolume * (1 + leakage);
    duty.leakage = leakage;
    duty.leakageGiven = leakageGiven;
    duty.indexTotal = fan.indexTotal;
    duty.pressure = fan.pressure;
    duty.margin = fan.margin;
    return duty;
}

std::string fixedText(double value, int decimals) {
    char text[64];
    const auto r =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, r.ptr);
}

std::string percentText(double fraction) {
    return calc::shortestText(static_cast<float>(fraction * 100));
}

double roundedUp(double figure) { return std::ceil(figure - 1e-9 * std::fabs(figure)); }

std::string fanSummary(const FanDuty& duty) {
    if (!duty.airVolume || !duty.pressure || !duty.indexTotal || !duty.systemVolume) return {};
    auto up = [](double x) { return fixedText(roundedUp(x), 0); };
    std::string text = "风机选型：风量 " + up(*duty.airVolume) + " m³/h（系统风量 " +
                       fixedText(*duty.systemVolume, 0) + " m³/h，漏风附加 " +
                       percentText(duty.leakage) + "%" + (duty.leakageGiven ? "" : "，未给定") +
                       "），全压 " + up(*duty.pressure) + " Pa（最不利环路阻力 " +
                       fixedText(*duty.indexTotal, 1) + " Pa，附加 " + percentText(duty.margin) +
                       "%）";
    return text;
}

std::string damperText(const Remedy& remedy) {
    std::string text = "阀门：附加阻力 " + fixedText(remedy.damperPressure, 1) + " Pa";
    if (remedy.damperZeta)
        text += "，阀门局部阻力系数 ζ " + fixedText(*remedy.damperZeta, 2) + "（以本段动压计）";
    else
        text += "（本段无动压，无法折算 ζ）";
    return text;
}

std::string resizeText(const Remedy& remedy) {
    if (remedy.resize.empty()) return "改尺寸：在允许风速内没有更小的标准尺寸能改善";
    return "改尺寸：" + remedy.resize + "，支路阻力 " + fixedText(remedy.resizeTotal, 1) +
           " Pa，剩余不平衡率 " + fixedText(remedy.resizeImbalance * 100, 1) + "%";
}

}  // namespace ductsys
