// SPDX-License-Identifier: GPL-3.0-or-later
#include "report_xlsx.h"

#include <xlsxwriter.h>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "number_text.h"
#include "report.h"

namespace ductsys {

namespace {

// Fills: the index run in yellow, a junction over the limit in red.
constexpr lxw_color_t kIndexFill = 0xFFF2CC;
constexpr lxw_color_t kExceedsFill = 0xF8CBAD;
constexpr lxw_color_t kHeaderFill = 0xD9E1F2;

// An Excel number format that shows a number with the digits of `text`,
// the window's text of it: "8.841949" -> 0.000000, "117423" -> 0,
// "1.5E-05" -> 0.0E+00.
std::string numberFormat(std::string_view text) {
    const std::size_t e = text.find_first_of("Ee");
    const std::string_view mantissa = text.substr(0, e);
    const std::size_t point = mantissa.find('.');
    std::string format = "0";
    if (point != std::string_view::npos) {
        format += '.';
        format.append(mantissa.size() - point - 1, '0');
    }
    if (e != std::string_view::npos) format += "E+00";
    return format;
}

// The value a text of the window stands for, read back in double: the cell
// then holds the number its text shows.
double textNumber(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &local);
    return buffer;
}

class Workbook {
public:
    Workbook(const std::string& path, bool constantMemory) {
        lxw_workbook_options options{};
        options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
        options.use_zip64 = LXW_TRUE;
        book_ = workbook_new_opt(path.c_str(), &options);
    }
    ~Workbook() {
        // Closing also frees; a workbook given up on is closed into the
        // file that is removed afterwards.
        if (book_) workbook_close(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    bool ok() const { return book_ != nullptr && error_ == LXW_NO_ERROR; }
    lxw_workbook* get() { return book_; }

    lxw_error close() {
        lxw_error e = workbook_close(book_);
        book_ = nullptr;
        return e;
    }

    // A format: the number format (empty for text), bold, a fill (0: none).
    lxw_format* format(const std::string& numbers, bool bold, lxw_color_t fill) {
        const auto key = std::make_tuple(numbers, bold, fill);
        auto it = formats_.find(key);
        if (it != formats_.end()) return it->second;
        lxw_format* f = workbook_add_format(book_);
        if (!numbers.empty()) format_set_num_format(f, numbers.c_str());
        if (bold) format_set_bold(f);
        if (fill != 0) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, fill);
        }
        formats_.emplace(key, f);
        return f;
    }

    void check(lxw_error e) {
        if (e != LXW_NO_ERROR && error_ == LXW_NO_ERROR) error_ = e;
    }
    lxw_error error() const { return error_; }

private:
    lxw_workbook* book_ = nullptr;
    lxw_error error_ = LXW_NO_ERROR;
    std::map<std::tuple<std::string, bool, lxw_color_t>, lxw_format*> formats_;
};

// Writes a sheet's cells, counting the errors in the workbook.
class Sheet {
public:
    Sheet(Workbook& book, const char* name)
        : book_(book), sheet_(workbook_add_worksheet(book.get(), name)) {}

