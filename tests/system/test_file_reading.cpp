// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a file piece by piece: a character or a line end cut by the
// reader's 64 KiB reads, total rows, rows longer than the header, the CSV
// parser alone, and the tables of names as they grow and their hashes meet.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "messages/catalogue.h"
#include "system/csv_reader.h"
#include "system/names.h"
#include "system/table_file.h"

namespace {

using ductsys::Encoding;
using ductsys::FileError;

constexpr std::size_t kRead = 1 << 16;  // the reader's piece of a file

std::FILE* fileWith(const std::string& bytes) {
    std::FILE* in = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), in);
    std::rewind(in);
    return in;
}

struct Row {
    std::vector<std::string> fields;
    long line;
};

struct Read {
    FileError error;
    std::vector<Row> rows;
    std::vector<std::string> notes;
    std::size_t headerFields = 0;
};

Read readBytes(const std::string& bytes, ductsys::TableFileOptions options = {}) {
    std::FILE* in = fileWith(bytes);
    Read r;
    ductsys::TableFileReader reader(options);
    r.error = reader.read(
        in,
        [&](const ductsys::TableHeader& h) {
            r.headerFields = h.fieldCount;
            return true;
        },
        [&](std::vector<std::string>& fields, std::size_t count, long line) {
            r.rows.push_back({{fields.begin(), fields.begin() + static_cast<long>(count)}, line});
            return true;
        },
        [&](const ductsys::FileNote& n) {
            r.notes.push_back(msg::render(n.message, msg::Language::english));
        });
    std::fclose(in);
    return r;
}

// A character, or a line end, that the reads cut: `bytes` as the file holds
// it, `text` as read (UTF-8), and where the cut falls inside it.
struct Cut {
    const char* name;
    Encoding encoding;
    std::string_view bytes;  // as written in the file
    std::string_view text;   // as read
    std::size_t inside;      // bytes of it before the cut, 1 … size - 1
    std::string_view lineEnd = "\n";
    std::size_t boundary = 1;  // the first read's end, or a later one
};
void PrintTo(const Cut& c, std::ostream* os) { *os << c.name; }

// Rows "Rn,1000,200" up to a row whose name ends in the cut text, placed so
// that `inside` of its bytes lie before the boundary, and a few rows after.
struct CutFile {
    std::string bytes;
    std::vector<std::string> names;  // as read, in order
    std::size_t cutRow = 0;
};
CutFile cutFile(const Cut& c) {
    CutFile f;
    const std::string end(c.lineEnd);
    f.bytes = "segment,flow,size" + end;
    const std::size_t boundary = c.boundary * kRead;
    const bool cutsLineEnd = c.bytes.empty();
    for (int i = 0;; ++i) {
        const std::string name = "R" + std::to_string(i);
        const std::string row = name + ",1000,200";
        // Room left before the cut: fill it with one row that ends there.
        const std::size_t tail = cutsLineEnd ? c.inside : c.bytes.size() + 9 + end.size();
        if (f.bytes.size() + row.size() + end.size() + tail + 64 < boundary) {
            f.bytes += row + end;
            f.names.push_back(name);
            continue;
        }
        f.cutRow = f.names.size();
        if (cutsLineEnd) {
            // A row whose line end straddles the boundary.
            const std::size_t fill = boundary - c.inside - f.bytes.size() - 9;
            const std::string padded = "P" + std::string(fill - 1, 'x');
            f.bytes += padded + ",1000,200" + end;
            f.names.push_back(padded);
        } else {
            // A row whose name ends in the character straddling the boundary.
            const std::size_t fill = boundary - c.inside - f.bytes.size();
            const std::string pad = "P" + std::string(fill - 1, 'x');
            f.bytes += pad + std::string(c.bytes) + ",1000,200" + end;
            f.names.push_back(pad + std::string(c.text));
        }
        break;
    }
    for (int i = 0; i < 5; ++i) {
        f.bytes += "T" + std::to_string(i) + ",500,φ" + std::to_string(100 + i) + end;
        f.names.push_back("T" + std::to_string(i));
    }
    return f;
}

