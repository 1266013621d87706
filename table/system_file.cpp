// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/system_file.h"

#include <algorithm>

#include "calc/ascii.h"
#include "messages/catalogue.h"

namespace table {

namespace {

// The grid's input columns are the reader's, in the same order.
// The grid's input columns are a file's, in the same order, up to its role
// column, which only the command line's sizing reads.
static_assert(kInputColumns == static_cast<int>(ductsys::Column::role));
static_assert(ductsys::kColumnCount == static_cast<std::size_t>(ductsys::Column::role) + 1);
static_assert(cFormula == static_cast<int>(ductsys::Column::formula));
static_assert(cFlow == static_cast<int>(ductsys::Column::flow));

bool needsQuotes(std::string_view field) {
    if (field.empty()) return false;
    if (field.front() == ' ' || field.back() == ' ') return true;
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

void appendCsvField(std::string& out, std::string_view field) {
    if (!needsQuotes(field)) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void appendRow(std::string& out, const std::vector<std::string_view>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += ',';
        appendCsvField(out, cells[i]);
    }
    out += '\n';
}

std::string errorText(const ductsys::FileError& e) {
    using Kind = ductsys::FileError::Kind;
    const std::string line = std::to_string(e.line);
    switch (e.kind) {
        case Kind::cannotOpen:
            return "无法打开文件";
        case Kind::directory:
            return "这是一个文件夹，不是表格";
        case Kind::readError:
            return "读取出错";
        case Kind::binary:
            return "文件含有二进制数据，不是 CSV";
        case Kind::notCsv:
            return "第 " + line + " 行不是 CSV：引号位置不对或未闭合";
        case Kind::empty:
            return "文件是空的：第一行应为列名（segment, flow, size …）";
        case Kind::badHeader:
            return "第 " + line +
                   " 行：找不到表头，表头至少应有“风量”（flow）和“尺寸”（size）两列，"
                   "且每列只出现一次";
        case Kind::xls:
        case Kind::ods:
        case Kind::notWorkbook:
        case Kind::damagedWorkbook:
        case Kind::noSheet:
        case Kind::formulaWithoutValue:
            // The reader says what the file is and what to do with it.
            return (e.line > 0 ? "第 " + line + " 行：" : std::string()) +
                   msg::renderList(e.message, msg::Language::chinese);
        case Kind::ok:
        case Kind::stopped:
            break;
    }
    return {};
}

// The settings above the header that the grid reads; the other rows above
// it are kept as they are.
void takeAbove(const ductsys::TableHeader& header, LoadedSystem& loaded) {
    struct Above {
        long line;
        std::vector<std::string> cells;
    };
    std::vector<Above> rows;
    for (const ductsys::SettingRow& s : header.settings) {
        if (const SettingName* n = ductsys::settingNamed(s.name))
            loaded.settings.*(n->field) = s.value;
        else
            rows.push_back({s.line, {s.name, s.value}});
    }
    for (const ductsys::TitleRow& t : header.titles) rows.push_back({t.line, {t.text}});
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Above& a, const Above& b) { return a.line < b.line; });
    for (Above& a : rows) loaded.layout.above.push_back(std::move(a.cells));
}

LoadedSystem readWith(const auto& read) {
    LoadedSystem loaded;
    std::vector<int> keptAt;  // field index of each kept column
    const ductsys::FileError e = read(
        [&](const ductsys::TableHeader& h) {
            loaded.wasGb18030 = h.encoding == ductsys::Encoding::gb18030;
            loaded.sheet = h.sheet;
            std::vector<int> columnOf(h.fieldCount, -1);
            for (int c = 0; c < kInputColumns; ++c)
                if (const int at = h.columns[static_cast<std::size_t>(c)]; at >= 0)
                    columnOf[static_cast<std::size_t>(at)] = c;
            for (std::size_t i = 0; i < h.fieldCount; ++i) {
                FileSlot slot;
                slot.name = i < h.names.size() ? h.names[i] : std::string();
                slot.column = columnOf[i];
                if (slot.column < 0) {
                    slot.kept = static_cast<int>(keptAt.size());
                    keptAt.push_back(static_cast<int>(i));
                    loaded.layout.keptNames.push_back(slot.name);
                }
                loaded.layout.fileColumns.push_back(std::move(slot));
            }
            takeAbove(h, loaded);
            return true;
        },
        [&](std::vector<std::string>& fields, std::size_t count, long) {
            RowTexts& row = loaded.rows.emplace_back();
            for (std::size_t i = 0; i < loaded.layout.fileColumns.size() && i < count; ++i) {
                const int c = loaded.layout.fileColumns[i].column;
                if (c >= 0) row[static_cast<std::size_t>(c)].swap(fields[i]);
            }
            std::vector<std::string>& kept = loaded.kept.emplace_back(keptAt.size());
            for (std::size_t k = 0; k < keptAt.size(); ++k)
                if (static_cast<std::size_t>(keptAt[k]) < count)
                    kept[k].swap(fields[static_cast<std::size_t>(keptAt[k])]);
            // Cells past the header's are kept too, under no name.
            for (std::size_t i = loaded.layout.fileColumns.size(); i < count; ++i) {
                if (ductsys::trimmedCell(fields[i]).empty()) continue;
                while (loaded.layout.fileColumns.size() <= i) {
                    FileSlot slot;
                    slot.kept = static_cast<int>(keptAt.size());
                    keptAt.push_back(static_cast<int>(loaded.layout.fileColumns.size()));
                    loaded.layout.keptNames.emplace_back();
                    loaded.layout.fileColumns.push_back(std::move(slot));
                }
                kept.resize(keptAt.size());
                kept[static_cast<std::size_t>(loaded.layout.fileColumns[i].kept)].swap(fields[i]);
            }
            return true;
        },
        [](const ductsys::FileNote&) {});
    if (!e.ok() || e.kind == ductsys::FileError::Kind::stopped) {
        LoadedSystem failed;
        failed.error = errorText(e);
        failed.errorLine = e.line;
        return failed;
    }
    for (auto& k : loaded.kept) k.resize(keptAt.size());
    return loaded;
}

}  // namespace

