// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/xlsx_reader.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>

namespace ductsys {

namespace {

constexpr std::string_view kZipLocal = "PK\x03\x04";
constexpr std::string_view kZipEmpty = "PK\x05\x06";
constexpr std::string_view kOle2 = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// The most a workbook may make us hold: a cell's text (a spreadsheet's own
// limit is 32,767 characters) and all its shared strings together. An
// archive that unpacks to more is refused rather than filling the memory.
constexpr std::size_t kMostCellBytes = std::size_t{1} << 20;
constexpr std::size_t kMostSharedBytes = std::size_t{1} << 29;
// A sheet's limits: 1,048,576 rows of 16,384 columns (A to XFD).
constexpr long kMostRows = 1048576;
constexpr std::size_t kMostColumns = 16384;

// Element and attribute names come from expat as "namespace|local".
constexpr char kNsSeparator = '|';

// The namespaces of the workbook's parts, in the transitional and the strict
// forms of the format.
enum class Ns { none, main, officeRel, packageRel, other };
Ns namespaceOf(std::string_view uri) {
    if (uri == "http://schemas.openxmlformats.org/spreadsheetml/2006/main" ||
        uri == "http://purl.oclc.org/ooxml/spreadsheetml/main")
        return Ns::main;
    if (uri == "http://schemas.openxmlformats.org/officeDocument/2006/relationships" ||
        uri == "http://purl.oclc.org/ooxml/officeDocument/relationships")
        return Ns::officeRel;
    if (uri == "http://schemas.openxmlformats.org/package/2006/relationships")
        return Ns::packageRel;
    return Ns::other;
}

struct Name {
    Ns ns = Ns::none;
    std::string_view local;
};
Name splitName(const char* name) {
    const std::string_view n(name);
    const std::size_t at = n.rfind(kNsSeparator);
    if (at == std::string_view::npos) return {Ns::none, n};
    return {namespaceOf(n.substr(0, at)), n.substr(at + 1)};
}

// The attribute `local` of namespace `ns`, or none.
std::optional<std::string_view> attribute(const char** attrs, Ns ns, std::string_view local) {
    for (; attrs && *attrs; attrs += 2) {
        const Name n = splitName(attrs[0]);
        if (n.ns == ns && n.local == local) return std::string_view(attrs[1]);
    }
    return std::nullopt;
}

// A text's "_xHHHH_" escapes (a character XML cannot hold, such as a
// carriage return, as the format writes it) as the characters.
void unescapeXstring(std::string& text) {
    if (text.find("_x") == std::string::npos) return;
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_') {
            unsigned code = 0;
            bool ok = true;
            for (std::size_t k = 2; k < 6; ++k) {
                const int h = hex(text[i + k]);
                ok = ok && h >= 0;
                code = code << 4 | static_cast<unsigned>(h < 0 ? 0 : h);
            }
            if (ok && !(code >= 0xD800 && code <= 0xDFFF)) {
                if (code < 0x80) {
                    out += static_cast<char>(code);
                } else if (code < 0x800) {
                    out += static_cast<char>(0xC0 | code >> 6);
                    out += static_cast<char>(0x80 | (code & 0x3F));
                } else {
                    out += static_cast<char>(0xE0 | code >> 12);
                    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                }
                i += 7;
                continue;
            }
        }
        out += text[i++];
    }
    text.swap(out);
}

// An expat parser fed in pieces, with what went wrong in words.
class XmlParser;

// What every handler of a parser's events has: the parser, to stop it.
struct XmlHandler {
    XmlParser* xml = nullptr;
};

class XmlParser {
public:
    // `handler` receives the events, as the user data of each callback.
    explicit XmlParser(XmlHandler* handler) : parser_(XML_ParserCreateNS(nullptr, kNsSeparator)) {
        handler->xml = this;
        if (!parser_) return;
        XML_SetUserData(parser_, handler);
        // A workbook's parts have no document type: one that declares one
        // (and with it entities) is not read.
        XML_SetStartDoctypeDeclHandler(
            parser_, [](void* h, const XML_Char*, const XML_Char*, const XML_Char*, int) {
                static_cast<XmlHandler*>(h)->xml->stop(
                    "a document type declaration, which a workbook's part never has");
            });
    }
    ~XmlParser() {
        if (parser_) XML_ParserFree(parser_);
    }
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    XML_Parser get() const { return parser_; }

