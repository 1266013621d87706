// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/table_file.h"

#include "system/document_settings.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "calc/ascii.h"
#include "system/csv_reader.h"
#include "system/names.h"
#include "system/readers.h"
#include "system/xlsx_reader.h"

namespace ductsys {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
constexpr std::size_t kChunk = 1 << 16;
// The header is looked for among this many rows, so that the rows above it
// (a title, the settings, a 计算书's title block and basis) do not hide it.
constexpr int kHeaderRows = 40;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}
bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// A header cell in one form: full-width letters, digits and signs as their
// ASCII forms, every blank removed, ASCII letters in lower case, "∑" as "Σ".
std::string headerKey(std::string_view cell) {
    std::string key;
    key.reserve(cell.size());
    for (std::size_t i = 0; i < cell.size();) {
        const auto c = static_cast<unsigned char>(cell[i]);
        const std::string_view rest = cell.substr(i);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (startsWith(rest, kIdeographicSpace)) {
            i += kIdeographicSpace.size();
        } else if (startsWith(rest, kNoBreakSpace)) {
            i += kNoBreakSpace.size();
        } else if (c == 0xEF && rest.size() >= 3 &&
                   ((static_cast<unsigned char>(rest[1]) == 0xBC &&
                     static_cast<unsigned char>(rest[2]) >= 0x81) ||
                    (static_cast<unsigned char>(rest[1]) == 0xBD &&
                     static_cast<unsigned char>(rest[2]) <= 0x9E))) {
            // U+FF01-U+FF5E: the full-width forms of '!' to '~'.
            const unsigned code = (static_cast<unsigned char>(rest[1]) & 0x3Fu) << 6 |
                                  (static_cast<unsigned char>(rest[2]) & 0x3Fu);
            key += calc::asciiLower(static_cast<char>(code - 0xF01 + 0x21));
            i += 3;
        } else if (startsWith(rest, "∑")) {
            key += "Σ";
            i += std::string_view("∑").size();
        } else {
            key += calc::asciiLower(static_cast<char>(c));
            ++i;
        }
    }
    return key;
}

// A key split into the name and the unit in brackets at its end.
struct NameAndUnit {
    std::string_view name;
    std::string_view unit;
    bool bracketed = false;
};
NameAndUnit splitUnit(std::string_view key) {
    static constexpr std::pair<std::string_view, std::string_view> kBrackets[] = {
        {"(", ")"}, {"[", "]"}, {"【", "】"}};
    for (const auto& [open, close] : kBrackets) {
        if (!endsWith(key, close)) continue;
        const std::size_t at = key.rfind(open);
        if (at == std::string_view::npos) continue;
        return {key.substr(0, at),
                key.substr(at + open.size(), key.size() - close.size() - at - open.size()), true};
    }
    return {key, {}, false};
}

// What a known name stands for: an input column, or a column read by nobody
// (results the calculation forms anew, remarks, other designers' columns).
struct KnownName {
    std::string_view name;  // as headerKey forms it
    std::optional<Column> column;
};
// Other usual spellings besides each column's two names, then the columns
// read by nobody that a designer's sheet or our own output has.
constexpr KnownName kKnownNames[] = {
    {"段", Column::segment},
    {"管段", Column::segment},
    {"管段编号", Column::segment},
    {"管段号", Column::segment},
    {"编号", Column::segment},
    {"name", Column::segment},
    {"流量", Column::flow},
    {"风管尺寸", Column::size},
    {"规格", Column::size},
    {"管径", Column::size},
    {"断面尺寸", Column::size},
    {"管长", Column::length},
    {"管段长度", Column::length},
    {"Σζ", Column::zeta},
    {"ζ", Column::zeta},
    {"局阻系数", Column::zeta},
    {"设备阻力", Column::dp},
    {"附加阻力", Column::dp},
    {"材质", Column::material},
    {"管材", Column::material},
    {"粗糙度k", Column::k},
    {"绝对粗糙度", Column::k},
    // Read by nobody: the remarks, other designers' columns and our own
    // outputs' marks. The figures' own names are known from their table.
    {kRemarkMark.key, std::nullopt},
    {kRemarkMark.caption, std::nullopt},
    {"remarks", std::nullopt},
    {"序号", std::nullopt},
    {"说明", std::nullopt},
    {"宽度", std::nullopt},
    {"高度", std::nullopt},
    {"流速", std::nullopt},
    {"沿程阻力", std::nullopt},
    {"总阻力", std::nullopt},
    {"问题", std::nullopt},
    {kIndexRunMark.key, std::nullopt},
    {kIndexRunMark.caption, std::nullopt},
    {kSizedMark.key, std::nullopt},  // sizing's mark, not a size with a symbol "d"
    {kSizedMark.caption, std::nullopt},
};

// The symbols written after a name ("长度 l", "局部阻力系数Σζ", "固定阻力 Δp").
constexpr std::string_view kSymbols[] = {"l",  "q",  "d", "k",  "v",   "Σζ", "σζ",  "ζ",  "Δp",
                                         "δp", "dp", "p", "no", "no.", "#",  "axb", "a×b"};

