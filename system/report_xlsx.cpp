// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/report_xlsx.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "calc/number_text.h"
#include "messages/catalogue.h"
#include "system/report.h"
#include "system/report_sections.h"

namespace ductsys {

namespace {

// Fills: the index run in yellow, a junction over the limit in red.
constexpr lxw_color_t kIndexFill = 0xFFF2CC;
constexpr lxw_color_t kExceedsFill = 0xF8CBAD;
constexpr lxw_color_t kHeaderFill = 0xD9E1F2;

// The most characters a cell holds.
constexpr std::size_t kCellChars = 32767;

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

// The number of UTF-8 characters of `text`.
std::size_t characters(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// A text a cell can hold: longer ones are cut at a character's start, and
// say so at their end.
std::string cellText(const std::string& text) {
    if (text.size() <= kCellChars || characters(text) <= kCellChars) return text;
    static constexpr std::string_view kCut = "…（过长，已截断）";
    const std::size_t room = kCellChars - characters(kCut);
    std::size_t at = 0, chars = 0;
    while (at < text.size() && chars < room) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
        ++chars;
    }
    return text.substr(0, at) + std::string(kCut);
}

// A1 reference of a cell: "Q12".
std::string cellName(lxw_row_t row, lxw_col_t col) {
    std::string letters;
    for (unsigned c = col + 1; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row + 1);
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

    // A format: the number format (empty for text), bold, a fill (0: none),
    // thin borders round the cell.
    lxw_format* format(const std::string& numbers, bool bold, lxw_color_t fill, bool border = false,
                       bool wrap = false) {
        const auto key = std::make_tuple(numbers, bold, fill, border, wrap);
        auto it = formats_.find(key);
        if (it != formats_.end()) return it->second;
        lxw_format* f = workbook_add_format(book_);
        if (!numbers.empty()) format_set_num_format(f, numbers.c_str());
        if (bold) format_set_bold(f);
        if (fill != 0) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, fill);
        }
        if (border) format_set_border(f, LXW_BORDER_THIN);
        if (wrap) {
            format_set_text_wrap(f);
            format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
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
    std::map<std::tuple<std::string, bool, lxw_color_t, bool, bool>, lxw_format*> formats_;
};

// How a cell looks: bold, its fill, borders.
struct Look {
    bool bold = false;
    lxw_color_t fill = 0;
    bool border = false;
    bool wrap = false;  // the text wraps within the cell's width
};

// Writes a sheet's cells, counting the errors in the workbook.
class Sheet {
public:
    Sheet(Workbook& book, const char* name)
        : book_(book), sheet_(workbook_add_worksheet(book.get(), name)) {}