class ReadBoundaries : public testing::TestWithParam<Cut> {};

TEST_P(ReadBoundaries, LeaveEveryRowWhole) {
    const Cut& c = GetParam();
    std::string bytes = cutFile(c).bytes;
    const CutFile f = cutFile(c);
    if (c.encoding == Encoding::gb18030) {
        // The rows after the cut hold "φ", which GB18030 writes as A6D5.
        std::string converted;
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            if (bytes.compare(at, 2, "φ") == 0) {
                converted += "\xA6\xD5";
                ++at;
            } else {
                converted += bytes[at];
            }
        }
        bytes = converted;
    }
    if (!c.bytes.empty()) {
        // The cut character's first byte lies just before the boundary.
        const std::size_t at = c.boundary * kRead - c.inside;
        ASSERT_EQ(bytes.substr(at, c.bytes.size()), c.bytes);
    } else {
        ASSERT_EQ(bytes.substr(c.boundary * kRead - c.inside, c.lineEnd.size()), c.lineEnd);
    }
    const Read r = readBytes(bytes, {c.encoding, 0});
    ASSERT_TRUE(r.error.ok()) << msg::renderList(r.error.message, msg::Language::english);
    EXPECT_EQ(r.notes, std::vector<std::string>{});
    ASSERT_EQ(r.rows.size(), f.names.size());
    for (std::size_t i = 0; i < f.names.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        ASSERT_EQ(r.rows[i].fields.size(), 3u);
        EXPECT_EQ(r.rows[i].fields[0], f.names[i]);
        EXPECT_EQ(r.rows[i].fields[1], i > f.cutRow ? "500" : "1000");
        EXPECT_EQ(r.rows[i].line, static_cast<long>(i) + 2);
    }
    EXPECT_EQ(r.rows.back().fields[2], "φ104");
}

INSTANTIATE_TEST_SUITE_P(
    Reads, ReadBoundaries,
    testing::Values(
        Cut{"Utf8ThreeBytesCutAfterOne", Encoding::utf8, "风", "风", 1},
        Cut{"Utf8ThreeBytesCutAfterTwo", Encoding::utf8, "风", "风", 2},
        Cut{"Utf8FourBytesCutAfterThree", Encoding::utf8, "\xF0\xA0\x80\x80", "\xF0\xA0\x80\x80",
            3},
        Cut{"Utf8CutAtTheSecondRead", Encoding::utf8, "风", "风", 1, "\n", 2},
        Cut{"AutomaticUtf8CutAfterOne", Encoding::automatic, "段", "段", 1},
        Cut{"Gb18030TwoBytesCutInHalf", Encoding::gb18030, "\xB7\xE7", "风", 1},
        Cut{"Gb18030TwoBytesCutAtTheSecondRead", Encoding::gb18030, "\xB7\xE7", "风", 1, "\n", 2},
        Cut{"Gb18030FourBytesCutAfterOne", Encoding::gb18030, "\x95\x32\x82\x36",
            "\xF0\xA0\x80\x80", 1},
        Cut{"Gb18030FourBytesCutAfterTwo", Encoding::gb18030, "\x95\x32\x82\x36",
            "\xF0\xA0\x80\x80", 2},
        Cut{"Gb18030FourBytesCutAfterThree", Encoding::gb18030, "\x95\x32\x82\x36",
            "\xF0\xA0\x80\x80", 3, "\r\n"},
        Cut{"CrlfCutBetweenCrAndLf", Encoding::utf8, "", "", 1, "\r\n"},
        Cut{"CrlfCutBetweenCrAndLfAtTheSecondRead", Encoding::utf8, "", "", 1, "\r\n", 2},
        Cut{"CrAloneEndingTheFirstRead", Encoding::utf8, "", "", 1, "\r"},
        Cut{"CrAloneEndingTheSecondRead", Encoding::utf8, "", "", 1, "\r", 2},
        Cut{"Utf8CutInFileOfCrLineEnds", Encoding::utf8, "风", "风", 2, "\r"}),
    [](const auto& info) { return std::string(info.param.name); });