// Every known name with its column: the columns' own two names first.
template <typename F>
void forEachName(F f) {
    for (const InputField& n : kInputFields) {
        f(n.key, std::optional<Column>(n.input));
        f(n.caption, std::optional<Column>(n.input));
    }
    for (const KnownName& n : kKnownNames) f(n.name, n.column);
}

bool plainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Whether the text is valid UTF-8 up to its end; `complete` is false when
// it ends inside a character that the next piece may finish. `valid` is the
// length of the valid start.
struct Utf8Check {
    std::size_t valid;
    bool complete;
};
Utf8Check checkUtf8(const unsigned char* s, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time: most of a table is ASCII.
        while (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, s + i, 8);
            if (w & 0x8080808080808080u) break;
            i += 8;
        }
        if (i >= n) break;
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return {i, true};
        }
        for (std::size_t k = 1; k < len; ++k) {
            if (i + k >= n) return {i, false};
            const unsigned char t = s[i + k];
            if (t < (k == 1 ? lo : 0x80) || t > (k == 1 ? hi : 0xBF)) return {i, true};
        }
        i += len;
    }
    return {n, true};
}

// Bytes to UTF-8: checked and passed on as they are, or converted from
// GB18030 by iconv. What cannot be decoded becomes U+FFFD.
class Decoder {
public:
    explicit Decoder(Encoding encoding) : encoding_(encoding) {
        if (encoding_ == Encoding::gb18030) {
            cd_ = iconv_open("UTF-8", "GB18030");
            if (cd_ == reinterpret_cast<iconv_t>(-1)) cd_ = nullptr;
        }
    }
    ~Decoder() {
        if (cd_) iconv_close(cd_);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    bool usable() const { return encoding_ != Encoding::gb18030 || cd_ != nullptr; }

    // Appends the text of `data` to `out`; `last` for the end of the file.
    // The number of bytes that could not be decoded is returned.
    std::size_t decode(std::string_view data, bool last, std::string& out) {
        std::string joined;
        if (!carry_.empty()) {
            joined = carry_ + std::string(data);
            carry_.clear();
            data = joined;
        }
        return encoding_ == Encoding::gb18030 ? fromGb18030(data, last, out)
                                              : fromUtf8(data, last, out);
    }

private:
    std::size_t fromUtf8(std::string_view data, bool last, std::string& out) {
        std::size_t bad = 0;
        const auto* s = reinterpret_cast<const unsigned char*>(data.data());
        std::size_t at = 0;
        while (at < data.size()) {
            const Utf8Check c = checkUtf8(s + at, data.size() - at);
            out.append(data.data() + at, c.valid);
            at += c.valid;
            if (at == data.size()) break;
            if (!c.complete && !last) {
                carry_.assign(data.substr(at));
                break;
            }
            out += kReplacement;
            ++bad;
            ++at;
        }
        return bad;
    }

    std::size_t fromGb18030(std::string_view data, bool last, std::string& out) {
        std::size_t bad = 0;
        char* in = const_cast<char*>(data.data());
        std::size_t inLeft = data.size();
        while (inLeft > 0) {
            const std::size_t at = out.size();
            out.resize(at + 2 * inLeft + 16);
            char* o = out.data() + at;
            std::size_t oLeft = out.size() - at;
            const std::size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
            const int error = errno;
            out.resize(out.size() - oLeft);
            if (r != static_cast<std::size_t>(-1)) break;
            if (error == E2BIG) continue;
            if (error == EINVAL && !last) {
                carry_.assign(in, inLeft);
                break;
            }
            // EILSEQ, or a character cut off at the end of the file.
            out += kReplacement;
            ++bad;
            ++in;
            --inLeft;
        }
        return bad;
    }

    Encoding encoding_;
    iconv_t cd_ = nullptr;
    std::string carry_;  // the start of a character that the next piece ends
};

// Whether the whole of `data` is GB18030 (a character cut off at its end
// aside, when more follows).
bool isGb18030(std::string_view data, bool last) {
    Decoder d(Encoding::gb18030);
    std::string out;
    return d.usable() && d.decode(data, last, out) == 0;
}

bool isUtf8(std::string_view data, bool last) {
    const Utf8Check c = checkUtf8(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    return c.valid == data.size() || (!c.complete && !last);
}

// The fields of one line, split at `delimiter` outside double quotes.
std::vector<std::string> splitLine(std::string_view line, char delimiter) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == delimiter && !quoted) {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

bool blankRow(const std::vector<std::string>& fields, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!trimmedCell(fields[i]).empty()) return false;
    return true;
}

// Whether a header cell names the remarks column, with or without brackets.
bool isRemarkHeader(std::string_view cell) {
    const std::string key = headerKey(cell);
    const std::string_view name = splitUnit(key).name;
    for (std::string_view known :
         {kRemarkMark.caption, kRemarkMark.key, std::string_view("remarks")})
        if (name == headerKey(known)) return true;
    return false;
}

// A header read from one row's fields; `problem` says what keeps it from
// being one.
struct HeaderTry {
    TableHeader header;
    std::optional<msg::Message> problem;
    bool namesFlowAndSize = false;  // the row is the header, problem or not
};
HeaderTry tryHeader(const std::vector<std::string>& fields) {
    HeaderTry t;
    t.header.columns.fill(-1);
    t.header.fieldCount = fields.size();
    t.header.names.reserve(fields.size());
    for (const std::string& f : fields) t.header.names.emplace_back(trimmedCell(f));
    std::optional<msg::Message> misspelt;
    std::optional<Column> misspeltColumn;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const HeaderCell cell = readHeaderCell(fields[i]);
        if (!cell.nearest.empty() && !misspelt) {
            misspelt = msg::Message{msg::Code::headerColumnMisspelt,
                                    {trimmedCell(fields[i]), cell.nearest}};
            misspeltColumn = headerColumn(cell.nearest);
        }
        if (!cell.column) {
            // The remarks go with their segments; other columns are carried by nobody.
            if (t.header.remark < 0 && isRemarkHeader(fields[i]))
                t.header.remark = static_cast<int>(i);
            continue;
        }
        int& at = t.header.columns[static_cast<std::size_t>(*cell.column)];
        if (at >= 0 && !t.problem)
            t.problem = msg::Message{msg::Code::headerColumnTwice, {trimmedCell(fields[i])}};
        if (at < 0) at = static_cast<int>(i);
        if (std::optional<msg::Message> problem =
                readColumnUnit(*cell.column, cell.unit, t.header.units);
            problem && !t.problem)
            t.problem =
                msg::Message{msg::Code::headerColumnUnit, {trimmedCell(fields[i]), *problem}};
    }
    // A misspelt flow or size still makes the row the header: its problem is
    // the misspelling.
    auto named = [&](Column c) { return t.header.column(c) >= 0 || misspeltColumn == c; };
    t.namesFlowAndSize = named(Column::flow) && named(Column::size);
    if (misspelt && !t.problem) t.problem = misspelt;
    for (Column needed : {Column::flow, Column::size}) {
        if (!named(needed) && !t.problem) {
            const InputField& n = inputField(needed);
            t.problem = msg::Message{msg::Code::headerLacksColumn, {n.key, n.caption}};
        }
    }
    return t;
}