LoadedSystem readSystemFile(const std::string& path) {
    return readWith([&](const auto& header, const auto& record, const auto& note) {
        ductsys::TableFileReader reader;
        return reader.read(path, header, record, note);
    });
}

LoadedSystem readSystemText(std::string_view bytes) {
    return readWith([&](const auto& header, const auto& record, const auto& note) {
        ductsys::TableFileReader reader;
        return reader.readText(bytes, header, record, note);
    });
}

std::string systemFileText(const std::vector<RowTexts>& rows,
                           const std::vector<std::vector<std::string>>& kept,
                           const DocumentLayout& layout, const DocumentSettings& settings) {
    std::string out;
    for (const SettingName& n : kSettingNames)
        if (const std::string& value = settings.*(n.field); !ductsys::trimmedCell(value).empty())
            appendRow(out, {n.name, ductsys::trimmedCell(value)});
    for (const auto& above : layout.above)
        appendRow(out, std::vector<std::string_view>(above.begin(), above.end()));

    // The file's columns, then the input columns it lacked that a row now
    // uses.
    std::vector<FileSlot> fileColumns = layout.fileColumns;
    const bool fresh = fileColumns.empty();
    for (int c = 0; c < kInputColumns; ++c) {
        const bool present = std::any_of(fileColumns.begin(), fileColumns.end(),
                                         [c](const FileSlot& s) { return s.column == c; });
        if (present) continue;
        const bool used = fresh || std::any_of(rows.begin(), rows.end(), [c](const RowTexts& r) {
                              return !r[static_cast<std::size_t>(c)].empty();
                          });
        if (used)
            fileColumns.push_back({c, -1, std::string(kFileNames[static_cast<std::size_t>(c)])});
    }
    std::vector<std::string_view> cells(fileColumns.size());
    for (std::size_t i = 0; i < fileColumns.size(); ++i) cells[i] = fileColumns[i].name;
    appendRow(out, cells);
    static const std::string kNothing;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t i = 0; i < fileColumns.size(); ++i) {
            const FileSlot& s = fileColumns[i];
            if (s.column >= 0) {
                cells[i] = rows[r][static_cast<std::size_t>(s.column)];
            } else {
                const std::vector<std::string>* k = r < kept.size() ? &kept[r] : nullptr;
                cells[i] = k && s.kept >= 0 && static_cast<std::size_t>(s.kept) < k->size()
                               ? std::string_view((*k)[static_cast<std::size_t>(s.kept)])
                               : std::string_view(kNothing);
            }
        }
        appendRow(out, cells);
    }
    return out;
}

std::string systemFileText(const std::vector<RowTexts>& rows) {
    return systemFileText(rows, {}, {}, {});
}

}  // namespace table