    void text(lxw_row_t row, lxw_col_t col, const std::string& text, bool bold = false,
              lxw_color_t fill = 0) {
        cell(row, col, text, {bold, fill, false});
    }
    void cell(lxw_row_t row, lxw_col_t col, const std::string& text, Look look) {
        lxw_format* f = look.bold || look.fill || look.border || look.wrap
                            ? book_.format({}, look.bold, look.fill, look.border, look.wrap)
                            : nullptr;
        if (text.empty()) {
            if (f) book_.check(worksheet_write_blank(sheet_, row, col, f));
            return;
        }
        book_.check(worksheet_write_string(sheet_, row, col, cellText(text).c_str(), f));
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
                lxw_color_t fill = 0, bool border = false) {
        book_.check(worksheet_write_number(sheet_, row, col, value,
                                           book_.format(format, false, fill, border)));
    }
    // A value, or an empty cell of the same look when there is none.
    void value(lxw_row_t row, lxw_col_t col, std::optional<double> value, const std::string& format,
               Look look) {
        if (value && std::isfinite(*value))
            number(row, col, *value, format, look.fill, look.border);
        else
            cell(row, col, {}, look);
    }
    // A live formula with its value computed here cached beside it.
    void formula(lxw_row_t row, lxw_col_t col, const std::string& formula, double value,
                 const std::string& format, Look look) {
        book_.check(worksheet_write_formula_num(sheet_, row, col, formula.c_str(),
                                                book_.format(format, false, look.fill, look.border),
                                                value));
    }
    void width(lxw_col_t first, lxw_col_t last, double chars) {
        book_.check(worksheet_set_column(sheet_, first, last, chars, nullptr));
    }
    void height(lxw_row_t row, double points) {
        book_.check(worksheet_set_row(sheet_, row, points, nullptr));
    }
    void freeze(lxw_row_t rows, lxw_col_t cols) { worksheet_freeze_panes(sheet_, rows, cols); }
    // A4 landscape, one page wide, `header` repeated on every page, and a
    // footer naming the project and the page.
    void printReady(std::optional<lxw_row_t> header, const std::string& project) {
        worksheet_set_landscape(sheet_);
        worksheet_set_paper(sheet_, 9);  // A4
        worksheet_fit_to_pages(sheet_, 1, 0);
        worksheet_set_margins(sheet_, 0.4, 0.4, 0.6, 0.6);
        if (header) book_.check(worksheet_repeat_rows(sheet_, *header, *header));
        // "&" starts a code in a footer: a project's own is doubled. The
        // footer holds 255 characters; a long name is cut.
        std::string name;
        std::size_t chars = 0;
        for (std::size_t i = 0; i < project.size() && chars < 180; ++i) {
            const char c = project[i];
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
            if (chars >= 180) break;
            name += c;
            if (c == '&') name += '&';
        }
        const std::string footer = "&L" + name + "&R第 &P 页 共 &N 页";
        book_.check(worksheet_set_footer(sheet_, footer.c_str()));
    }
    bool ok() const { return sheet_ != nullptr; }

private:
    Workbook& book_;
    lxw_worksheet* sheet_;
};

// The first sheet's name, as formulas of the other sheets name it.
constexpr std::string_view kTableSheet = "水力计算表";

// The columns of the table's segment rows.
enum TableColumn : lxw_col_t {
    cSegment,
    cFrom,
    cTo,
    cFlow,
    cSize,
    cEqDiameter,
    cVelocity,
    cReynolds,
    cLambda,
    cRm,
    cLength,
    cFrictionLoss,
    cVelocityPressure,
    cZeta,
    cLocalLoss,
    cDp,
    cTotal,
    cPathTotal,
    cIndexRun,
    cMaterial,
    cRoughness,
    cFormula,
    cRemark,
    cProblem,
    kTableColumns
};
// A column's number format: its figures show the decimals a 计算书 gives
// them, whatever their size.
std::string columnFormat(ReportColumn column) {
    const int decimals = reportDecimals(kReportFigures[column]);
    return decimals > 0 ? "0." + std::string(static_cast<std::size_t>(decimals), '0') : "0";
}

// Where a segment's figures stand in the table, and the values its sums
// have as the formulas compute them from the cells (in double, as a
// spreadsheet does), so that a reviewer's recalculation changes nothing.
struct TableCells {
    lxw_row_t firstRow = 0;  // of the first segment
    std::vector<std::optional<double>> total, pathTotal;
    lxw_row_t rowOf(std::uint32_t segment) const { return firstRow + segment; }
    std::string ref(std::uint32_t segment, lxw_col_t col, bool otherSheet) const {
        const std::string cell = cellName(rowOf(segment), col);
        return otherSheet ? "'" + std::string(kTableSheet) + "'!" + cell : cell;
    }
};

// The segment's figures as the cells hold them: the program's own values,
// singles widened to double.
struct RowValues {
    std::optional<double> flow, eqDiameter, velocity, reynolds, lambda, rm, length, frictionLoss,
        velocityPressure, zeta, localLoss, dp, total;
};
RowValues rowValues(const Segment& seg) {
    RowValues v;
    auto f = [&](Figure figure, double value) -> std::optional<double> {
        return seg.has(figure) ? std::optional<double>(value) : std::nullopt;
    };
    v.flow = f(Figure::flow, seg.flow);
    v.eqDiameter = f(Figure::eqDiameter, seg.eqDiameter);
    v.velocity = f(Figure::velocity, seg.velocity);
    v.reynolds = f(Figure::reynolds, seg.reynolds);
    v.lambda = f(Figure::lambda, seg.lambda);
    v.rm = f(Figure::rm, seg.rm);
    v.length = f(Figure::length, seg.length);
    v.frictionLoss = f(Figure::frictionLoss, seg.frictionLoss);
    v.velocityPressure = f(Figure::velocityPressure, seg.velocityPressure);
    v.zeta = f(Figure::zeta, seg.zeta);
    v.localLoss = f(Figure::localLoss, seg.localLoss);
    v.dp = f(Figure::dp, seg.dp);
    v.total = f(Figure::total, seg.total);
    return v;
}

// The title block, the basis, the method, the air and the formula, from
// `row` on; returns the row after them.
lxw_row_t writeHeading(Sheet& sheet, lxw_row_t row, const SystemResult& result,
                       const ReportInfo& info) {
    sheet.text(row++, 0, "风管水力计算书", true);
    const std::string date = info.date.empty() ? todayText() : info.date;
    for (const TitleLine& line : titleBlock(info.document, date)) {
        sheet.text(row, 0, std::string(line.caption), true);
        sheet.text(row, 2, line.value);
        ++row;
    }
    ++row;
    auto line = [&](const std::string& name, const std::string& value) {
        sheet.text(row, 0, name, true);
        sheet.text(row, 2, value);
        ++row;
    };
    bool first = true;
    for (const std::string& text : calculationBasis(info.industrial)) {
        line(first ? "计算依据" : "", text);
        first = false;
    }
    line("计算方法", calculationMethod(info.method));
    std::string air = calc::shortestText(static_cast<float>(info.temperature)) + " °C";
    if (info.altitude) air += "，海拔 " + fixedText(*info.altitude, 0) + " m";
    air += "，大气压力 " + calc::shortestText(static_cast<float>(info.pressure)) + " kPa，密度 " +
           calc::shortestText(static_cast<float>(info.air.density)) + " kg/m³，运动粘度 " +
           calc::shortestText(static_cast<float>(info.air.viscosity)) + " m²/s";
    if (!info.airGiven) air += "（计算器窗口的空气）";
    line("空气状态", air);
    first = true;
    for (const std::string& text : frictionFormulaNames(info.formulas)) {
        line(first ? "摩擦系数公式" : "", text);
        first = false;
    }
    line("不平衡率限值", imbalanceText(result.maxImbalance));
    return row + 1;
}

// The fan's selection below the table: its air volume with the leakage
// allowance, the index run's total and the pressure with its margin, the
// sums as live formulas over the table.
void writeFanBlock(Sheet& sheet, lxw_row_t row, const SystemResult& result, const ReportInfo& info,
                   const TableCells& cells) {
    const Fan& fan = result.fan;
    const FanSelection duty = fanSelection(fan, info.leakage);
    auto name = [&](const std::string& text) { sheet.text(row, 0, text, true); };
    name("风机");
    sheet.text(row++, 2,
               fan.node == kNone ? std::string() : std::string(result.nodeNames[fan.node]));
    name("系统风量 (m³/h)");
    const lxw_row_t volumeRow = row;
    sheet.value(row++, 2, fan.airVolume, "0", {});
    name("漏风附加");
    const lxw_row_t leakageRow = row;
    sheet.number(row, 2, duty.leakage, "0.0%");
    if (!duty.leakageGiven) sheet.text(row, 3, "未给定，按 0 计");
    ++row;
    name("风机风量 (m³/h)");
    if (fan.airVolume)
        sheet.formula(row, 2, "=" + cellName(volumeRow, 2) + "*(1+" + cellName(leakageRow, 2) + ")",
                      *fan.airVolume * (1 + duty.leakage), "0", {});
    ++row;
    name("最不利环路阻力 (Pa)");
    const lxw_row_t indexRow = row;
    std::optional<double> indexTotal;
    if (fan.indexTotal && fan.indexOutlet != kNone && cells.pathTotal[fan.indexOutlet]) {
        std::string formula = "=" + cells.ref(fan.indexOutlet, cPathTotal, false);
        indexTotal = *cells.pathTotal[fan.indexOutlet];
        if (fan.indexInlet != kNone && cells.pathTotal[fan.indexInlet]) {
            formula += "+" + cells.ref(fan.indexInlet, cPathTotal, false);
            *indexTotal += *cells.pathTotal[fan.indexInlet];
        }
        sheet.formula(row, 2, formula, *indexTotal, "0.0", {});
    }
    ++row;
    name("风机压力附加率");
    const lxw_row_t marginRow = row;
    sheet.number(row++, 2, fan.margin, "0.0%");
    name("风机压力 (Pa)");
    if (indexTotal)
        sheet.formula(row, 2, "=" + cellName(indexRow, 2) + "*(1+" + cellName(marginRow, 2) + ")",
                      *indexTotal * (1 + fan.margin), "0.0", {});
    ++row;
    name("风机选型");
    sheet.text(row++, 2, fanSelectionLine(duty));
}

void writeSegments(Workbook& book, const SystemResult& result, const ReportInfo& info,
                   TableCells& cells) {
    Sheet sheet(book, kTableSheet.data());
    const lxw_row_t headerRow = writeHeading(sheet, 0, result, info);
    // Each figure headed by its caption, its symbol and its unit: "风速 v (m/s)".
    std::vector<std::string> headers;
    for (const InputKey k : {InputKey::segment, InputKey::from, InputKey::to})
        headers.push_back(chineseHeading(inputField(k)));
    for (std::size_t c = 0; c < kReportColumns; ++c) {
        headers.push_back(chineseHeading(figureField(kReportFigures[c])));
        if (c == rFlow) headers.push_back(chineseHeading(inputField(InputKey::size)));
    }
    headers.emplace_back(kIndexRunMark.caption);
    for (const InputKey k : {InputKey::material, InputKey::k, InputKey::formula})
        headers.push_back(chineseHeading(inputField(k)));
    headers.insert(headers.end(), {std::string(kRemarkMark.caption), "问题"});
    lxw_col_t col = 0;
    sheet.height(headerRow, 45);  // three lines of a wrapped caption
    for (const std::string& h : headers)
        sheet.cell(headerRow, col++, h, {true, kHeaderFill, true, true});
    sheet.freeze(headerRow + 1, 1);
    sheet.width(0, 2, 8);
    sheet.width(cFlow, cPathTotal, 10);
    sheet.width(cSize, cSize, 11);
    sheet.width(cIndexRun, cFormula, 8);
    sheet.width(cRemark, cRemark, 16);
    sheet.width(cProblem, cProblem, 30);
    sheet.printReady(headerRow, info.document.project);

    // The sums' values as the formulas give them, the segments before
    // their parents' path totals are known taken in the tree's order.
    const std::uint32_t count = static_cast<std::uint32_t>(result.segments.size());
    cells.firstRow = headerRow + 1;
    cells.total.assign(count, std::nullopt);
    cells.pathTotal.assign(count, std::nullopt);
    std::vector<std::optional<double>> friction(count), local(count);
    for (std::uint32_t s = 0; s < count; ++s) {
        const Segment& seg = result.segments[s];
        const RowValues v = rowValues(seg);
        if (v.rm && v.length && v.frictionLoss) friction[s] = *v.rm * *v.length;
        if (v.zeta && v.velocityPressure && v.localLoss) local[s] = *v.zeta * *v.velocityPressure;
        if (friction[s] && local[s] && v.dp && v.total)
            cells.total[s] = *friction[s] + *local[s] + *v.dp;
    }
    std::vector<std::uint8_t> done(count, 0);
    std::vector<std::uint32_t> chain;
    for (std::uint32_t s = 0; s < count; ++s) {
        // Up to the nearest segment whose path total is known, then down.
        for (std::uint32_t at = s; at != kNone && at < count && !done[at];
             at = result.segments[at].parent) {
            chain.push_back(at);
            done[at] = 1;
        }
        while (!chain.empty()) {
            const std::uint32_t at = chain.back();
            chain.pop_back();
            const Segment& seg = result.segments[at];
            if (!seg.has(Figure::pathTotal) || !cells.total[at]) continue;
            if (seg.parent == kNone)
                cells.pathTotal[at] = cells.total[at];
            else if (seg.parent < count && cells.pathTotal[seg.parent])
                cells.pathTotal[at] = *cells.pathTotal[seg.parent] + *cells.total[at];
        }
    }

    const std::vector<bool> onIndex = indexRunSegments(result);
    for (std::uint32_t s = 0; s < count; ++s) {
        const Segment& seg = result.segments[s];
        const lxw_row_t row = cells.rowOf(s);
        const Look look{false, onIndex[s] ? kIndexFill : 0, true};
        const RowValues v = rowValues(seg);
        auto node = [&](std::uint32_t n) {
            return n == kNone ? std::string() : std::string(result.nodeNames[n]);
        };
        auto format = [](ReportColumn c) { return columnFormat(c); };
        auto ref = [&](lxw_col_t c) { return cellName(row, c); };
        sheet.cell(row, cSegment, segmentLabel(result, s), look);
        sheet.cell(row, cFrom, node(seg.from), look);
        sheet.cell(row, cTo, node(seg.to), look);
        sheet.value(row, cFlow, v.flow, format(rFlow), look);
        sheet.cell(row, cSize, sizeLabel(seg), look);
        sheet.value(row, cEqDiameter, v.eqDiameter, format(rEqDiameter), look);
        sheet.value(row, cVelocity, v.velocity, format(rVelocity), look);
        sheet.value(row, cReynolds, v.reynolds, format(rReynolds), look);
        sheet.value(row, cLambda, v.lambda, format(rLambda), look);
        sheet.value(row, cRm, v.rm, format(rRm), look);
        sheet.value(row, cLength, v.length, format(rLength), look);
        if (friction[s])
            sheet.formula(row, cFrictionLoss, "=" + ref(cRm) + "*" + ref(cLength), *friction[s],
                          format(rFrictionLoss), look);
        else
            sheet.value(row, cFrictionLoss, v.frictionLoss, format(rFrictionLoss), look);
        sheet.value(row, cVelocityPressure, v.velocityPressure, format(rVelocityPressure), look);
        sheet.value(row, cZeta, v.zeta, format(rZeta), look);
        if (local[s])
            sheet.formula(row, cLocalLoss, "=" + ref(cZeta) + "*" + ref(cVelocityPressure),
                          *local[s], format(rLocalLoss), look);
        else
            sheet.value(row, cLocalLoss, v.localLoss, format(rLocalLoss), look);
        sheet.value(row, cDp, v.dp, format(rDp), look);
        if (cells.total[s])
            sheet.formula(row, cTotal,
                          "=" + ref(cFrictionLoss) + "+" + ref(cLocalLoss) + "+" + ref(cDp),
                          *cells.total[s], format(rTotal), look);
        else
            sheet.value(row, cTotal, v.total, format(rTotal), look);
        if (cells.pathTotal[s])
            sheet.formula(row, cPathTotal,
                          seg.parent == kNone
                              ? "=" + ref(cTotal)
                              : "=" + cells.ref(seg.parent, cPathTotal, false) + "+" + ref(cTotal),
                          *cells.pathTotal[s], format(rPathTotal), look);
        else
            sheet.value(
                row, cPathTotal,
                seg.has(Figure::pathTotal) ? std::optional<double>(seg.pathTotal) : std::nullopt,
                format(rPathTotal), look);
        sheet.cell(row, cIndexRun, onIndex[s] ? "是" : "", look);
        // The inputs as the row gave them; the roughness and formula the
        // segment was computed with where the row names none.
        SegmentInputs given;
        if (info.inputs) given = info.inputs(s);
        sheet.cell(row, cMaterial, given.material, look);
        if (!given.k.empty())
            sheet.cell(row, cRoughness, given.k, look);
        else
            sheet.value(row, cRoughness,
                        seg.roughness > 0
                            ? std::optional<double>(textNumber(calc::shortestText(seg.roughness)))
                            : std::nullopt,
                        "General", look);
        sheet.cell(row, cFormula,
                   given.formula.empty() ? std::to_string(seg.formula) : given.formula, look);
        // The row's own remark, kept with its segment by the reader.
        sheet.cell(row, cRemark,
                   given.remark.empty() ? std::string(result.remark(s)) : given.remark, look);
        sheet.cell(row, cProblem, msg::renderList(seg.reason, msg::Language::chinese), look);
    }
    writeFanBlock(sheet, cells.rowOf(count) + 1, result, info, cells);
}

// The outlets beyond `segment` (it included), at most `most` of them; none
// when there are more, or when finding them would look at more segments
// than `budget` has left (it is spent by what is looked at, so that a
// large system's junctions together stay within it).
std::optional<std::vector<std::uint32_t>> outletsBeyond(
    const std::vector<std::vector<std::uint32_t>>& children, std::uint32_t segment,
    std::size_t most, std::size_t& budget) {
    std::vector<std::uint32_t> outlets, stack{segment};
    while (!stack.empty()) {
        const std::uint32_t s = stack.back();
        stack.pop_back();
        if (budget == 0) return std::nullopt;
        --budget;
        if (children[s].empty()) {
            if (outlets.size() == most) return std::nullopt;
            outlets.push_back(s);
        }
        for (const std::uint32_t c : children[s]) stack.push_back(c);
    }
    return outlets;
}

void writeLoops(Workbook& book, const SystemResult& result, const ReportInfo& info,
                const TableCells& cells) {
    Sheet sheet(book, "环路");
    sheet.width(0, 0, 12);
    sheet.width(1, 1, 40);
    sheet.width(2, 4, 14);
    sheet.width(5, 6, 14);
    sheet.width(7, 8, 16);
    lxw_row_t row = 0;
    sheet.printReady(std::nullopt, info.document.project);
    sheet.text(row, 0, "末端节点", true, kHeaderFill);
    sheet.text(row, 1, "管段（自风机起）", true, kHeaderFill);
    sheet.text(row, 2, "环路阻力 (Pa)", true, kHeaderFill);
    sheet.text(row, 3, "最不利环路", true, kHeaderFill);
    ++row;
    for (std::uint32_t outlet : result.outlets) {
        const bool index = outlet == result.fan.indexOutlet || outlet == result.fan.indexInlet;
        const lxw_color_t fill = index ? kIndexFill : 0;
        std::vector<std::string> labels;
        std::size_t chars = 0;
        for (std::uint32_t s : result.pathTo(outlet)) {
            labels.push_back(segmentLabel(result, s));
            chars += characters(labels.back()) + 2;
        }
        const Segment& seg = result.segments[outlet];
        sheet.text(row, 0, std::string(result.nodeNames[seg.to]), false, fill);
        if (cells.pathTotal[outlet])
            sheet.formula(row, 2, "=" + cells.ref(outlet, cPathTotal, true),
                          *cells.pathTotal[outlet], "0.0", {false, fill, false});
        else
            sheet.figure(row, 2,
                         seg.has(Figure::pathTotal) ? asSingle(seg.pathTotal) : std::nullopt, fill);
        sheet.text(row, 3, index ? "是" : "", false, fill);
        if (chars <= kCellChars) {
            std::string path;
            for (const std::string& label : labels) {
                if (!path.empty()) path += ", ";
                path += label;
            }
            sheet.text(row++, 1, path, false, fill);
        } else {
            // A run longer than a cell holds: one segment to a row.
            for (const std::string& label : labels) sheet.text(row++, 1, label, false, fill);
        }
    }

    // Which segments lie beyond each, for the branches' largest totals.
    const std::uint32_t count = static_cast<std::uint32_t>(result.segments.size());
    std::vector<std::vector<std::uint32_t>> children;
    if (!result.junctions.empty()) {
        children.resize(count);
        for (std::uint32_t s = 0; s < count; ++s) {
            const std::uint32_t p = result.segments[s].parent;
            if (p != kNone && p < count) children[p].push_back(s);
        }
    }
    // The segments looked at to name the outlets in the branches' formulas:
    // beyond this, a branch's total is written as a value.
    std::size_t budget = 4'000'000;
    std::map<std::uint32_t, std::vector<const Remedy*>> remediesOf;  // by junction
    if (info.remedies)
        for (const Remedy& r : *info.remedies) remediesOf[r.junction].push_back(&r);

    ++row;
    sheet.text(row, 0, "分支节点", true, kHeaderFill);
    sheet.text(row, 1, "支路首段", true, kHeaderFill);
    sheet.text(row, 2, "支路阻力 (Pa)", true, kHeaderFill);
    sheet.text(row, 3, "不平衡率", true, kHeaderFill);
    sheet.text(row, 4, "超过限值", true, kHeaderFill);
    sheet.text(row, 5, "阀门附加阻力 (Pa)", true, kHeaderFill);
    sheet.text(row, 6, "阀门 ζ（本段动压）", true, kHeaderFill);
    sheet.text(row, 7, "或改尺寸 (mm)", true, kHeaderFill);
    sheet.text(row, 8, "改后不平衡率", true, kHeaderFill);
    ++row;
    for (std::uint32_t ji = 0; ji < result.junctions.size(); ++ji) {
        const Junction& j = result.junctions[ji];
        const lxw_color_t fill = j.flagged ? kExceedsFill : 0;
        const Look look{false, fill, false};
        // Each branch's largest total: the largest path total beyond it,
        // less the path total up to the junction, as a formula while the
        // outlets beyond it are few enough to name.
        const lxw_row_t first = row, last = row + j.branchCount - 1;
        std::vector<std::optional<double>> totals(j.branchCount);
        bool live = true;
        std::vector<std::string> formulas(j.branchCount);
        for (std::uint32_t b = 0; b < j.branchCount && live; ++b) {
            const Branch& branch = result.branches[j.firstBranch + b];
            const auto outlets =
                branch.total ? outletsBeyond(children, branch.segment, 200, budget) : std::nullopt;
            if (!outlets || outlets->empty()) {
                live = false;
                break;
            }
            std::string formula = "=MAX(";
            std::optional<double> largest;
            for (std::size_t o = 0; o < outlets->size(); ++o) {
                const std::uint32_t outlet = (*outlets)[o];
                if (!cells.pathTotal[outlet]) {
                    live = false;
                    break;
                }
                formula += (o == 0 ? "" : ",") + cells.ref(outlet, cPathTotal, true);
                largest =
                    std::max(largest.value_or(*cells.pathTotal[outlet]), *cells.pathTotal[outlet]);
            }
            formula += ")";
            const std::uint32_t parent = result.segments[branch.segment].parent;
            if (parent != kNone) {
                if (!cells.pathTotal[parent]) live = false;
                if (!live) break;
                formula += "-" + cells.ref(parent, cPathTotal, true);
                *largest -= *cells.pathTotal[parent];
            }
            if (!live) break;
            totals[b] = largest;
            formulas[b] = formula;
        }
        const std::string range = cellName(first, 2) + ":" + cellName(last, 2);
        double most = 0, least = 0;
        if (live)
            for (std::uint32_t b = 0; b < j.branchCount; ++b) {
                most = b == 0 ? *totals[b] : std::max(most, *totals[b]);
                least = b == 0 ? *totals[b] : std::min(least, *totals[b]);
            }
        std::vector<const Remedy*> remedies;
        if (auto it = remediesOf.find(ji); it != remediesOf.end()) remedies = it->second;
        for (std::uint32_t b = 0; b < j.branchCount; ++b) {
            const Branch& branch = result.branches[j.firstBranch + b];
            sheet.text(row, 0, b == 0 ? std::string(result.nodeNames[j.node]) : std::string(),
                       false, fill);
            sheet.text(row, 1, segmentLabel(result, branch.segment), false, fill);
            if (live)
                sheet.formula(row, 2, formulas[b], *totals[b], "0.0", look);
            else
                sheet.value(row, 2, branch.total, "0.0", look);
            if (b == 0) {
                if (live && j.imbalance)
                    sheet.formula(row, 3,
                                  "=IF(MAX(" + range + ")>0,(MAX(" + range + ")-MIN(" + range +
                                      "))/MAX(" + range + "),0)",
                                  most > 0 ? (most - least) / most : 0.0, "0.0%", look);
                else
                    sheet.value(row, 3, j.imbalance, "0.0%", look);
                sheet.text(row, 4, j.flagged ? "是" : "否", false, fill);
            } else {
                sheet.text(row, 3, "", false, fill);
                sheet.text(row, 4, "", false, fill);
            }
            // What would balance this branch: a damper taking up the
            // difference to the heaviest branch (live), or a smaller size.
            for (const Remedy* r : remedies) {
                if (r->segment != branch.segment) continue;
                const std::string pd = cells.ref(branch.segment, cVelocityPressure, true);
                if (live) {
                    const double pressure = most - *totals[b];
                    sheet.formula(row, 5, "=MAX(" + range + ")-" + cellName(row, 2), pressure,
                                  "0.0", look);
                    if (r->damperZeta)
                        sheet.formula(
                            row, 6, "=" + cellName(row, 5) + "/" + pd,
                            pressure / static_cast<double>(
                                           result.segments[branch.segment].velocityPressure),
                            "0.00", look);
                } else {
                    sheet.number(row, 5, r->damperPressure, "0.0", fill);
                    sheet.value(row, 6, r->damperZeta, "0.00", look);
                }
                sheet.text(row, 7, r->resize.empty() ? "无更小的合适尺寸" : r->resize, false, fill);
                if (!r->resize.empty()) sheet.number(row, 8, r->resizeImbalance, "0.0%", fill);
            }
            ++row;
        }
    }
}

// 局部阻力明细: every fitting term of the ζ cells, with what it refers to
// and where its value comes from, so that a reviewer can trace each ζ.
void writeFittings(Workbook& book, const SystemResult& result, const ReportInfo& info) {
    namespace fit = fittings;
    Sheet sheet(book, "局部阻力明细");
    sheet.printReady(0, info.document.project);
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
            sheet.text(row, 9,
                       t.valid ? "是" : "否：" + msg::renderList(t.note, msg::Language::chinese),
                       false, t.valid ? 0 : kExceedsFill);
            ++row;
        }
    }
    if (row == 1) sheet.text(1, 0, "本系统的局部阻力系数均为数值，无管件。");
}

