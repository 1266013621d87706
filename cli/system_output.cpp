// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/system_output.h"
#include "calc/number_text.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "calc/tables.h"
#include "cli/messages.h"
#include "cli/number_texts.h"
#include "cli/output_lines.h"
#include "cli/row_blocks.h"
#include "cli/sizing_output.h"
#include "cli/table_layout.h"
#include "system/csv_reader.h"
#include "system/document_settings.h"
#include "system/fittings.h"
#include "system/report.h"
#include "system/report_book.h"
#include "system/report_sections.h"
#include "system/report_xlsx.h"
#include "system/table_file.h"
#include "version.h"

namespace cli {

namespace {

using ductsys::kNone;
using ductsys::ReportValues;
using ductsys::SystemResult;

// A figure in CSV and text: the window's text of it, empty when none.
std::string shown(std::optional<float> x) { return x ? calc::bareNumberText(*x) : std::string(); }

// A figure in JSON: the shortest decimal that reads back to the single.
std::string json(std::optional<float> x) { return x ? calc::shortestText(*x) : "null"; }

std::string nodeName(const SystemResult& r, std::uint32_t node) {
    return node == kNone ? std::string() : std::string(r.nodeNames[node]);
}

std::optional<float> pathTotal(const SystemResult& r, std::uint32_t segment) {
    const ductsys::Segment& s = r.segments[segment];
    return s.has(ductsys::Figure::pathTotal) ? ductsys::asSingle(s.pathTotal) : std::nullopt;
}

std::string percent(double fraction) {
    return calc::bareNumberText(static_cast<float>(fraction * 100));
}

void writeCsv(ductsys::WorkPool& pool, const SystemResult& r, const std::vector<bool>& onIndex,
              char delimiter, const SizingShown& sizing, bool remarks, bool chinese,
              std::ostream& out) {
    using ductsys::InputKey;
    CsvLine line(delimiter);
    auto input = [&](InputKey k) {
        const ductsys::InputField& f = ductsys::inputField(k);
        line.text(chinese ? ductsys::chineseHeading(f) : std::string(f.key));
    };
    auto mark = [&](const ductsys::MarkField& m) { line.text(chinese ? m.caption : m.key); };
    input(InputKey::segment);
    input(InputKey::from);
    input(InputKey::to);
    for (std::size_t c = 0; c < ductsys::kReportColumns; ++c) {
        line.text(chinese
                      ? ductsys::chineseHeading(ductsys::figureField(ductsys::kReportFigures[c]))
                      : std::string(ductsys::kReportKeys[c]));
        if (c == ductsys::rFlow) input(InputKey::size);
    }
    mark(ductsys::kIndexRunMark);
    if (sizing.columns()) {
        input(InputKey::role);
        mark(ductsys::kSizedMark);
    }
    // A wall or a formula other than those a file computes with by default
    // goes with its row, so that the CSV reads back with the same figures.
    const float defaultK = calc::materialRoughness(0);
    const bool walls = std::any_of(r.segments.begin(), r.segments.end(),
                                   [&](const auto& s) { return s.roughness != defaultK; });
    const bool formulas = std::any_of(r.segments.begin(), r.segments.end(), [](const auto& s) {
        return s.formula != ductsys::kSystemFormula;
    });
    if (walls) input(InputKey::k);
    if (formulas) input(InputKey::formula);
    if (remarks) mark(ductsys::kRemarkMark);
    out << line.end();
    auto rows = [&](std::uint32_t first, std::uint32_t last, std::string& text) {
        CsvLine row(delimiter);
        for (std::uint32_t s = first; s < last; ++s) {
            const ductsys::Segment& seg = r.segments[s];
            const ReportValues v = ductsys::reportValues(seg);
            row.clear();
            row.text(ductsys::segmentLabel(r, s));
            row.text(nodeName(r, seg.from));
            row.text(nodeName(r, seg.to));
            for (std::size_t c = 0; c < ductsys::kReportColumns; ++c) {
                row.plain(shown(v[c]));
                if (c == ductsys::rFlow) row.text(ductsys::sizeLabel(seg));
            }
            row.plain(onIndex[s] ? "true" : "false");
            if (sizing.columns()) {
                row.plain(sizing.roleKey(s));
                row.plain(sizing.sized(s) ? "true" : "false");
            }
            if (walls) row.plain(calc::bareNumberText(seg.roughness));
            if (formulas) row.plain(seg.formula == 1 ? "1" : "2");
            if (remarks) row.text(r.remark(s));
            text += row.end();
        }
    };
    writeRowsInBlocks(pool, static_cast<std::uint32_t>(r.segments.size()), rows, out);
}

// "公式二 (formula 2)": the friction-factor formulas the rows used.
std::string formulaLine(const std::string& inUse) {
    if (inUse == "1, 2") return "公式一 and 公式二 (formulas 1 and 2, as the rows name them)";
    if (inUse == "2") return "公式二 (formula 2)";
    return "公式一 (formula 1)";
}

void writeText(ductsys::WorkPool& pool, const SystemResult& r, const std::vector<bool>& onIndex,
               const AirInUse& air, const SizingShown& sizing, const SystemInput& input,
               const ductsys::ReportInfo& info, std::ostream& out) {
    if (ductsys::hasTitle(info.document)) {
        for (const ductsys::TitleLine& t : ductsys::titleBlock(info.document, info.date))
            out << t.caption << ':' << (t.value.empty() ? "" : " ") << t.value << '\n';
        out << '\n';
    }
    // A remarks column that holds no remark adds nothing: a 计算书 read back
    // gives the output of the file it was made from.
    const bool remarks = input.remarks && !r.remarks.empty();
    // The index run's mark, then the remark when the file has a column of them.
    constexpr std::size_t kIndexWidth = 13;
    static constexpr std::array<std::string_view, ductsys::kReportColumns> kCaptions =
        ductsys::figureNames(ductsys::kReportFigures, &ductsys::FigureField::textCaption);
    TextLine line;
    line.cell("segment", 10, Align::left);
    line.cell("from", 6, Align::left);
    line.cell("to", 6, Align::left);
    for (std::size_t c = 0; c < ductsys::kReportColumns; ++c) {
        line.cell(kCaptions[c], 12, Align::right);
        if (c == ductsys::rFlow) line.cell("  size", 11, Align::left);
    }
    line.cell("  index run", remarks ? kIndexWidth : 0, Align::left);
    if (remarks) line.cell("remark", 0, Align::left);
    out << line.end();
    auto rows = [&](std::uint32_t first, std::uint32_t last, std::string& text) {
        TextLine row;
        for (std::uint32_t s = first; s < last; ++s) {
            const ductsys::Segment& seg = r.segments[s];
            const ReportValues v = ductsys::reportValues(seg);
            row.clear();
            row.cell(ductsys::segmentLabel(r, s), 10, Align::left);
            row.cell(nodeName(r, seg.from), 6, Align::left);
            row.cell(nodeName(r, seg.to), 6, Align::left);
            for (std::size_t c = 0; c < ductsys::kReportColumns; ++c) {
                row.cell(v[c] ? calc::bareNumberText(*v[c]) : "-", 12, Align::right);
                if (c == ductsys::rFlow) {
                    const std::string size = ductsys::sizeLabel(seg);
                    row.cell("  " + (size.empty() ? "-" : size) + (sizing.sized(s) ? " +" : ""), 11,
                             Align::left);
                }
            }
            const std::string_view remark = remarks ? r.remark(s) : std::string_view();
            if (!remark.empty()) {
                row.cell(onIndex[s] ? "  *" : "", kIndexWidth, Align::left);
                row.cell(remark, 0, Align::left);
            } else if (onIndex[s]) {
                row.cell("  *", 0, Align::left);
            }
            text += row.end();
        }
    };
    writeRowsInBlocks(pool, static_cast<std::uint32_t>(r.segments.size()), rows, out);

    out << "\nair: " << calc::bareNumberText(static_cast<float>(air.temperature)) << " °C, "
        << calc::bareNumberText(static_cast<float>(air.pressure)) << " kPa; density "
        << calc::bareNumberText(static_cast<float>(air.state.density))
        << " kg/m3, kinematic viscosity "
        << calc::bareNumberText(static_cast<float>(air.state.viscosity)) << " m2/s"
        << (air.given ? "" : " (the window's air)") << '\n';
    out << "friction factor: " << formulaLine(ductsys::formulasInUse(r)) << '\n';
    out << sizing.text();
    if (!r.topologyOk()) return;

    out << "\npaths from the fan (* the index run, 最不利环路)\n";
    line.clear();
    line.cell("  outlet", 10, Align::left);
    line.cell("total Pa", 12, Align::right);
    line.cell("  segments", 0, Align::left);
    out << line.end();
    for (std::uint32_t outlet : r.outlets) {
        line.clear();
        line.cell((outlet == r.fan.indexOutlet ? "* " : "  ") + nodeName(r, r.segments[outlet].to),
                  10, Align::left);
        const std::optional<float> total = pathTotal(r, outlet);
        line.cell(total ? calc::bareNumberText(*total) : "-", 12, Align::right);
        std::string path;
        for (std::uint32_t s : r.pathTo(outlet)) {
            path += path.empty() ? "  " : ", ";
            path += ductsys::segmentLabel(r, s);
        }
        line.cell(path, 0, Align::left);
        out << line.end();
    }

    if (!r.junctions.empty()) {
        out << "\njunctions (imbalance flagged above " << percent(r.maxImbalance) << " %)\n";
        line.clear();
        line.cell("node", 8, Align::left);
        line.cell("branch", 10, Align::left);
        line.cell("total Pa", 12, Align::right);
        line.cell("imbalance", 12, Align::right);
        out << line.end();
        for (std::uint32_t ji = 0; ji < r.junctions.size(); ++ji) {
            const ductsys::Junction& j = r.junctions[ji];
            for (std::uint32_t b = 0; b < j.branchCount; ++b) {
                const ductsys::Branch& branch = r.branches[j.firstBranch + b];
                line.clear();
                line.cell(b == 0 ? nodeName(r, j.node) : "", 8, Align::left);
                line.cell(ductsys::segmentLabel(r, branch.segment), 10, Align::left);
                const std::optional<float> total = ductsys::asSingle(branch.total);
                line.cell(total ? calc::bareNumberText(*total) : "-", 12, Align::right);
                if (b == 0) {
                    line.cell(j.imbalance ? percent(*j.imbalance) + " %" : "-", 12, Align::right);
                    if (j.flagged) line.cell("  over the limit", 0, Align::left);
                }
                out << line.end();
            }
            out << sizing.remediesText(ji);
        }
    }
    out << sizing.balanceText();

    const ductsys::Fan& fan = r.fan;
    auto figure = [](std::optional<double> x, std::string_view unit) {
        const std::optional<float> f = ductsys::asSingle(x);
        return f ? calc::bareNumberText(*f) + std::string(unit) : std::string("-");
    };
    out << "\nfan at node " << nodeName(r, fan.node)
        << (input.fanFromFile && fan.node != kNone ? " (from the file)" : "") << '\n';
    out << "  air volume       " << figure(fan.airVolume, " m3/h") << '\n';
    out << "  index run total  " << figure(fan.indexTotal, " Pa") << '\n';
    out << "  margin           " << percent(fan.margin) << " %\n";
    out << "  pressure         " << figure(fan.pressure, " Pa") << '\n';
    const ductsys::FanSelection duty = ductsys::fanSelection(fan, info.leakage);
    out << "  leakage          " << percent(duty.leakage) << " %"
        << (duty.leakageGiven ? "" : " (none given)") << '\n';
    out << "  fan air volume   " << figure(duty.airVolume, " m3/h") << '\n';
    if (duty.airVolume && duty.pressure)
        out << "  selection        a fan for " << ductsys::fixedText(*duty.airVolume, 0)
            << " m3/h at " << ductsys::fixedText(*duty.pressure, 1) << " Pa\n";
    else
        out << "  selection        -\n";
}

// The terms of a ζ cell with fittings: each as written, the fitting used
// with its arguments, its ζ on the velocity it refers to and on the
// segment's, its source and whether it lies where its formula holds.
std::string termsJson(const ductsys::ZetaDetail& d) {
    namespace fit = ductsys::fittings;
    auto number = [](std::optional<double> x) {
        return x && std::isfinite(*x) ? fit::numberText(*x) : std::string("null");
    };
    std::string t = "[";
    for (const ductsys::TermResult& term : d.terms) {
        if (t.size() > 1) t += ", ";
        const fit::Fitting* f = term.id.empty() ? nullptr : fit::find(term.id);
        t += "{\"text\": " + jsonString(term.text);
        t += ", \"id\": " + (f ? jsonString(f->id) : "null");
        t += ", \"name\": " + (f ? jsonString(f->chinese) : "null");
        t += ", \"arguments\": " + jsonString(term.arguments);
        t += ", \"count\": " + number(term.count);
        t += ", \"zeta\": " + number(term.zeta);
        t += ", \"refers_to\": " + jsonString(fit::refersToName(term.refersTo));
        t += ", \"zeta_on_segment\": " + number(term.onSegment);
        t += ", \"source\": " + (term.source.empty() ? "null" : jsonString(term.source));
        t += ", \"valid\": " + std::string(term.valid ? "true" : "false");
        t += ", \"note\": " + jsonString(msg::renderList(term.note, msg::Language::english)) + "}";
    }
    return t + "]";
}

void writeJson(ductsys::WorkPool& pool, const SystemResult& r, const std::vector<bool>& onIndex,
               const AirInUse& air, const SizingShown& sizing, bool remarks,
               const ductsys::ReportInfo& info, std::ostream& out) {
    auto single = [](double x) { return json(ductsys::asSingle(x)); };
    const std::string formulasInUse = ductsys::formulasInUse(r);
    out << "{\"air\": {\"temperature\": " << single(air.temperature)
        << ", \"pressure\": " << single(air.pressure)
        << ", \"density\": " << single(air.state.density)
        << ", \"viscosity\": " << single(air.state.viscosity) << "},\n \"formulas\": "
        << (formulasInUse == "1, 2" ? "[1, 2]"
            : formulasInUse == "2"  ? "[2]"
                                    : "[1]")
        << ",\n \"segments\": [";
    auto rows = [&](std::uint32_t first, std::uint32_t last, std::string& line) {
        for (std::uint32_t s = first; s < last; ++s) {
            const ductsys::Segment& seg = r.segments[s];
            const ReportValues v = ductsys::reportValues(seg);
            line += s == 0 ? "\n  {\"segment\": " : ",\n  {\"segment\": ";
            line += jsonString(ductsys::segmentLabel(r, s));
            line += ", \"from\": " + jsonString(nodeName(r, seg.from));
            line += ", \"to\": " + jsonString(nodeName(r, seg.to));
            for (std::size_t c = 0; c < ductsys::kReportColumns; ++c) {
                line += ", \"";
                line += ductsys::kReportKeys[c];
                line += "\": ";
                line += json(v[c]);
                if (c == ductsys::rFlow) {
                    const std::string size = ductsys::sizeLabel(seg);
                    line += ", \"size\": ";
                    line += size.empty() ? "null" : jsonString(size);
                }
            }
            line += ", \"on_index_run\": ";
            line += onIndex[s] ? "true" : "false";
            if (const ductsys::ZetaDetail* d = r.zetaDetail(s))
                line += ", \"terms\": " + termsJson(*d);
            if (sizing.columns()) {
                line += ", \"role\": \"";
                line += sizing.roleKey(s);
                line += sizing.sized(s) ? "\", \"sized\": true" : "\", \"sized\": false";
            }
            if (remarks) {
                const std::string_view remark = r.remark(s);
                line += ", \"remark\": ";
                line += remark.empty() ? std::string("null") : jsonString(remark);
            }
            line += '}';
        }
    };
    writeRowsInBlocks(pool, static_cast<std::uint32_t>(r.segments.size()), rows, out);
    out << (r.segments.empty() ? "],\n" : "\n ],\n");

    auto pathObject = [&](std::uint32_t outlet) {
        std::string p =
            "{\"outlet\": " + jsonString(nodeName(r, r.segments[outlet].to)) + ", \"segments\": [";
        bool first = true;
        for (std::uint32_t s : r.pathTo(outlet)) {
            if (!first) p += ", ";
            first = false;
            p += jsonString(ductsys::segmentLabel(r, s));
        }
        p += "], \"total\": " + json(pathTotal(r, outlet)) + "}";
        return p;
    };
    out << " \"paths\": [";
    for (std::size_t i = 0; i < r.outlets.size(); ++i)
        out << (i == 0 ? "\n  " : ",\n  ") << pathObject(r.outlets[i]);
    out << (r.outlets.empty() ? "],\n" : "\n ],\n");
    out << " \"index_run\": "
        << (r.fan.indexOutlet == kNone ? std::string("null") : pathObject(r.fan.indexOutlet))
        << ",\n";

    out << " \"junctions\": [";
    for (std::size_t i = 0; i < r.junctions.size(); ++i) {
        const ductsys::Junction& j = r.junctions[i];
        out << (i == 0 ? "\n  " : ",\n  ") << "{\"node\": " << jsonString(nodeName(r, j.node))
            << ", \"branches\": [";
        for (std::uint32_t b = 0; b < j.branchCount; ++b) {
            const ductsys::Branch& branch = r.branches[j.firstBranch + b];
            out << (b == 0 ? "" : ", ")
                << "{\"segment\": " << jsonString(ductsys::segmentLabel(r, branch.segment))
                << ", \"total\": " << json(ductsys::asSingle(branch.total)) << '}';
        }
        out << "], \"imbalance\": " << json(ductsys::asSingle(j.imbalance))
            << ", \"exceeds\": " << (j.flagged ? "true" : "false")
            << sizing.remediesJson(static_cast<std::uint32_t>(i)) << '}';
    }
    out << (r.junctions.empty() ? "],\n" : "\n ],\n");

    if (ductsys::hasTitle(info.document)) {
        out << " \"title\": {";
        static constexpr std::string_view kKeys[] = {"project", "system_name", "designer",
                                                     "checker", "reviewer",    "date"};
        const auto lines = ductsys::titleBlock(info.document, info.date);
        for (std::size_t i = 0; i < lines.size() && i < std::size(kKeys); ++i)
            out << (i == 0 ? "\"" : ", \"") << kKeys[i] << "\": " << jsonString(lines[i].value);
        out << "},\n";
    }
    const ductsys::Fan& fan = r.fan;
    const ductsys::FanSelection duty = ductsys::fanSelection(fan, info.leakage);
    out << ' ' << sizing.json() << "\"fan\": {\"node\": "
        << (fan.node == kNone ? std::string("null") : jsonString(nodeName(r, fan.node)))
        << ", \"flow\": " << json(ductsys::asSingle(fan.airVolume))
        << ", \"index_total\": " << json(ductsys::asSingle(fan.indexTotal))
        << ", \"margin\": " << single(fan.margin)
        << ", \"pressure\": " << json(ductsys::asSingle(fan.pressure))
        << ", \"leakage\": " << single(duty.leakage)
        << ", \"leakage_given\": " << (duty.leakageGiven ? "true" : "false")
        << ", \"flow_with_leakage\": " << json(ductsys::asSingle(duty.airVolume))
        << ", \"selection\": " << jsonString(ductsys::fanSelectionLine(duty)) << "}}\n";
}

void writeFormat(const SystemResult& r, const AirInUse& air, const SystemOptions& options,
                 const SizingShown& sizing, const SystemInput& input,
                 const ductsys::ReportInfo& info, std::ostream& out) {
    const bool remarks = input.remarks && !r.remarks.empty();
    const std::vector<bool> onIndex = ductsys::indexRunSegments(r);
    ductsys::WorkPool pool(options.jobs);
    if (options.bom) out << kBom;
    switch (options.format) {
        case Format::text:
            writeText(pool, r, onIndex, air, sizing, input, info, out);
            break;
        case Format::csv:
            writeCsv(pool, r, onIndex, options.delimiter, sizing, remarks, options.chineseHeaders,
                     out);
            break;
        case Format::json:
            writeJson(pool, r, onIndex, air, sizing, remarks, info, out);
            break;
    }
}

}  // namespace

ductsys::Encoding encodingOf(InputEncoding e) {
    switch (e) {
        case InputEncoding::utf8:
            return ductsys::Encoding::utf8;
        case InputEncoding::gb18030:
            return ductsys::Encoding::gb18030;
        case InputEncoding::automatic:
            break;
    }
    return ductsys::Encoding::automatic;
}

bool outputIsInput(const std::string& input, const std::string& output, std::ostream& err) {
    if (output.empty() || input == "-") return false;
    struct stat in {
    }, out{};
    if (stat(input.c_str(), &in) != 0 || stat(output.c_str(), &out) != 0) return false;
    if (in.st_dev != out.st_dev || in.st_ino != out.st_ino) return false;
    err << kProgram << ": " << output << ": " << said({msg::Code::outputIsInput, {}}) << '\n';
    return true;
}

bool readSystem(std::FILE* in, char delimiter, SystemInput& input, ductsys::SystemBuilder& builder,
                ductsys::SystemSizer* sizer, ductsys::Encoding encoding, const std::string& sheet,
                const std::function<bool(const ductsys::TableHeader&)>& settle) {
    // The same reader as table's: encodings, the delimiter found from the
    // header, header names with units, title and total rows.
    Layout layout;
    int remarkAt = -1;
    bool refused = false;
    std::size_t rows = 0;  // room to make for them
    const ductsys::TableFileReader::HeaderFn onHeader = [&](const ductsys::TableHeader& h) {
        if (settle && !settle(h)) {
            refused = true;
            return false;
        }
        if (rows > 0) builder.reserve(rows);
        readHeader(h, layout);
        keepReportRows(h, input.reportRows);
        input.delimiter = h.delimiter;
        input.remarks = h.remark >= 0;
        remarkAt = h.remark;
        builder.setUnits(h.units);
        return true;
    };
    const ductsys::TableFileReader::NoteFn onNote = [&](const ductsys::FileNote& note) {
        input.err << kProgram << ": " << input.name;
        if (note.line > 0) input.err << ':' << note.line;
        input.err << (note.warning ? ": warning: " : ": note: ") << said(note.message) << '\n';
    };
    // A file's size tells roughly how many rows it holds (a row of a system
    // is some 30 to 60 bytes): room made for them at once spares copying
    // every table as it grows.
    struct stat info {};
    if (fstat(fileno(in), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        constexpr std::size_t kRowBytes = 32, kMostRows = std::size_t{1} << 22;
        rows = std::min(static_cast<std::size_t>(info.st_size) / kRowBytes, kMostRows);
    }
    auto remarkOf = [&](const std::vector<std::string>& fields, std::size_t count) {
        const auto at = static_cast<std::size_t>(remarkAt);
        return remarkAt >= 0 && at < count ? std::string_view(fields[at]) : std::string_view();
    };
    ductsys::TableFileReader reader({encoding, delimiter}, sheet);
    const ductsys::FileError e = reader.read(
        in, onHeader,
        [&](std::vector<std::string>& fields, std::size_t count, long line) {
            ductsys::SegmentTexts row = ductsys::segmentTextsOf(
                [&](ductsys::Column c) { return layout.cell(fields, count, c); });
            row.remark = remarkOf(fields, count);
            row.line = line;
            const std::uint32_t index = sizer ? sizer->add(builder, row) : builder.add(row);
            if (index == kNone) return true;  // a blank row
            if (input.keepInputs) input.inputs.add(row.material, row.k, row.formula);
            if (count != layout.fieldCount)
                input.problems.emplace_back(
                    index, said({msg::Code::rowFieldCount, {count, layout.fieldCount}}));
            return true;
        },
        onNote);
    if (refused) return false;
    if (e.ok()) return true;
    input.err << kProgram << ": " << input.name;
    if (e.line > 0) input.err << ':' << e.line;
    input.err << ": " << saidList(e.message) << '\n';
    return false;
}

bool takeFileSettings(const ductsys::TableHeader& header, SystemInput& input,
                      SystemOptions& options) {
    std::vector<long> lines;
    const ductsys::DocumentSettings settings = ductsys::settingsOfRows(header.settings, &lines);
    const ductsys::SettingsReading reading = ductsys::readSettingValues(settings);
    auto lineOf = [&](const ductsys::SettingName* n) {
        return lines[static_cast<std::size_t>(n - std::begin(ductsys::kSettingNames))];
    };
    auto place = [&](long line) {
        std::string p = std::string(kProgram) + ": " + input.name;
        if (line > 0) p += ':' + std::to_string(line);
        return p + ": ";
    };
    if (!reading.problems.empty()) {
        std::vector<std::pair<long, std::string>> messages;
        for (const ductsys::SettingProblem& p : reading.problems)
            messages.emplace_back(lineOf(p.setting), said({msg::Code::cliSettingCannotBeRead,
                                                           {p.setting->name, p.text, p.expected}}));
        std::stable_sort(messages.begin(), messages.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [line, message] : messages) input.err << place(line) << message << '\n';
        return false;
    }
    // Each setting taken, or passed over for the option given in its stead.
    auto take = [&](std::string ductsys::DocumentSettings::*field, bool given,
                    std::string_view option, const auto& apply) {
        const ductsys::SettingName* n = nullptr;
        for (const ductsys::SettingName& s : ductsys::kSettingNames)
            if (s.field == field) n = &s;
        if (!n || ductsys::trimmed(settings.*field).empty()) return;
        if (given) {
            input.err << place(lineOf(n))
                      << "note: " << said({msg::Code::cliSettingGivesWay, {n->name, option}})
                      << '\n';
            return;
        }
        apply();
    };
    using ductsys::DocumentSettings;
    const ductsys::SettingValues& v = reading.values;
    take(&DocumentSettings::fan, !options.fan.empty(), "--fan", [&] {
        options.fan = v.fan;
        input.fanFromFile = true;
        for (const ductsys::SettingName& s : ductsys::kSettingNames)
            if (s.field == &DocumentSettings::fan) input.fanLine = lineOf(&s);
    });
    take(&DocumentSettings::temperature, options.air.temperature.has_value(), "--air-temperature",
         [&] { options.air.temperature = v.temperature; });
    take(&DocumentSettings::altitude,
         options.air.altitude.has_value() || options.air.pressure.has_value(),
         options.air.altitude ? "--altitude" : "--pressure",
         [&] { options.air.altitude = v.altitude; });
    take(&DocumentSettings::maxImbalance, options.maxImbalanceGiven, "--max-imbalance",
         [&] { options.maxImbalance = *v.maxImbalance; });
    take(&DocumentSettings::margin, options.marginGiven, "--margin",
         [&] { options.margin = *v.margin; });
    take(&DocumentSettings::formula, options.formulaGiven, "--formula",
         [&] { options.formula = *v.formula; });
    take(&DocumentSettings::maxVelocity, false, "", [&] { input.maxVelocity = v.maxVelocity; });
    return true;
}

std::string formulaText(unsigned seen) { return ductsys::formulaList(seen & 2u, seen & 4u); }

ductsys::ReportInfo reportInfo(const AirInUse& air, const std::string& formulas,
                               const std::string& name) {
    ductsys::ReportInfo info;
    info.temperature = air.temperature;
    info.pressure = air.pressure;
    info.air = air.state;
    info.airGiven = air.given;
    info.formulas = formulas;
    info.source = name == "-" ? std::string("(standard input)") : name;
    info.program = "ductcalc-cli " DUCTCALC_VERSION;
    return info;
}

std::string segmentPlace(const SystemInput& input, const SystemResult& result,
                         std::uint32_t segment) {
    return std::string(kProgram) + ": " + input.name + ':' + std::to_string(result.line(segment)) +
           ": ";
}

int reportSystemProblems(const SystemResult& result, const SystemInput& input) {
    std::ostream& err = input.err;
    // Every message about the file in the order of its lines, a consequence
    // after its cause: the rows' own problems, then what follows from them.
    std::vector<std::pair<long, std::string>> messages;
    auto lineOf = [&](std::uint32_t segment) { return result.line(segment); };
    for (const ductsys::TopologyError& e : result.errors) {
        msg::Message message = e.message;
        // A file's reader names its lines, not its rows.
        if (e.kind == ductsys::TopologyError::Kind::duplicateName && e.segments.size() == 2)
            message = {msg::Code::segmentNameTwiceOnLines,
                       {msg::Message{msg::Code::quotedName, {result.segmentNames[e.segments[1]]}},
                        lineOf(e.segments[0]), lineOf(e.segments[1])}};
        // A fan's node that the file's 风机 row names is that row's fault.
        const long line = !e.segments.empty() ? lineOf(e.segments.back())
                          : e.kind == ductsys::TopologyError::Kind::noFan && input.fanFromFile
                              ? input.fanLine
                              : 0L;
        messages.emplace_back(line, said(message));
    }
    auto say = [&](long line, const std::string& message) {
        err << kProgram << ": " << input.name;
        if (line > 0) err << ':' << line;
        err << ": " << message << '\n';
    };
    auto sayInOrder = [&] {
        std::stable_sort(messages.begin(), messages.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [line, message] : messages) say(line, message);
        messages.clear();
    };
    if (!result.topologyOk()) {
        sayInOrder();
        return kUsage;
    }
    if (result.segments.empty()) {
        err << kProgram << ": " << input.name << ": " << said({msg::Code::fileNoSegments, {}})
            << '\n';
        return kUsage;
    }

    bool failed = !input.problems.empty();
    for (const auto& [segment, problem] : input.problems)
        messages.emplace_back(lineOf(segment), problem);
    for (const ductsys::Warning& w : result.warnings)
        messages.emplace_back(lineOf(w.segment), "warning: " + said(w.message));
    if (input.maxVelocity)
        for (std::uint32_t s = 0; s < result.segments.size(); ++s)
            if (ductsys::aboveVelocity(result.segments[s], input.maxVelocity))
                messages.emplace_back(
                    lineOf(s),
                    "warning: " + said({msg::Code::velocityAboveFileLimit,
                                        {calc::bareNumberText(result.segments[s].velocity),
                                         calc::shortestText(*input.maxVelocity)}}));
    for (std::uint32_t s = 0; s < result.segments.size(); ++s) {
        if (result.segments[s].ok()) continue;
        failed = true;
        messages.emplace_back(lineOf(s), saidList(result.segments[s].reason));
    }
    // The fan's missing figures follow from a row: said at its line, after
    // that row's own message.
    if (!result.fan.reason.empty()) {
        failed = true;
        messages.emplace_back(
            result.fan.reasonSegment == ductsys::kNone ? 0L : lineOf(result.fan.reasonSegment),
            said({msg::Code::cliFanReasons, {msg::Arg(result.fan.reason)}}));
    }
    sayInOrder();
    return failed ? kRowsFailed : kSuccess;
}

int writeSystem(const SystemResult& result, const SystemInput& input, const AirInUse& air,
                const SystemOptions& options, std::ostream& out,
                const ductsys::SizingReport* sizingReport, const ductsys::ReportInfo& info) {
    std::ostream& err = input.err;
    const SizingShown sizing(result, sizingReport, options.size || options.balance,
                             options.balance);
    // CSV is written with the input's own delimiter unless one is given.
    SystemOptions csvOptions = options;
    if (csvOptions.delimiter == 0) csvOptions.delimiter = input.delimiter;
    const int problems = reportSystemProblems(result, input);
    if (problems == kUsage) return kUsage;
    const bool failed = problems != kSuccess;

    if (options.xlsx) {
        if (const auto problem = ductsys::writeXlsxReport(result, info, options.output)) {
            err << kProgram << ": " << options.output << ": " << said(*problem) << '\n';
            return kUsage;
        }
    } else if (!options.output.empty()) {
        const std::string partial = options.output + ".part";
        bool written = false;
        {
            std::ofstream file(partial, std::ios::binary);
            if (file) {
                writeFormat(result, air, csvOptions, sizing, input, info, file);
                file.close();
                written = !file.fail();
            }
        }
        if (!written || std::rename(partial.c_str(), options.output.c_str()) != 0) {
            std::remove(partial.c_str());
            err << kProgram << ": " << options.output << ": "
                << said({msg::Code::cliCannotWriteFile, {}}) << '\n';
            return kUsage;
        }
    } else {
        writeFormat(result, air, csvOptions, sizing, input, info, out);
    }
    return failed ? kRowsFailed : kSuccess;
}

}  // namespace cli