// A line of the start of the file, for the header's search.
struct StartLine {
    std::string_view text;
    long line;
};

std::vector<StartLine> startLines(std::string_view text, bool whole) {
    std::vector<StartLine> lines;
    long line = 1;
    std::size_t at = 0;
    while (at < text.size() && static_cast<int>(lines.size()) < kHeaderRows) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos && !whole) break;  // the rest is still to come
        const std::string_view piece =
            text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (!trimmedCell(piece).empty()) lines.push_back({piece, line});
        if (end == std::string_view::npos) break;
        at = end + 1;
        ++line;
    }
    return lines;
}

constexpr char kDelimiters[] = {',', ';', '\t'};

msg::Arg delimiterName(char d) {
    if (d == '\t') return msg::Code::wordTab;
    return std::string("'") + d + "'";
}

// The header among the first rows: the first that names the flow and the
// size, split by the delimiter given or by the first of the usual ones that
// does it. `problem` is empty when one was found.
struct HeaderSearch {
    TableHeader header;
    std::optional<msg::Message> problem;
    bool found = false;
    long firstLine = 0;  // the first non-empty line
};
HeaderSearch searchHeader(const std::vector<StartLine>& lines, char given) {
    HeaderSearch s;
    if (lines.empty()) return s;
    s.firstLine = lines.front().line;
    std::optional<msg::Message> firstProblem;
    for (const StartLine& l : lines) {
        for (char d : kDelimiters) {
            if (given != 0 && d != given) continue;
            HeaderTry t = tryHeader(splitLine(l.text, d));
            if (!t.problem || t.namesFlowAndSize) {
                // A row that names both is the header, even when it names a
                // column twice: that is then its problem.
                s.header = t.header;
                s.header.line = l.line;
                s.header.delimiter = d;
                s.problem = t.problem;
                s.found = !t.problem;
                return s;
            }
            if (&l == &lines.front() && (!firstProblem || d == (given ? given : ',')))
                firstProblem = t.problem;
        }
    }
    s.header.line = s.firstLine;
    s.problem = firstProblem;
    return s;
}