    // False when the text is not well-formed XML or the reading was stopped.
    bool feed(const char* data, std::size_t size, bool last) {
        if (!parser_) {
            problem_ = "out of memory";
            return false;
        }
        if (stopped_) return false;
        if (XML_Parse(parser_, data, static_cast<int>(size), last) == XML_STATUS_ERROR) {
            if (!stopped_)
                problem_ = "malformed XML at line " +
                           std::to_string(XML_GetCurrentLineNumber(parser_)) + ": " +
                           XML_ErrorString(XML_GetErrorCode(parser_));
            stopped_ = true;
            return false;
        }
        return !stopped_;
    }
    // Stops the reading with a reason (empty when the callee asked to stop).
    void stop(std::string reason) {
        if (stopped_) return;
        stopped_ = true;
        problem_ = std::move(reason);
        XML_StopParser(parser_, XML_FALSE);
    }
    const std::string& problem() const { return problem_; }

private:
    XML_Parser parser_;
    std::string problem_;
    bool stopped_ = false;
};

// A text collected from character data, held within the cell limit.
struct Collect {
    std::string* into = nullptr;
    bool tooLong = false;
    void add(const char* s, int len) {
        if (!into) return;
        if (into->size() + static_cast<std::size_t>(len) > kMostCellBytes) {
            tooLong = true;
            return;
        }
        into->append(s, static_cast<std::size_t>(len));
    }
};

// The column index of a cell reference ("C5": 2), none when it is not one.
std::optional<std::size_t> referenceColumn(std::string_view ref) {
    std::size_t column = 0, letters = 0;
    while (letters < ref.size() && ref[letters] >= 'A' && ref[letters] <= 'Z') {
        column = column * 26 + static_cast<std::size_t>(ref[letters] - 'A' + 1);
        if (++letters > 3) return std::nullopt;
    }
    if (letters == 0 || column > kMostColumns) return std::nullopt;
    return column - 1;
}