void writeNotes(Workbook& book, const SystemResult& result, const ReportInfo& info) {
    Sheet sheet(book, "说明");
    sheet.printReady(std::nullopt, info.document.project);
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
    line("日期", !info.document.date.empty() ? info.document.date
                 : info.date.empty()         ? todayText()
                                             : info.date);
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
    setting("漏风附加", info.leakage.value_or(0), "0.0%");
    figure("风机压力 (Pa)", fan.pressure);
    setting("并联支路不平衡率限值", result.maxImbalance, "0%");
    if (!fan.reason.empty()) line("备注", msg::renderList(fan.reason, msg::Language::chinese));
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

std::optional<msg::Message> writeXlsxReport(const SystemResult& result, const ReportInfo& info,
                                            const std::string& path) {
    // Written under another name and moved in place whole, so that a failure
    // leaves no half workbook (nor a workbook of an earlier run) behind.
    const std::string partial = path + ".part";
    std::optional<msg::Message> problem;
    {
        // Large systems keep one row at a time in memory.
        Workbook book(partial, result.segments.size() > 10000);
        if (!book.ok()) {
            problem = msg::Message{msg::Code::workbookCannotCreate, {}};
        } else {
            lxw_doc_properties properties{};
            properties.title = const_cast<char*>("风管水力计算书");
            properties.comments = const_cast<char*>(info.program.c_str());
            workbook_set_properties(book.get(), &properties);
            TableCells cells;
            writeSegments(book, result, info, cells);
            writeLoops(book, result, info, cells);
            writeNotes(book, result, info);
            writeFittings(book, result, info);
            const lxw_error written = book.error();
            const lxw_error closed = book.close();
            if (const lxw_error e = written != LXW_NO_ERROR ? written : closed; e != LXW_NO_ERROR)
                problem = msg::Message{e == LXW_ERROR_CREATING_XLSX_FILE
                                           ? msg::Code::workbookFileNotCreated
                                           : msg::Code::workbookNotWritten,
                                       {lxw_strerror(e)}};
        }
    }
    if (!problem && std::rename(partial.c_str(), path.c_str()) != 0)
        problem = msg::Message{msg::Code::workbookCannotMove, {}};
    if (problem) std::remove(partial.c_str());
    return problem;
}

}  // namespace ductsys