// Rows the reader hands on, and those it keeps back.
struct RowsCase {
    const char* name;
    std::string text;
    std::vector<std::size_t> counts;  // the fields of each row handed on
    std::vector<long> lines;
};
void PrintTo(const RowsCase& c, std::ostream* os) { *os << c.name; }

class RowsHandedOn : public testing::TestWithParam<RowsCase> {};

TEST_P(RowsHandedOn, AreTheDataRowsWithTheirFields) {
    const RowsCase& c = GetParam();
    const Read r = readBytes(c.text);
    ASSERT_TRUE(r.error.ok()) << msg::renderList(r.error.message, msg::Language::english);
    std::vector<std::size_t> counts;
    std::vector<long> lines;
    for (const Row& row : r.rows) {
        counts.push_back(row.fields.size());
        lines.push_back(row.line);
    }
    EXPECT_EQ(counts, c.counts);
    EXPECT_EQ(lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RowsHandedOn,
    testing::Values(
        RowsCase{"TotalRowInChineseIsKeptBack", "segment,flow,size\nA,1,200\n合计,1,\n", {3}, {2}},
        RowsCase{"TotalRowInEnglishIsKeptBack",
                 "segment,flow,size\nA,1,200\nB,2,200\nTotal,3,\n",
                 {3, 3},
                 {2, 3}},
        RowsCase{"RowLongerThanTheHeaderKeepsItsFields",
                 "segment,flow,size\nA,1,200,extra\nB,1,200\n",
                 {4, 3},
                 {2, 3}},
        RowsCase{"RowShorterThanTheHeaderIsFilled", "segment,flow,size\nA,1\n", {3}, {2}},
        RowsCase{"QuotedLineEndStaysInItsRow",
                 "segment,flow,size\n\"A\nB\",1,200\nC,1,200\n",
                 {3, 3},
                 {2, 4}},
        RowsCase{
            "EmptyRowsAreSkipped", "segment,flow,size\n\nA,1,200\n,,\nB,1,200\n", {3, 3}, {3, 5}}),
    [](const auto& info) { return std::string(info.param.name); });

// The CSV parser on its own, fed whole or in pieces of any size.
struct CsvCase {
    const char* name;
    std::string text;
    std::vector<std::vector<std::string>> records;
    std::vector<long> lines;
    ductsys::CsvReader::Status status = ductsys::CsvReader::Status::done;
};
void PrintTo(const CsvCase& c, std::ostream* os) { *os << c.name; }

class CsvRecords : public testing::TestWithParam<CsvCase> {};

TEST_P(CsvRecords, AreTheSameWholeAndInPieces) {
    const CsvCase& c = GetParam();
    for (std::size_t piece : {c.text.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{3}}) {
        SCOPED_TRACE("pieces of " + std::to_string(piece));
        ductsys::CsvReader reader;
        std::vector<std::vector<std::string>> records;
        std::vector<long> lines;
        const ductsys::CsvReader::RecordFn take = [&](std::vector<std::string>& fields,
                                                      std::size_t count, long line) {
            records.emplace_back(fields.begin(), fields.begin() + static_cast<long>(count));
            lines.push_back(line);
            return true;
        };
        reader.begin(take);
        bool fed = true;
        for (std::size_t at = 0; at < c.text.size() && fed; at += piece)
            fed = reader.feed(c.text.data() + at, std::min(piece, c.text.size() - at));
        const ductsys::CsvReader::Status status =
            fed ? reader.finish() : ductsys::CsvReader::Status::malformed;
        EXPECT_EQ(status, c.status);
        if (c.status != ductsys::CsvReader::Status::done) continue;
        EXPECT_EQ(records, c.records);
        EXPECT_EQ(lines, c.lines);
    }
}

TEST_P(CsvRecords, AreTheSameFromAFile) {
    const CsvCase& c = GetParam();
    std::FILE* in = fileWith(c.text);
    ductsys::CsvReader reader;
    std::vector<std::vector<std::string>> records;
    const ductsys::CsvReader::Status status =
        reader.read(in, [&](std::vector<std::string>& fields, std::size_t count, long) {
            records.emplace_back(fields.begin(), fields.begin() + static_cast<long>(count));
            return true;
        });
    std::fclose(in);
    EXPECT_EQ(status, c.status);
    if (c.status == ductsys::CsvReader::Status::done) {
        EXPECT_EQ(records, c.records);
    }
}

using Records = std::vector<std::vector<std::string>>;
INSTANTIATE_TEST_SUITE_P(
    Csv, CsvRecords,
    testing::Values(
        CsvCase{"PlainRows", "a,b\nc,d\n", Records{{"a", "b"}, {"c", "d"}}, {1, 2}},
        CsvCase{"LastRowWithoutLineEnd", "a,b\nc,d", Records{{"a", "b"}, {"c", "d"}}, {1, 2}},
        CsvCase{"CrlfLineEnds", "a,b\r\nc,d\r\n", Records{{"a", "b"}, {"c", "d"}}, {1, 2}},
        CsvCase{"QuotedDelimiterQuoteAndLineEnd",
                "\"a,1\",\"say \"\"hi\"\"\",\"x\ny\"\nz\n",
                Records{{"a,1", "say \"hi\"", "x\ny"}, {"z"}},
                {1, 3}},
        CsvCase{"EmptyFieldsKept", ",,\na,,b\n", Records{{"", "", ""}, {"a", "", "b"}}, {1, 2}},
        CsvCase{"QuoteNeverClosed", "a,\"b\nc\n", {}, {}, ductsys::CsvReader::Status::malformed},
        CsvCase{
            "FewerFieldsAfterMore", "a,b,c,d\ne\n", Records{{"a", "b", "c", "d"}, {"e"}}, {1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

// A file's byte-order mark is no part of its first field (text fed in
// pieces comes decoded, without one). Only the file's first three bytes can
// be its mark: a file of the mark alone has no record, and the same bytes
// where a later read begins are text.
struct MarkCase {
    const char* name;
    std::string bytes;
    Records records;
};
void PrintTo(const MarkCase& c, std::ostream* os) { *os << c.name; }
class ByteOrderMarks : public testing::TestWithParam<MarkCase> {};
TEST_P(ByteOrderMarks, OnlyTheFilesFirstBytes) {
    std::FILE* in = fileWith(GetParam().bytes);
    ductsys::CsvReader reader;
    Records records;
    const auto status =
        reader.read(in, [&](std::vector<std::string>& fields, std::size_t count, long) {
            records.emplace_back(fields.begin(), fields.begin() + static_cast<long>(count));
            return true;
        });
    std::fclose(in);
    EXPECT_EQ(status, ductsys::CsvReader::Status::done);
    EXPECT_EQ(records, GetParam().records);
}
const std::string kLongLine = "a" + std::string((1 << 16) - 2, 'x');  // 64 KiB with its line end
INSTANTIATE_TEST_SUITE_P(Files, ByteOrderMarks,
                         testing::Values(MarkCase{"DroppedBeforeTheFirstField",
                                                  "\xEF\xBB\xBF"
                                                  "a,b\n",
                                                  Records{{"a", "b"}}},
                                         MarkCase{"TheMarkAlone", "\xEF\xBB\xBF", Records{}},
                                         MarkCase{"TheSameBytesAtTheSecondRead",
                                                  kLongLine + "\n\xEF\xBB\xBF" + "b\n",
                                                  Records{{kLongLine},
                                                          {"\xEF\xBB\xBF"
                                                           "b"}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CsvReader, StopsWhenTheRecordSaysSo) {
    std::FILE* in = fileWith("a\nb\nc\n");
    ductsys::CsvReader reader;
    int seen = 0;
    const auto status =
        reader.read(in, [&](std::vector<std::string>&, std::size_t, long) { return ++seen < 2; });
    std::fclose(in);
    EXPECT_EQ(status, ductsys::CsvReader::Status::stopped);
    EXPECT_EQ(seen, 2);
}

// Names as the tables of a large system hold them.
TEST(TextList, KeepsEveryTextThroughGrowth) {
    ductsys::TextList list;
    std::vector<std::string> texts;
    for (int i = 0; i < 100000; ++i) {
        texts.push_back(i % 7 == 0 ? std::string() : "节点" + std::to_string(i));
        EXPECT_EQ(list.append(texts.back()), static_cast<std::uint32_t>(i));
    }
    ASSERT_EQ(list.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); i += 997) EXPECT_EQ(list[i], texts[i]);
    list.popBack();
    list.popBack();
    EXPECT_EQ(list.size(), texts.size() - 2);
    EXPECT_EQ(list.append("again"), texts.size() - 2);
    EXPECT_EQ(list[static_cast<std::uint32_t>(texts.size() - 2)], "again");
    EXPECT_EQ(list[static_cast<std::uint32_t>(texts.size() - 3)], texts[texts.size() - 3]);
}

struct IndexCase {
    const char* name;
    std::size_t texts;
    std::size_t reserved;  // 0: none
    std::size_t repeat;    // every text appears this many times
};
void PrintTo(const IndexCase& c, std::ostream* os) { *os << c.name; }

class TextIndexFinds : public testing::TestWithParam<IndexCase> {};

// Against a plain map: the first index of each text, through every growth.
TEST_P(TextIndexFinds, TheFirstOfEqualTexts) {
    const IndexCase& c = GetParam();
    ductsys::TextList list;
    ductsys::TextIndex index;
    if (c.reserved) index.reserve(c.reserved);
    std::unordered_map<std::string, std::uint32_t> first;
    for (std::size_t round = 0; round < c.repeat; ++round) {
        for (std::size_t i = 0; i < c.texts; ++i) {
            const std::string text = i == 0 ? std::string() : "n" + std::to_string(i * 7919);
            const std::uint32_t at = list.append(text);
            const std::uint32_t found = index.findOrInsert(list, at);
            const auto [known, added] = first.emplace(text, at);
            ASSERT_EQ(found, known->second) << "text " << text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Names, TextIndexFinds,
                         testing::Values(IndexCase{"FewTexts", 5, 0, 3},
                                         IndexCase{"JustOverTheFirstTable", 33, 0, 2},
                                         IndexCase{"ManyGrowths", 200000, 0, 2},
                                         IndexCase{"ReservedAhead", 50000, 50000, 2},
                                         IndexCase{"ReservedTooSmall", 50000, 10, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// Texts whose hashes agree in the half the index keeps: told apart by their
// characters, and each found again as itself.
TEST(TextIndex, TellsApartTextsWhoseKeptHashesMeet) {
    std::map<std::uint32_t, std::string> byHigh;
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int i = 0; pairs.size() < 3 && i < 2000000; ++i) {
        std::string text = "node-" + std::to_string(i);
        const auto high = static_cast<std::uint32_t>(std::hash<std::string_view>{}(text) >> 32);
        const auto [at, added] = byHigh.emplace(high, text);
        if (!added) pairs.emplace_back(at->second, text);
    }
    ASSERT_FALSE(pairs.empty()) << "no two texts met among two million";
    ductsys::TextList list;
    ductsys::TextIndex index;
    for (const auto& [a, b] : pairs) {
        const std::uint32_t ia = list.append(a), ib = list.append(b);
        EXPECT_EQ(index.findOrInsert(list, ia), ia) << a;
        EXPECT_EQ(index.findOrInsert(list, ib), ib) << b << " taken for " << a;
        const std::uint32_t again = list.append(b);
        EXPECT_EQ(index.findOrInsert(list, again), ib) << b;
        const std::uint32_t againA = list.append(a);
        EXPECT_EQ(index.findOrInsert(list, againA), ia) << a;
    }
}

}  // namespace