template <typename T>
std::optional<T> wholeNumber(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

FileSignature fileSignature(std::string_view start) {
    if (start.substr(0, kZipLocal.size()) == kZipLocal ||
        start.substr(0, kZipEmpty.size()) == kZipEmpty)
        return FileSignature::zip;
    if (start.substr(0, kOle2.size()) == kOle2) return FileSignature::ole2;
    return FileSignature::text;
}

std::string sheetColumnName(std::size_t column) {
    std::string name;
    for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
    return name;
}

// ---------------------------------------------------------------------------
// The sheet

struct SheetRows::State : XmlHandler {
    const std::vector<std::string>& shared;
    const SheetRowFn& onRow;
    XmlParser parser;
    bool stopped = false;

    int depth = 0;           // of elements
    int sheetDataDepth = 0;  // depth of <sheetData>, 0 outside it
    bool inRow = false;
    long row = 0;
    std::vector<std::string> cells;
    std::size_t count = 0;
    std::vector<CellMark> marks;

    bool inCell = false;
    std::size_t column = 0;
    long lastColumn = -1;
    std::string type;
    std::string value;    // <v>
    std::string inline_;  // <is><t>
    bool hasValue = false;
    bool hasFormula = false;
    bool inInline = false;
    int phonetic = 0;  // inside <rPh>: a reading aid, not the text
    Collect collect;

    State(const std::vector<std::string>& s, const SheetRowFn& r)
        : shared(s), onRow(r), parser(this) {}

    void fail(const std::string& reason) {
        parser.stop("row " + std::to_string(row) + ": " + reason);
    }

    void start(const char* name, const char** attrs) {
        ++depth;
        const Name n = splitName(name);
        if (n.ns != Ns::main) return;
        if (sheetDataDepth == 0) {
            if (n.local == "sheetData") sheetDataDepth = depth;
            return;
        }
        if (n.local == "row" && depth == sheetDataDepth + 1) {
            long number = row + 1;
            if (const auto r = attribute(attrs, Ns::none, "r")) {
                const std::optional<long> given = wholeNumber<long>(*r);
                if (!given) return fail("the row number \"" + std::string(*r) + "\" is no number");
                number = *given;
            }
            if (number <= row || number > kMostRows)
                return fail("row " + std::to_string(number) + " is out of order");
            row = number;
            inRow = true;
            count = 0;
            marks.clear();
            lastColumn = -1;
        } else if (n.local == "c" && inRow && depth == sheetDataDepth + 2) {
            std::size_t at = static_cast<std::size_t>(lastColumn + 1);
            if (const auto r = attribute(attrs, Ns::none, "r")) {
                const std::optional<std::size_t> c = referenceColumn(*r);
                if (!c) return fail("the cell reference \"" + std::string(*r) + "\" is not one");
                at = *c;
            }
            if (at >= kMostColumns) return fail("a cell beyond column XFD");
            column = at;
            lastColumn = static_cast<long>(at);
            type = std::string(attribute(attrs, Ns::none, "t").value_or("n"));
            value.clear();
            inline_.clear();
            hasValue = hasFormula = inInline = false;
            phonetic = 0;
            inCell = true;
        } else if (inCell) {
            if (n.local == "v") {
                hasValue = true;
                value.clear();
                collect.into = &value;
            } else if (n.local == "f") {
                hasFormula = true;
            } else if (n.local == "is") {
                inInline = true;
            } else if (n.local == "rPh") {
                ++phonetic;
            } else if (n.local == "t" && inInline && phonetic == 0) {
                collect.into = &inline_;
            }
        }
    }

    void end(const char* name) {
        --depth;
        const Name n = splitName(name);
        if (n.ns != Ns::main) return;
        if (sheetDataDepth > 0 && depth < sheetDataDepth) {
            sheetDataDepth = 0;
            return;
        }
        if (collect.tooLong) {
            return fail("cell " + sheetColumnName(column) + std::to_string(row) +
                        " holds more than " + std::to_string(kMostCellBytes) + " bytes");
        }
        if (n.local == "v" || n.local == "t") {
            collect.into = nullptr;
        } else if (n.local == "rPh") {
            --phonetic;
        } else if (n.local == "is") {
            inInline = false;
        } else if (n.local == "c" && inCell) {
            inCell = false;
            endCell();
        } else if (n.local == "row" && inRow) {
            inRow = false;
            if (!onRow(cells, count, row, marks)) {
                stopped = true;
                parser.stop({});
            }
        }
    }

    void endCell() {
        if (cells.size() < column + 1) cells.resize(column + 1);
        if (count < column + 1) {
            for (std::size_t i = count; i < column; ++i) cells[i].clear();
            count = column + 1;
        }
        std::string& text = cells[column];
        text.clear();
        if (type == "inlineStr") {
            unescapeXstring(inline_);
            text.swap(inline_);
            return;
        }
        // A formula whose value was never saved: no <v>, or an empty one
        // where only a text result may be empty (some writers leave one).
        if (hasFormula && (!hasValue || (value.empty() && type != "str"))) {
            marks.push_back({column, CellMark::Kind::noValue});
            return;
        }
        if (type == "s") {
            if (!hasValue) return;
            const std::optional<std::size_t> index = wholeNumber<std::size_t>(value);
            if (!index || *index >= shared.size())
                return fail("cell " + sheetColumnName(column) + std::to_string(row) +
                            " names shared string " + value + ", which the workbook lacks");
            text = shared[*index];
        } else if (type == "b") {
            text = value == "1" ? "TRUE" : value == "0" ? "FALSE" : value;
        } else if (type == "e") {
            text.swap(value);
            marks.push_back({column, CellMark::Kind::error});
        } else {
            // A number as the file writes it ("0.35", "1E-3"); the text of a
            // formula ("str"); a date as text ("d").
            if (type == "str") unescapeXstring(value);
            text.swap(value);
        }
    }
};

SheetRows::SheetRows(const std::vector<std::string>& sharedStrings, const SheetRowFn& row)
    : state_(new State(sharedStrings, row)) {
    XML_Parser p = state_->parser.get();
    if (!p) return;
    XML_SetElementHandler(
        p,
        [](void* s, const XML_Char* name, const XML_Char** attrs) {
            static_cast<State*>(static_cast<XmlHandler*>(s))->start(name, attrs);
        },
        [](void* s, const XML_Char* name) {
            static_cast<State*>(static_cast<XmlHandler*>(s))->end(name);
        });
    XML_SetCharacterDataHandler(p, [](void* s, const XML_Char* text, int len) {
        static_cast<State*>(static_cast<XmlHandler*>(s))->collect.add(text, len);
    });
}

SheetRows::~SheetRows() = default;

bool SheetRows::feed(const char* data, std::size_t size, bool last) {
    return state_->parser.feed(data, size, last) && !state_->stopped;
}
bool SheetRows::stopped() const { return state_->stopped; }
const std::string& SheetRows::problem() const { return state_->parser.problem(); }

// ---------------------------------------------------------------------------
// The workbook

namespace {

// An open archive, with its parts read by name.
class Archive {
public:
    explicit Archive(std::string_view bytes) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (source) {
            zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!zip_) zip_source_free(source);
        }
        if (!zip_) problem_ = zip_error_strerror(&error);
        zip_error_fini(&error);
    }
    ~Archive() {
        if (zip_) zip_discard(zip_);
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool open() const { return zip_ != nullptr; }
    const std::string& problem() const { return problem_; }
    bool has(const std::string& name) const {
        return zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE) >= 0;
    }

    // Feeds the part `name` to `feed` in pieces; the reason when it cannot
    // be read whole, empty when it was (or `feed` stopped).
    template <typename Feed>
    std::string read(const std::string& name, Feed feed) const {
        zip_file_t* file = zip_fopen(zip_, name.c_str(), ZIP_FL_NOCASE);
        if (!file) return name + ": " + zip_strerror(zip_);
        std::unique_ptr<char[]> buffer(new char[kPiece]);
        std::string problem;
        for (;;) {
            const zip_int64_t n = zip_fread(file, buffer.get(), kPiece);
            if (n < 0) {
                problem = name + ": " + zip_file_strerror(file);
                break;
            }
            if (!feed(buffer.get(), static_cast<std::size_t>(n), n == 0)) break;
            if (n == 0) break;
        }
        zip_fclose(file);
        return problem;
    }

    // A small part's text whole; none when it is missing.
    std::optional<std::string> text(const std::string& name, std::string& problem) const {
        if (!has(name)) return std::nullopt;
        std::string out;
        problem = read(name, [&](const char* data, std::size_t size, bool) {
            if (out.size() + size > kMostSharedBytes) return false;
            out.append(data, size);
            return true;
        });
        if (problem.empty() && out.size() > kMostSharedBytes)
            problem = name + ": larger than a workbook's part is read";
        return out;
    }

private:
    static constexpr std::size_t kPiece = 1 << 16;
    zip_t* zip_ = nullptr;
    std::string problem_;
};