// A row above the header, not blank: a setting when its first cell holds a
// name and one later cell a value, and no other cell holds anything (a
// workbook's heading leaves a cell or two between them); else a title.
void keepAboveHeader(TableHeader& header, const std::vector<std::string>& fields, std::size_t count,
                     long line) {
    std::size_t used = 0, valueAt = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (!trimmedCell(fields[i]).empty()) ++used, valueAt = i;
    if (used == 2 && count >= 2 && !trimmedCell(fields[0]).empty() && valueAt > 0) {
        header.settings.push_back(
            {std::string(trimmedCell(fields[0])), std::string(trimmedCell(fields[valueAt])), line});
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        if (const std::string_view text = trimmedCell(fields[i]); !text.empty()) {
            header.titles.push_back({std::string(text), line});
            return;
        }
}

// The rows of a table after its header was found, from a text or from a
// sheet: the rows above the header kept as settings and titles, the header
// handed on with its unused columns named, then each data row without
// blank and total rows, filled to the header's number of fields.
class RowIntake {
public:
    RowIntake(TableHeader& header, const TableFileReader::HeaderFn& onHeader,
              const TableFileReader::RecordFn& onRecord, const TableFileReader::NoteFn& onNote)
        : header_(header), onHeader_(onHeader), onRecord_(onRecord), onNote_(onNote) {
        // The header's cells that name no column any reader takes, said once
        // the header's line is reached so that notes come in line order.
        for (const std::string& name : header.names)
            if (!name.empty() && !readHeaderCell(name).known) unused_.push_back(name);
    }

    // A row at `at`; false when the reading is to stop. `marks` are a
    // sheet's cells that hold an error or a formula without its value.
    bool take(std::vector<std::string>& fields, std::size_t count, long at,
              const std::vector<CellMark>* marks = nullptr) {
        if (!headerDone_) {
            if (at < header_.line) {
                if (!blankRow(fields, count)) {
                    if (marks && !refuseMarks(*marks, fields, at, false)) return false;
                    const std::size_t settings = header_.settings.size();
                    keepAboveHeader(header_, fields, count, at);
                    const SettingRow* s =
                        header_.settings.size() > settings ? &header_.settings.back() : nullptr;
                    if (s && settingNamed(s->name))
                        onNote_({at, {msg::Code::noteSetting, {s->name, s->value}}, false});
                    else
                        onNote_({at, {msg::Code::noteTitleRowSkipped, {}}, false});
                }
                return true;
            }
            if (marks && !refuseMarks(*marks, fields, at, false)) return false;
            return handHeader();
        }
        if (blankRow(fields, count)) return true;  // spreadsheets leave empty rows
        if (belowTable_) return true;
        if (fanBlock(fields, count)) {
            // A 计算书 read back: what follows its table is its summary.
            belowTable_ = true;
            onNote_({at, {msg::Code::noteFanBlockNotRead, {}}, false});
            return true;
        }
        if (count > header_.fieldCount) {
            // Cells past the header's that are all empty are no cells.
            std::size_t used = count;
            while (used > header_.fieldCount && trimmedCell(fields[used - 1]).empty()) --used;
            count = used;
        }
        if (count < header_.fieldCount) {
            // Spreadsheets drop a row's trailing empty cells.
            if (fields.size() < header_.fieldCount) fields.resize(header_.fieldCount);
            for (std::size_t i = count; i < header_.fieldCount; ++i) fields[i].clear();
            count = header_.fieldCount;
        }
        if (const int s = header_.column(Column::segment); s >= 0) {
            const std::string_view name = trimmedCell(fields[static_cast<std::size_t>(s)]);
            // Only names of their length are looked at: most rows are not totals.
            if ((name.size() == 5 || name.size() == 6) &&
                (name == "合计" || name == "总计" ||
                 calc::equalsIgnoringAsciiCase(name, "total"))) {
                onNote_({at, {msg::Code::noteTotalRowSkipped, {name}}, false});
                return true;
            }
        }
        if (marks && !marks->empty() && !refuseMarks(*marks, fields, at, true)) return false;
        if (!onRecord_(fields, count, at)) return !(stopped_ = true);
        return true;
    }

    // The header handed on, once: at its row, or at the end of a file that
    // has no row after it.
    bool handHeader() {
        if (headerDone_) return true;
        headerDone_ = true;
        for (const std::string& name : unused_)
            onNote_({header_.line, {msg::Code::noteColumnNotUsed, {name}}, false});
        if (!onHeader_(header_)) return !(stopped_ = true);
        return true;
    }

    bool headerDone() const { return headerDone_; }
    bool stopped() const { return stopped_; }
    // Why a sheet's row was refused, kind ok when none was.
    const FileError& refusal() const { return refusal_; }

private:
    // A sheet's marked cells in a row: an error is said, a formula whose
    // value the workbook does not hold refuses the file. In a data row only
    // the columns read count.
    bool refuseMarks(const std::vector<CellMark>& marks, const std::vector<std::string>& fields,
                     long at, bool dataRow) {
        for (const CellMark& m : marks) {
            if (dataRow && std::find(header_.columns.begin(), header_.columns.end(),
                                     static_cast<int>(m.column)) == header_.columns.end())
                continue;
            const std::string cell = sheetColumnName(m.column) + std::to_string(at);
            if (m.kind == CellMark::Kind::noValue) {
                refusal_ = {FileError::Kind::formulaWithoutValue,
                            at,
                            {{msg::Code::cellFormulaWithoutValue, {cell}}}};
                stopped_ = true;
                return false;
            }
            onNote_({at, {msg::Code::cellSpreadsheetError, {cell, fields[m.column]}}, true});
        }
        return true;
    }

    TableHeader& header_;
    const TableFileReader::HeaderFn& onHeader_;
    const TableFileReader::RecordFn& onRecord_;
    const TableFileReader::NoteFn& onNote_;
    std::vector<std::string> unused_;
    // Whether a row opens the fan-selection block a 计算书 writes below its
    // table: 风机 in the segment column, the fan's node under 终点, and
    // nothing a segment needs (起点, 风量, 尺寸). No segment row looks so.
    bool fanBlock(const std::vector<std::string>& fields, std::size_t count) const {
        auto cell = [&](Column c) {
            const int at = header_.column(c);
            return at >= 0 && static_cast<std::size_t>(at) < count
                       ? trimmedCell(fields[static_cast<std::size_t>(at)])
                       : std::string_view();
        };
        return cell(Column::segment) == "风机" && cell(Column::from).empty() &&
               cell(Column::flow).empty() && cell(Column::size).empty();
    }

    bool headerDone_ = false;
    bool stopped_ = false;
    bool belowTable_ = false;
    FileError refusal_;
};

// A workbook's sheet as a table: the header looked for among its first
// rows, then every row through the same intake as a text file's.
FileError readSheet(std::string_view bytes, const std::string& sheet, char delimiter,
                    const TableFileReader::HeaderFn& onHeader,
                    const TableFileReader::RecordFn& onRecord,
                    const TableFileReader::NoteFn& onNote) {
    using Kind = FileError::Kind;
    struct FirstRow {
        std::vector<std::string> cells;
        long row;
        std::vector<CellMark> marks;
    };
    std::vector<FirstRow> first;  // the rows the header is looked for in
    int nonBlank = 0;
    std::string sheetRead;
    TableHeader header;
    std::optional<RowIntake> intake;
    FileError failure;

    // The header among the first rows; then those rows taken.
    auto search = [&]() -> bool {
        long firstLine = 0;
        std::optional<msg::Message> firstProblem;
        bool found = false;
        for (const FirstRow& r : first) {
            if (blankRow(r.cells, r.cells.size())) continue;
            if (firstLine == 0) firstLine = r.row;
            HeaderTry t = tryHeader(r.cells);
            if (!t.problem || t.namesFlowAndSize) {
                if (t.problem) {
                    failure = {Kind::badHeader, r.row, {*t.problem}};
                    return false;
                }
                header = std::move(t.header);
                header.line = r.row;
                found = true;
                break;
            }
            if (!firstProblem) firstProblem = t.problem;
        }
        if (!found) {
            failure = firstLine == 0
                          ? FileError{Kind::empty, 0, {{msg::Code::sheetEmpty, {sheetRead}}}}
                          : FileError{Kind::badHeader, firstLine, {*firstProblem}};
            return false;
        }
        // The delimiter of CSV written from it: the one asked for, or a comma.
        header.delimiter = delimiter != 0 ? delimiter : ',';
        header.encoding = Encoding::utf8;
        header.sheet = sheetRead;
        intake.emplace(header, onHeader, onRecord, onNote);
        for (FirstRow& r : first)
            if (!intake->take(r.cells, r.cells.size(), r.row, &r.marks)) return false;
        first.clear();
        return true;
    };

    const WorkbookError e = readWorkbookSheet(
        bytes, sheet,
        [&](std::vector<std::string>& cells, std::size_t count, long row,
            const std::vector<CellMark>& marks) {
            if (intake) return intake->take(cells, count, row, &marks);
            first.push_back(
                {std::vector<std::string>(cells.begin(), cells.begin() + static_cast<long>(count)),
                 row, marks});
            if (!blankRow(cells, count)) ++nonBlank;
            return nonBlank < kHeaderRows || search();
        },
        [&](const std::string& name, std::size_t sheets) {
            sheetRead = name;
            if (sheet.empty() && sheets > 1)
                onNote({0, {msg::Code::noteFirstSheetRead, {sheets, name}}, false});
        });
    // What stopped the reading: the header, a refused cell, or the callee.
    auto stoppedBy = [&]() -> FileError {
        if (failure.kind != Kind::ok) return failure;
        if (intake && intake->refusal().kind != Kind::ok) return intake->refusal();
        return {Kind::stopped, 0, {}};
    };
    switch (e.kind) {
        case WorkbookError::Kind::ok:
            break;
        case WorkbookError::Kind::stopped:
            return stoppedBy();
        case WorkbookError::Kind::ods:
            return {Kind::ods, 0, {e.message}};
        case WorkbookError::Kind::notWorkbook:
            return {Kind::notWorkbook, 0, {e.message}};
        case WorkbookError::Kind::damaged:
            return {Kind::damagedWorkbook, 0, {e.message}};
        case WorkbookError::Kind::noSheet:
            return {Kind::noSheet, 0, {e.message}};
    }
    if (!intake && !search()) return stoppedBy();
    if (!intake->handHeader()) return stoppedBy();
    return {};
}
}  // namespace