    void text(lxw_row_t row, lxw_col_t col, const std::string& text, bool bold = false,
              lxw_color_t fill = 0) {
        book_.check(worksheet_write_string(sheet_, row, col, text.c_str(),
                                           bold || fill ? book_.format({}, bold, fill) : nullptr));
    }
    // A figure as the window shows it: the number its text stands for,
    // formatted to show the same digits.
    void figure(lxw_row_t row, lxw_col_t col, std::optional<float> value, lxw_color_t fill = 0) {
        if (!value) {
            if (fill)
                book_.check(worksheet_write_blank(sheet_, row, col, book_.format({}, false, fill)));
            return;
        }
        const std::string shown = calc::bareNumberText(*value);
        book_.check(worksheet_write_number(sheet_, row, col, textNumber(shown),
                                           book_.format(numberFormat(shown), false, fill)));
    }
    // A number with a format of its own (a percentage, a setting).
    void number(lxw_row_t row, lxw_col_t col, double value, const std::string& format,
                lxw_color_t fill = 0) {
        book_.check(
            worksheet_write_number(sheet_, row, col, value, book_.format(format, false, fill)));
    }
    void width(lxw_col_t first, lxw_col_t last, double chars) {
        book_.check(worksheet_set_column(sheet_, first, last, chars, nullptr));
    }
    void freeze(lxw_row_t rows, lxw_col_t cols) { worksheet_freeze_panes(sheet_, rows, cols); }
    bool ok() const { return sheet_ != nullptr; }

private:
    Workbook& book_;
    lxw_worksheet* sheet_;
};

void writeSegments(Workbook& book, const SystemResult& result, msg::Language language) {
    Sheet sheet(book, "水力计算表");
    // Each figure headed by its caption, its symbol and its unit: "风速 v (m/s)".
    std::vector<std::string> headers;
    const auto head = [](std::string_view caption, std::string_view symbol, std::string_view unit) {
        std::string text(caption);
        if (!symbol.empty()) text.append(" ").append(symbol);
        if (!unit.empty()) text.append(" (").append(unit).append(")");
        return text;
    };
    for (const InputKey k : {InputKey::segment, InputKey::from, InputKey::to})
        headers.push_back(head(inputField(k).caption, {}, {}));
    for (std::size_t c = 0; c < kReportColumns; ++c) {
        const FigureField& f = figureField(kReportFigures[c]);
        headers.push_back(head(f.caption, f.symbol, f.workbookUnit()));
        if (c == rFlow)
            headers.push_back(
                head(inputField(InputKey::size).caption, {}, inputField(InputKey::size).unit));
    }
    headers.insert(headers.end(), {"最不利环路", "备注"});
    lxw_col_t col = 0;
    for (const std::string& h : headers) sheet.text(0, col++, h, true, kHeaderFill);
    sheet.freeze(1, 1);
    sheet.width(0, 2, 8);
    sheet.width(3, 17, 14);
    sheet.width(18, 18, 10);
    sheet.width(19, 19, 40);

    const std::vector<bool> onIndex = indexRunSegments(result);
    for (std::uint32_t s = 0; s < result.segments.size(); ++s) {
        const Segment& seg = result.segments[s];
        const lxw_row_t row = s + 1;
        const lxw_color_t fill = onIndex[s] ? kIndexFill : 0;
        const ReportValues v = reportValues(seg);
        sheet.text(row, 0, segmentLabel(result, s), false, fill);
        auto node = [&](std::uint32_t n) {
            return n == kNone ? std::string() : std::string(result.nodeNames[n]);
        };
        sheet.text(row, 1, node(seg.from), false, fill);
        sheet.text(row, 2, node(seg.to), false, fill);
        sheet.figure(row, 3, v[rFlow], fill);
        sheet.text(row, 4, sizeLabel(seg), false, fill);
        col = 5;
        for (int c = rEqDiameter; c <= rPathTotal; ++c) sheet.figure(row, col++, v[c], fill);
        sheet.text(row, col++, onIndex[s] ? "是" : "", false, fill);
        sheet.text(row, col, msg::renderList(seg.reason, language), false, fill);
    }
}

void writeLoops(Workbook& book, const SystemResult& result) {
    Sheet sheet(book, "环路");
    sheet.width(0, 0, 12);
    sheet.width(1, 1, 40);
    sheet.width(2, 4, 14);
    lxw_row_t row = 0;
    sheet.text(row, 0, "末端节点", true, kHeaderFill);
    sheet.text(row, 1, "管段（自风机起）", true, kHeaderFill);
    sheet.text(row, 2, "环路阻力 (Pa)", true, kHeaderFill);
    sheet.text(row, 3, "最不利环路", true, kHeaderFill);
    ++row;
    for (std::uint32_t outlet : result.outlets) {
        const bool index = outlet == result.fan.indexOutlet;
        const lxw_color_t fill = index ? kIndexFill : 0;
        std::string path;
        for (std::uint32_t s : result.pathTo(outlet)) {
            if (!path.empty()) path += ", ";
            path += segmentLabel(result, s);
        }
        const Segment& seg = result.segments[outlet];
        sheet.text(row, 0, std::string(result.nodeNames[seg.to]), false, fill);
        sheet.text(row, 1, path, false, fill);
        sheet.figure(row, 2, seg.has(Figure::pathTotal) ? asSingle(seg.pathTotal) : std::nullopt,
                     fill);
        sheet.text(row, 3, index ? "是" : "", false, fill);
        ++row;
    }

    ++row;
    sheet.text(row, 0, "分支节点", true, kHeaderFill);
    sheet.text(row, 1, "支路首段", true, kHeaderFill);
    sheet.text(row, 2, "支路阻力 (Pa)", true, kHeaderFill);
    sheet.text(row, 3, "不平衡率", true, kHeaderFill);
    sheet.text(row, 4, "超过限值", true, kHeaderFill);
    ++row;
    for (const Junction& j : result.junctions) {
        const lxw_color_t fill = j.flagged ? kExceedsFill : 0;
        for (std::uint32_t b = 0; b < j.branchCount; ++b) {
            const Branch& branch = result.branches[j.firstBranch + b];
            sheet.text(row, 0, b == 0 ? std::string(result.nodeNames[j.node]) : std::string(),
                       false, fill);
            sheet.text(row, 1, segmentLabel(result, branch.segment), false, fill);
            sheet.figure(row, 2, asSingle(branch.total), fill);
            if (b == 0) {
                if (j.imbalance)
                    sheet.number(row, 3, *j.imbalance, "0.0%", fill);
                else
                    sheet.text(row, 3, "", false, fill);
                sheet.text(row, 4, j.flagged ? "是" : "否", false, fill);
            } else {
                sheet.text(row, 3, "", false, fill);
                sheet.text(row, 4, "", false, fill);
            }
            ++row;
        }
    }
}

// 局部阻力明细: every fitting term of the ζ cells, with what it refers to
// and where its value comes from, so that a reviewer can trace each ζ.
void writeFittings(Workbook& book, const SystemResult& result) {
    namespace fit = fittings;
    Sheet sheet(book, "局部阻力明细");
    static const char* const kHeaders[] = {"段号", "局部阻力", "管件",  "参数", "数量",
                                           "ζ",    "参照速度", "本段ζ", "出处", "适用范围"};
    for (lxw_col_t c = 0; c < std::size(kHeaders); ++c) sheet.text(0, c, kHeaders[c], true);
    sheet.freeze(1, 0);
    sheet.width(0, 0, 10);
    sheet.width(1, 3, 24);
    sheet.width(8, 9, 40);
    lxw_row_t row = 1;
    for (const ZetaDetail& d : result.zetaDetails) {
        for (const TermResult& t : d.terms) {
            sheet.text(row, 0, segmentLabel(result, d.segment));
            sheet.text(row, 1, t.text);
            const fit::Fitting* f = t.id.empty() ? nullptr : fit::find(t.id);
            sheet.text(row, 2, f ? std::string(f->chinese) + " " + std::string(f->id) : "数值");
            sheet.text(row, 3, t.arguments);
            sheet.number(row, 4, t.count, "0");
            sheet.number(row, 5, t.zeta, "0.000");
            sheet.text(row, 6, std::string(fit::refersToCaption(t.refersTo)));
            if (t.onSegment) sheet.number(row, 7, *t.onSegment, "0.000");
            sheet.text(row, 8, t.source);
            sheet.text(row, 9, t.valid ? "是" : "否：" + t.note, false, t.valid ? 0 : kExceedsFill);
            ++row;
        }
    }
    if (row == 1) sheet.text(1, 0, "本系统的局部阻力系数均为数值，无管件。");
}

void writeNotes(Workbook& book, const SystemResult& result, const ReportInfo& info) {
    Sheet sheet(book, "说明");
    sheet.width(0, 0, 28);
    sheet.width(1, 1, 60);
    lxw_row_t row = 0;
    auto line = [&](const std::string& key, const std::string& value) {
        sheet.text(row, 0, key, true);
        sheet.text(row, 1, value);
        ++row;
    };
    auto figure = [&](const std::string& key, std::optional<double> value) {
        sheet.text(row, 0, key, true);
        sheet.figure(row, 1, asSingle(value));
        ++row;
    };
    auto setting = [&](const std::string& key, double value, const std::string& format) {
        sheet.text(row, 0, key, true);
        sheet.number(row, 1, value, format);
        ++row;
    };
    line("计算书", "风管水力计算");
    line("输入文件", info.source);
    line("日期", info.date.empty() ? today() : info.date);
    line("程序", info.program);
    ++row;
    line("空气状态", info.airGiven ? "按温度与压力计算" : "窗口的空气（20 °C, 101.325 kPa）");
    setting("空气温度 t (°C)", info.temperature, "General");
    setting("大气压力 p (kPa)", info.pressure, "General");
    sheet.text(row, 0, "空气密度 ρ (kg/m³)", true);
    sheet.number(row++, 1, textNumber(calc::shortestText(info.air.density)), "General");
    sheet.text(row, 0, "运动粘度 ν (m²/s)", true);
    sheet.number(row++, 1, info.air.viscosity, "0.000E+00");
    line("摩擦系数公式", info.formulas);
    ++row;
    const Fan& fan = result.fan;
    line("风机节点", fan.node == kNone ? std::string() : std::string(result.nodeNames[fan.node]));
    figure("风机风量 (m³/h)", fan.airVolume);
    figure("最不利环路阻力 (Pa)", fan.indexTotal);
    setting("附加率", fan.margin, "0%");
    figure("风机压力 (Pa)", fan.pressure);
    setting("并联支路不平衡率限值", result.maxImbalance, "0%");
    if (!fan.reason.empty()) line("备注", msg::renderList(fan.reason, info.language));
    ++row;
    sheet.text(row++, 0, "计算公式", true, kHeaderFill);
    const char* const kFormulas[][2] = {
        {"空气密度", "ρ = p / (287.05 · T)，T = t + 273.15 K"},
        {"动力粘度", "μ = 1.716e-5 · (T / 273.15)^1.5 · (273.15 + 110.4) / (T + 110.4) Pa·s"},
        {"运动粘度", "ν = μ / ρ"},
        {"海拔处的大气压力", "p = 101.325 · (1 − 2.25577e-5 · h)^5.25588 kPa"},
        {"风速", "v = L / (3600 · F)，F 为断面积 (m²)"},
        {"矩形风管当量直径", "De = 2ab / (a + b)"},
        {"雷诺数", "Re = v · De / ν"},
        {"摩擦系数（公式 1）",
         "λ = 0.25 / [lg(K / (3.71 De)) + 5.74 / (0.9 Re)]²，K = k / 1000 (m)"},
        {"摩擦系数（公式 2）", "λ = 0.0055 · [1 + (20 k / De + 10⁶ / Re)^(1/3)]，k 为粗糙度 (mm)"},
        {"比摩阻", "Rm = λ / De · ρ v² / 2 (Pa/m)"},
        {"动压", "Pd = ρ v² / 2 (Pa)"},
        {"局部阻力", "Z = Σζ · Pd (Pa)"},
        {"管段阻力", "ΔP = Rm · l + Z + Δp (Pa)"},
        {"环路阻力", "自风机至末端各管段阻力之和"},
        {"不平衡率", "(最大 − 最小) / 最大，各并联支路自分支节点至末端的最大环路阻力"},
        {"风机压力", "最不利环路阻力 × (1 + 附加率)"},
    };
    for (const auto& [name, formula] : kFormulas) line(name, formula);
}

}  // namespace