// A parser whose handlers are the members of `T` (start, end, text).
template <typename T>
std::string parseXml(const std::string& part, std::string_view text, T& handler) {
    XmlParser xml(static_cast<XmlHandler*>(&handler));
    XML_Parser p = xml.get();
    if (!p) return part + ": out of memory";
    XML_SetElementHandler(
        p,
        [](void* s, const XML_Char* name, const XML_Char** attrs) {
            static_cast<T*>(static_cast<XmlHandler*>(s))->start(splitName(name), attrs);
        },
        [](void* s, const XML_Char* name) {
            static_cast<T*>(static_cast<XmlHandler*>(s))->end(splitName(name));
        });
    XML_SetCharacterDataHandler(p, [](void* s, const XML_Char* t, int len) {
        static_cast<T*>(static_cast<XmlHandler*>(s))->text(t, len);
    });
    if (!xml.feed(text.data(), text.size(), true)) return part + ": " + xml.problem();
    return {};
}

struct SheetEntry {
    std::string name;
    std::string relId;
    bool hidden = false;
};

// xl/workbook.xml: the sheets in their order.
struct WorkbookPart : XmlHandler {
    std::vector<SheetEntry> sheets;
    void start(Name n, const char** attrs) {
        if (n.ns != Ns::main || n.local != "sheet") return;
        SheetEntry e;
        e.name = attribute(attrs, Ns::none, "name").value_or("");
        e.relId = attribute(attrs, Ns::officeRel, "id").value_or("");
        const std::string_view state = attribute(attrs, Ns::none, "state").value_or("visible");
        e.hidden = state == "hidden" || state == "veryHidden";
        sheets.push_back(std::move(e));
    }
    void end(Name) {}
    void text(const char*, int) {}
};