std::optional<std::string> decodedText(std::string_view bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (isUtf8(bytes, true)) return std::string(bytes);
    Decoder gb(Encoding::gb18030);
    std::string out;
    if (!gb.usable() || gb.decode(bytes, true, out) != 0) return std::nullopt;
    return out;
}

FileError TableFileReader::readText(std::string_view bytes, const HeaderFn& header,
                                    const RecordFn& record, const NoteFn& note) {
    if (bytes.empty()) return {FileError::Kind::empty, 0, {{msg::Code::fileEmpty, {}}}};
    // fmemopen reads the bytes where they are; it only needs them writable
    // by type.
    std::FILE* in = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (!in)
        return {
            FileError::Kind::readError, 0, {{msg::Code::fileReadError, {std::strerror(errno)}}}};
    FileError e = read(in, header, record, note);
    std::fclose(in);
    return e;
}

std::string_view trimmedCell(std::string_view text) {
    for (bool changed = true; changed && !text.empty();) {
        changed = false;
        const char f = text.front(), b = text.back();
        if (f == ' ' || f == '\t' || f == '\r' || f == '\n')
            text.remove_prefix(1), changed = true;
        else if (startsWith(text, kIdeographicSpace))
            text.remove_prefix(kIdeographicSpace.size()), changed = true;
        else if (startsWith(text, kNoBreakSpace))
            text.remove_prefix(kNoBreakSpace.size()), changed = true;
        if (text.empty()) break;
        if (b == ' ' || b == '\t' || b == '\r' || b == '\n')
            text.remove_suffix(1), changed = true;
        else if (endsWith(text, kIdeographicSpace))
            text.remove_suffix(kIdeographicSpace.size()), changed = true;
        else if (endsWith(text, kNoBreakSpace))
            text.remove_suffix(kNoBreakSpace.size()), changed = true;
    }
    return text;
}

