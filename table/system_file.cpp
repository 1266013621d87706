// SPDX-License-Identifier: GPL-3.0-or-later
#include "system_file.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "ascii.h"
#include "csv_reader.h"
#include "readers.h"

namespace table {

namespace {

// Chinese header names, by input column.
constexpr std::array<std::string_view, kInputColumns> kChineseNames{
    "段号", "起点",         "终点",     "风量", "单位",   "尺寸",
    "长度", "局部阻力系数", "固定阻力", "材料", "粗糙度", "公式"};

int columnNamed(std::string_view name) {
    name = ductsys::trimmed(name);
    for (int c = 0; c < kInputColumns; ++c) {
        if (calc::equalsIgnoringAsciiCase(name, kFileNames[static_cast<std::size_t>(c)])) return c;
        if (name == kChineseNames[static_cast<std::size_t>(c)]) return c;
    }
    return -1;
}

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

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int follow = 0;
        unsigned min = 0;
        unsigned code = 0;
        if ((c & 0xE0) == 0xC0)
            follow = 1, min = 0x80, code = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            follow = 2, min = 0x800, code = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            follow = 3, min = 0x10000, code = c & 0x07;
        else
            return false;
        if (i + static_cast<std::size_t>(follow) >= n) return false;
        for (int k = 1; k <= follow; ++k) {
            const auto f = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((f & 0xC0) != 0x80) return false;
            code = (code << 6) | (f & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(follow) + 1;
    }
    return true;
}

std::optional<std::string> gb18030ToUtf8(std::string_view bytes) {
    const iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.resize(bytes.size() * 2 + 16);
    std::string in(bytes);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) {
            const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
            continue;
        }
        ok = false;  // EILSEQ or EINVAL: not GB18030, or cut off
        break;
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    return out;
}

std::optional<std::string> decodeText(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    return gb18030ToUtf8(bytes);
}

LoadedSystem readSystemText(std::string_view bytes) {
    LoadedSystem loaded;
    std::string text;
    if (isValidUtf8(bytes)) {
        text.assign(bytes);
    } else if (auto converted = gb18030ToUtf8(bytes)) {
        text = std::move(*converted);
        loaded.wasGb18030 = true;
    } else {
        loaded.error = "文件既不是 UTF-8 也不是 GB18030 文本";
        return loaded;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(
        text.empty() ? nullptr : fmemopen(text.data(), text.size(), "rb"), &std::fclose);
    if (!in) {
        loaded.error = "文件是空的：第一行应为列名（segment, flow, size …）";
        return loaded;
    }
    std::array<int, kInputColumns> where{};
    where.fill(-1);
    bool sawHeader = false;
    ductsys::CsvReader reader;
    const auto status =
        reader.read(in.get(), [&](std::vector<std::string>& fields, std::size_t count, long) {
            if (!sawHeader) {
                sawHeader = true;
                for (std::size_t i = 0; i < count; ++i) {
                    const int c = columnNamed(fields[i]);
                    if (c >= 0 && where[static_cast<std::size_t>(c)] < 0)
                        where[static_cast<std::size_t>(c)] = static_cast<int>(i);
                    else if (!ductsys::trimmed(fields[i]).empty())
                        loaded.ignoredColumns.push_back(fields[i]);
                }
                return true;
            }
            RowTexts& row = loaded.rows.emplace_back();
            for (int c = 0; c < kInputColumns; ++c) {
                const int i = where[static_cast<std::size_t>(c)];
                if (i >= 0 && static_cast<std::size_t>(i) < count)
                    row[static_cast<std::size_t>(c)].swap(fields[static_cast<std::size_t>(i)]);
            }
            return true;
        });
    switch (status) {
        case ductsys::CsvReader::Status::done:
        case ductsys::CsvReader::Status::stopped:
            break;
        case ductsys::CsvReader::Status::malformed:
            loaded.error =
                "第 " + std::to_string(reader.line()) + " 行不是 CSV：引号位置不对或未闭合";
            break;
        case ductsys::CsvReader::Status::binary:
            loaded.error = "文件含有二进制数据，不是 CSV";
            break;
        case ductsys::CsvReader::Status::readError:
            loaded.error = "读取出错";
            break;
    }
    if (loaded.error.empty() && !sawHeader)
        loaded.error = "文件是空的：第一行应为列名（segment, flow, size …）";
    if (!loaded.error.empty()) loaded.rows.clear();
    return loaded;
}

LoadedSystem readSystemFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        LoadedSystem failed;
        failed.error = "无法打开文件";
        return failed;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return readSystemText(bytes);
}

std::string systemFileText(const std::vector<RowTexts>& rows) {
    std::string out;
    for (int c = 0; c < kInputColumns; ++c) {
        if (c > 0) out += ',';
        out += kFileNames[static_cast<std::size_t>(c)];
    }
    out += '\n';
    for (const RowTexts& row : rows) {
        for (int c = 0; c < kInputColumns; ++c) {
            if (c > 0) out += ',';
            appendCsvField(out, row[static_cast<std::size_t>(c)]);
        }
        out += '\n';
    }
    return out;
}

TextBlock parseTabSeparated(std::string_view text) {
    TextBlock block;
    if (text.empty()) return block;
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
            block.rows.push_back(std::move(row));
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
        block.rows.push_back(std::move(row));
    }
    return block;
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

}  // namespace table