struct Relationship {
    std::string id, type, target;
};
// xl/_rels/workbook.xml.rels: where each sheet and the shared strings are.
struct RelsPart : XmlHandler {
    std::vector<Relationship> rels;
    void start(Name n, const char** attrs) {
        if (n.local != "Relationship") return;
        rels.push_back({std::string(attribute(attrs, Ns::none, "Id").value_or("")),
                        std::string(attribute(attrs, Ns::none, "Type").value_or("")),
                        std::string(attribute(attrs, Ns::none, "Target").value_or(""))});
    }
    void end(Name) {}
    void text(const char*, int) {}
};

// xl/sharedStrings.xml: each <si>'s text, its runs joined, reading aids left
// out.
struct SharedStringsPart : XmlHandler {
    std::vector<std::string> strings;
    std::string current;
    bool inItem = false, inText = false;
    int phonetic = 0;
    std::size_t bytes = 0;
    void start(Name n, const char**) {
        if (n.ns != Ns::main) return;
        if (n.local == "si") {
            inItem = true;
            current.clear();
        } else if (n.local == "rPh") {
            ++phonetic;
        } else if (n.local == "t" && inItem && phonetic == 0) {
            inText = true;
        }
    }
    void end(Name n) {
        if (n.ns != Ns::main) return;
        if (n.local == "si") {
            inItem = false;
            unescapeXstring(current);
            strings.push_back(std::move(current));
            current.clear();
        } else if (n.local == "rPh") {
            --phonetic;
        } else if (n.local == "t") {
            inText = false;
        }
    }
    void text(const char* t, int len) {
        if (!inText) return;
        bytes += static_cast<std::size_t>(len);
        if (bytes > kMostSharedBytes)
            return xml->stop("more shared text than a workbook is read with");
        current.append(t, static_cast<std::size_t>(len));
    }
};