std::string nameKey(std::string_view text) { return headerKey(text); }

HeaderCell readHeaderCell(std::string_view cell) {
    HeaderCell h;
    const std::string key = headerKey(cell);
    const NameAndUnit split = splitUnit(key);
    const std::string_view name = split.name;
    if (name.empty()) return h;
    auto take = [&](std::optional<Column> column, std::string_view unit) {
        h.column = column;
        h.known = true;
        h.unit = std::string(unit);
    };
    bool found = false;
    forEachName([&](std::string_view known, std::optional<Column> column) {
        if (!found && name == headerKey(known)) take(column, split.unit), found = true;
    });
    if (found) return h;
    // A name followed by its symbol ("长度l", "局部阻力系数Σζ") or, without
    // brackets, by its unit ("风量m3/h"). The longest name that fits wins.
    std::size_t best = 0;
    forEachName([&](std::string_view known, std::optional<Column> column) {
        const std::string k = headerKey(known);
        if (k.size() <= best || !startsWith(name, k) || !column) return;
        const std::string_view rest = name.substr(k.size());
        const bool symbol =
            std::find(std::begin(kSymbols), std::end(kSymbols), rest) != std::end(kSymbols);
        if (symbol) {
            take(column, split.unit);
        } else if (!split.bracketed && !plainAscii(k) && !rest.empty() &&
                   (column == Column::flow || column == Column::length || column == Column::dp ||
                    column == Column::size || column == Column::k)) {
            ColumnUnits units;
            if (readColumnUnit(*column, rest, units)) return;
            take(column, rest);
        } else {
            return;
        }
        best = k.size();
    });
    if (best > 0) return h;
    // A computed figure, by any of its names or as our outputs head it
    // ("风速 v (m/s)"): results the calculation forms anew. A figure that is
    // also an input (风量, 长度, …) is that input's, named above.
    for (const FigureField& f : kFigureFields) {
        if (std::any_of(kInputFields.begin(), kInputFields.end(),
                        [&](const InputField& i) { return i.key == f.key; }))
            continue;
        for (std::string_view known : {f.key, f.caption, f.gridCaption}) {
            if (name == headerKey(known)) {
                take(std::nullopt, split.unit);
                return h;
            }
        }
        if (!f.symbol.empty() &&
            name == headerKey(std::string(f.caption) + std::string(f.symbol))) {
            take(std::nullopt, split.unit);
            return h;
        }
    }
    // A near miss of an input column's name: a misspelling, not another column.
    if (codePoints(name).size() < 2) return h;
    forEachName([&](std::string_view known, std::optional<Column> column) {
        if (!h.nearest.empty() || !column) return;
        const std::string k = headerKey(known);
        if (plainAscii(k) && k.size() < 4) return;  // "to", "dp": too short to guess
        if (editDistance(name, k) == 1) h.nearest = std::string(known);
    });
    return h;
}

std::optional<Column> headerColumn(std::string_view cell) { return readHeaderCell(cell).column; }

