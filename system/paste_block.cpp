// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/paste_block.h"

#include <optional>

namespace ductsys {

PastedBlock readPastedBlock(std::string_view bytes) {
    PastedBlock block;
    const std::optional<std::string> text = decodedText(bytes);
    // A block with a header row is read as a file is: a spreadsheet's rows
    // copied with their column names.
    bool sawHeader = false;
    TableFileReader reader;
    const FileError e = reader.readText(
        bytes,
        [&](const TableHeader& header) {
            sawHeader = true;
            block.header = header;
            return true;
        },
        [&](std::vector<std::string>& fields, std::size_t count, long) {
            block.rows.emplace_back(
                std::make_move_iterator(fields.begin()),
                std::make_move_iterator(fields.begin() + static_cast<std::ptrdiff_t>(count)));
            return true;
        },
        [](const FileNote&) {});
    if (sawHeader) {
        if (e.ok()) {
            block.kind = PastedBlock::Kind::table;
            return block;
        }
        block.kind = PastedBlock::Kind::error;
        block.rows.clear();
        block.message = e.message;
        block.line = e.line;
        return block;
    }
    block.kind = PastedBlock::Kind::cells;
    block.header = {};
    block.rows = tabSeparatedRows(text ? std::string_view(*text) : bytes);
    return block;
}

std::vector<std::vector<std::string>> tabSeparatedRows(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    if (text.empty()) return rows;
    std::vector<std::string> row;
    std::string field;
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool atFieldStart = true;
    bool pending = false;  // a row has begun
    while (i < n) {
        const char c = text[i];
        if (atFieldStart && c == '"') {
            // A quoted field, up to its closing quote.
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            atFieldStart = false;
            pending = true;
            continue;
        }
        atFieldStart = false;
        if (c == '\t') {
            row.push_back(std::move(field));
            field.clear();
            atFieldStart = true;
            pending = true;
            ++i;
        } else if (c == '\r' || c == '\n') {
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
            atFieldStart = true;
            pending = false;
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
        } else {
            field += c;
            pending = true;
            ++i;
        }
    }
    if (pending) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string tabField(std::string_view text) {
    if (text.find_first_of("\t\r\n") == std::string_view::npos &&
        (text.empty() || text.front() != '"'))
        return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace ductsys