// A relationship's target as a part name: relative to xl/, or from the
// archive's root when it begins with "/"; "." and ".." resolved.
std::string partName(std::string_view target) {
    std::string path =
        target.substr(0, 1) == "/" ? std::string(target.substr(1)) : "xl/" + std::string(target);
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        const std::string piece = path.substr(at, end - at);
        if (piece == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        at = end + 1;
    }
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

WorkbookError readWorkbookSheet(
    std::string_view bytes, const std::string& sheet, const SheetRowFn& row,
    const std::function<void(const std::string& sheetName, std::size_t sheets)>& sheetName) {
    using Kind = WorkbookError::Kind;
    using msg::Code;
    // What is wrong inside the archive, in the words of its parts and XML.
    auto damaged = [](std::string detail) -> WorkbookError {
        return {Kind::damaged, {Code::workbookDamaged, {std::move(detail)}}};
    };
    const Archive zip(bytes);
    if (!zip.open()) return damaged("not a readable zip archive: " + zip.problem());
    std::string problem;
    if (const std::optional<std::string> mimetype = zip.text("mimetype", problem);
        mimetype && mimetype->find("application/vnd.oasis.opendocument.spreadsheet") == 0)
        return {Kind::ods, {Code::fileIsOds, {}}};
    const std::string kWorkbook = "xl/workbook.xml";
    if (!zip.has(kWorkbook)) {
        if (zip.has("xl/workbook.bin")) return {Kind::notWorkbook, {Code::fileIsXlsb, {}}};
        if (zip.has("[Content_Types].xml") || zip.has("_rels/.rels") || zip.has("mimetype"))
            return {Kind::notWorkbook, {Code::fileOfficeNotWorkbook, {kWorkbook}}};
        return {Kind::notWorkbook, {Code::fileZipNotWorkbook, {kWorkbook}}};
    }

    // The sheets and where their parts are.
    WorkbookPart workbook;
    const std::optional<std::string> workbookText = zip.text(kWorkbook, problem);
    if (!problem.empty()) return damaged(problem);
    if (problem = parseXml(kWorkbook, *workbookText, workbook); !problem.empty())
        return damaged(problem);
    RelsPart rels;
    const std::string kRels = "xl/_rels/workbook.xml.rels";
    const std::optional<std::string> relsText = zip.text(kRels, problem);
    if (!problem.empty()) return damaged(problem);
    if (!relsText) return damaged("the part " + kRels + " is missing");
    if (problem = parseXml(kRels, *relsText, rels); !problem.empty()) return damaged(problem);
    auto relation = [&](const std::string& id) -> const Relationship* {
        for (const Relationship& r : rels.rels)
            if (r.id == id) return &r;
        return nullptr;
    };
    auto isWorksheet = [&](const SheetEntry& e) {
        const Relationship* r = relation(e.relId);
        return r && endsWith(r->type, "/worksheet");
    };

    const SheetEntry* chosen = nullptr;
    if (sheet.empty()) {
        for (const SheetEntry& e : workbook.sheets)
            if (!e.hidden && isWorksheet(e)) {
                chosen = &e;
                break;
            }
        if (!chosen) return damaged("the workbook has no worksheet");
    } else {
        for (const SheetEntry& e : workbook.sheets)
            if (e.name == sheet) chosen = &e;
        if (!chosen) {
            // Sheet names differ in more than letter case.
            for (const SheetEntry& e : workbook.sheets)
                if (equalIgnoringAsciiCase(e.name, sheet)) chosen = &e;
        }
        if (!chosen || !isWorksheet(*chosen)) {
            std::string names;
            for (const SheetEntry& e : workbook.sheets)
                names += (names.empty() ? "" : ", ") + ("\"" + e.name + "\"");
            return {Kind::noSheet, chosen ? msg::Message{Code::sheetIsChart, {chosen->name}}
                                          : msg::Message{Code::sheetMissing, {sheet, names}}};
        }
    }
    const std::string sheetPart = partName(relation(chosen->relId)->target);
    if (!zip.has(sheetPart))
        return damaged("the sheet \"" + chosen->name + "\"'s part " + sheetPart + " is missing");

    SharedStringsPart shared;
    for (const Relationship& r : rels.rels) {
        if (!endsWith(r.type, "/sharedStrings")) continue;
        const std::string name = partName(r.target);
        const std::optional<std::string> text = zip.text(name, problem);
        if (!problem.empty()) return damaged(problem);
        if (!text) return damaged("the part " + name + " is missing");
        if (problem = parseXml(name, *text, shared); !problem.empty()) return damaged(problem);
        break;
    }

    if (sheetName) sheetName(chosen->name, workbook.sheets.size());
    SheetRows rows(shared.strings, row);
    bool fed = true;
    problem = zip.read(sheetPart, [&](const char* data, std::size_t size, bool last) {
        fed = rows.feed(data, size, last);
        return fed;
    });
    if (rows.stopped()) return {Kind::stopped, {}};
    if (!problem.empty()) return damaged(problem);
    if (!fed) return damaged(sheetPart + ": " + rows.problem());
    return {};
}

}  // namespace ductsys