std::optional<msg::Message> readColumnUnit(Column column, std::string_view unit,
                                           ColumnUnits& units) {
    using msg::Code;
    const std::string u = headerKey(unit);
    if (u.empty()) return {};
    struct Scale {
        std::string_view unit;
        double factor;
    };
    auto scaled = [&](std::initializer_list<Scale> scales, double& into,
                      Code known) -> std::optional<msg::Message> {
        for (const Scale& s : scales)
            if (u == s.unit) {
                into = s.factor;
                return {};
            }
        return msg::Message{Code::unitUnknown, {unit, known}};
    };
    switch (column) {
        case Column::flow:
            if (!unitFactor(unit)) return msg::Message{Code::unitUnknownAirVolume, {unit}};
            units.flow = std::string(trimmedCell(unit));
            return {};
        case Column::length:
            return scaled(
                {{"m", 1}, {"米", 1}, {"cm", 0.01}, {"厘米", 0.01}, {"mm", 0.001}, {"毫米", 0.001}},
                units.length, Code::unitsOfLength);
        case Column::dp:
            return scaled({{"pa", 1}, {"帕", 1}, {"kpa", 1000}, {"千帕", 1000}}, units.dp,
                          Code::unitsOfDp);
        case Column::size:
        case Column::k: {
            double mm = 1;
            return scaled({{"mm", 1}, {"毫米", 1}}, mm,
                          column == Column::size ? Code::unitsOfSize : Code::unitsOfRoughness);
        }
        default:
            return {};  // names, nodes, texts and coefficients: what the brackets say is theirs
    }
}

// A read that failed, with the system's reason.
static FileError readError() {
    return {FileError::Kind::readError, 0, {{msg::Code::fileReadError, {std::strerror(errno)}}}};
}

FileError TableFileReader::read(const std::string& path, const HeaderFn& header,
                                const RecordFn& record, const NoteFn& note) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return {
            FileError::Kind::cannotOpen, 0, {{msg::Code::fileCannotOpen, {std::strerror(errno)}}}};
    struct stat st {};
    if (fstat(fileno(in), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(in);
        return {FileError::Kind::directory, 0, {{msg::Code::fileIsDirectory, {}}}};
    }
    FileError e = read(in, header, record, note);
    std::fclose(in);
    return e;
}