std::string writeXlsxReport(const SystemResult& result, const ReportInfo& info,
                            const std::string& path) {
    // Written under another name and moved in place whole, so that a failure
    // leaves no half workbook (nor a workbook of an earlier run) behind.
    const std::string partial = path + ".part";
    std::string problem;
    {
        // Large systems keep one row at a time in memory.
        Workbook book(partial, result.segments.size() > 10000);
        if (!book.ok()) {
            problem = "cannot create the workbook";
        } else {
            lxw_doc_properties properties{};
            properties.title = const_cast<char*>("风管水力计算书");
            properties.comments = const_cast<char*>(info.program.c_str());
            workbook_set_properties(book.get(), &properties);
            writeSegments(book, result, info.language);
            writeLoops(book, result);
            writeNotes(book, result, info);
            writeFittings(book, result);
            const lxw_error written = book.error();
            const lxw_error closed = book.close();
            if (written != LXW_NO_ERROR)
                problem = lxw_strerror(written);
            else if (closed != LXW_NO_ERROR)
                problem = lxw_strerror(closed);
        }
    }
    if (problem.empty() && std::rename(partial.c_str(), path.c_str()) != 0)
        problem = "cannot move the workbook in place";
    if (!problem.empty()) std::remove(partial.c_str());
    return problem;
}

}  // namespace ductsys