FileError TableFileReader::read(std::FILE* in, const HeaderFn& onHeader, const RecordFn& onRecord,
                                const NoteFn& onNote) {
    using Kind = FileError::Kind;
    std::vector<char> buffer(kChunk);
    std::string raw;   // the start of the file as read, until the header is found
    std::string text;  // decoded text waiting to be parsed
    bool atEnd = false;
    Encoding encoding = options_.encoding;
    std::unique_ptr<Decoder> decoder;
    const CsvReader* parser = nullptr;  // once made: the lines it was fed
    bool pendingCr = false;             // a CR ended the last piece: a line end unless LF follows
    std::size_t undecoded = 0;
    long firstUndecodedLine = 0;

    auto readMore = [&]() -> bool {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
        if (n == 0) {
            atEnd = true;
            return !std::ferror(in);
        }
        raw.append(buffer.data(), n);
        return true;
    };

    // Decodes what `raw` holds from `from` on into `text`, with CR-only
    // line ends made LF; true when there was nothing undecodable.
    auto decodeRaw = [&](std::string_view bytes, bool last) {
        std::string& out = text;
        const std::size_t start = out.size();
        const std::size_t bad = decoder->decode(bytes, last, out);
        if (bad > 0) {
            if (undecoded == 0) {
                const std::size_t at = out.find(kReplacement, start);
                firstUndecodedLine =
                    (parser ? parser->line() : 1) +
                    static_cast<long>(std::count(out.begin(), out.begin() + at, '\n'));
            }
            undecoded += bad;
        }
        // CR-only line ends (old spreadsheet exports): a CR not followed by
        // LF ends a line.
        std::size_t at = start;
        if (pendingCr && at < out.size() && out[at] != '\n') out.insert(at, 1, '\n');
        pendingCr = false;
        while ((at = out.find('\r', at)) != std::string::npos) {
            if (at + 1 == out.size()) {
                if (!last)
                    pendingCr = true;
                else
                    out += '\n';
                break;
            }
            if (out[at + 1] != '\n') out[at] = '\n';
            ++at;
        }
    };

    // 1. The start of the file: what it is, the encoding and the header.
    while (!atEnd && raw.size() < kChunk)
        if (!readMore()) return readError();
    switch (fileSignature(raw)) {
        case FileSignature::ole2:
            return {Kind::xls, 0, {{msg::Code::fileIsXls, {}}}};
        case FileSignature::zip:
            // An archive is read whole, then its sheet streamed from it.
            while (!atEnd)
                if (!readMore()) return readError();
            return readSheet(raw, sheet_, options_.delimiter, onHeader, onRecord, onNote);
        case FileSignature::text:
            break;
    }
    if (!sheet_.empty()) return {Kind::noSheet, 0, {{msg::Code::fileTextNoSheet, {sheet_}}}};
    std::string_view start = raw;
    if (startsWith(start, "\xEF\xBB\xBF")) {
        start.remove_prefix(3);
        if (encoding == Encoding::automatic) encoding = Encoding::utf8;
    }
    if (encoding == Encoding::automatic) {
        encoding = Encoding::utf8;
        if (!isUtf8(start, atEnd) && isGb18030(start, atEnd)) {
            encoding = Encoding::gb18030;
            onNote({0, {msg::Code::noteReadAsGb18030, {}}, false});
        }
    }
    decoder = std::make_unique<Decoder>(encoding);
    if (!decoder->usable()) return {Kind::readError, 0, {{msg::Code::fileNoGb18030Decoder, {}}}};
    decodeRaw(start, atEnd);
    // More of the file until the first rows are whole.
    while (!atEnd && static_cast<int>(startLines(text, false).size()) < kHeaderRows &&
           text.size() < 16 * kChunk) {
        const std::size_t before = raw.size();
        if (!readMore()) return readError();
        decodeRaw(std::string_view(raw).substr(before), atEnd);
    }
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
        const long at = 1 + static_cast<long>(std::count(text.begin(), text.begin() + nul, '\n'));
        return {Kind::binary, at, {{msg::Code::fileNulByte, {}}}};
    }

    const std::vector<StartLine> lines = startLines(text, atEnd);
    if (lines.empty() && !atEnd && !trimmedCell(text).empty()) {
        // No line ends within what the header is looked for in.
        const std::size_t first = text.find_first_not_of(" \t\n");
        const long at = 1 + static_cast<long>(std::count(text.begin(), text.begin() + first, '\n'));
        return {Kind::badHeader, at, {{msg::Code::headerLineTooLong, {at, 16 * kChunk / 1024}}}};
    }
    const HeaderSearch search = searchHeader(lines, options_.delimiter);
    if (lines.empty()) return {Kind::empty, 0, {{msg::Code::fileEmpty, {}}}};
    if (!search.found) {
        msg::Messages message;
        if (search.problem) message.push_back(*search.problem);
        // Hints: the same rows read another way would give a header.
        if (encoding != Encoding::gb18030 && !isUtf8(start, atEnd) && isGb18030(start, atEnd)) {
            Decoder gb(Encoding::gb18030);
            std::string decoded;
            gb.decode(start, atEnd, decoded);
            if (searchHeader(startLines(decoded, atEnd), options_.delimiter).found)
                message.push_back({msg::Code::headerHintGb18030, {}});
        }
        if (options_.delimiter != 0 && searchHeader(lines, 0).found) {
            const char d = searchHeader(lines, 0).header.delimiter;
            message.push_back(
                {msg::Code::headerHintDelimiter,
                 {delimiterName(d), d == '\t' ? std::string("tab") : std::string(1, d)}});
        }
        return {Kind::badHeader, search.header.line, message};
    }
    TableHeader header = search.header;
    header.encoding = encoding;
    raw.clear();
    raw.shrink_to_fit();

    // 2. The rows, through the CSV parser, as the file is read on.
    CsvReader csv(header.delimiter);
    parser = &csv;
    RowIntake intake(header, onHeader, onRecord, onNote);
    const CsvReader::RecordFn take = [&](std::vector<std::string>& fields, std::size_t count,
                                         long at) { return intake.take(fields, count, at); };
    csv.begin(take);

    auto feedText = [&]() -> FileError {
        if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
            // The parser has counted the lines fed so far.
            const long at =
                csv.line() + static_cast<long>(std::count(text.begin(), text.begin() + nul, '\n'));
            return {Kind::binary, at, {{msg::Code::fileNulByte, {}}}};
        }
        const bool fed = csv.feed(text.data(), text.size());
        text.clear();
        if (intake.stopped() || csv.stopped()) return {Kind::stopped, 0, {}};
        if (!fed) return {Kind::notCsv, csv.line(), {{msg::Code::fileQuoteOutOfPlace, {}}}};
        return {};
    };

    if (FileError e = feedText(); e.kind != Kind::ok) return e;
    while (!atEnd) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
        if (n == 0) {
            if (std::ferror(in)) return readError();
            atEnd = true;
        }
        decodeRaw(std::string_view(buffer.data(), n), atEnd);
        if (FileError e = feedText(); e.kind != Kind::ok) return e;
    }
    if (undecoded > 0) {
        onNote({firstUndecodedLine,
                {undecoded == 1 ? msg::Code::noteByteUndecoded : msg::Code::noteBytesUndecoded,
                 {undecoded, encoding == Encoding::gb18030 ? "GB18030" : "UTF-8", "\xEF\xBF\xBD"}},
                true});
    }
    const CsvReader::Status s = csv.finish();
    if (s == CsvReader::Status::stopped || intake.stopped()) return {Kind::stopped, 0, {}};
    if (s == CsvReader::Status::malformed)
        return {Kind::notCsv, csv.openQuoteLine(), {{msg::Code::fileQuoteNeverClosed, {}}}};
    if (!intake.handHeader()) return {Kind::stopped, 0, {}};
    return {};
}

}  // namespace ductsys
