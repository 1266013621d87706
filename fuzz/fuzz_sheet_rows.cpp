// SPDX-License-Identifier: GPL-3.0-or-later
// A workbook sheet's XML on arbitrary bytes, as the table reader streams it
// out of a workbook. The first byte picks where the text is cut in two
// pieces; the rest is the sheet's XML.
//
// Besides not crashing or leaking: rows come with rising numbers within a
// sheet's 1,048,576; a row holds at most 16,384 cells, each mark names one
// of them; every cell is UTF-8; the sheet fed in two pieces gives the rows
// and the outcome it gives whole; a refused sheet says why.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/check.h"
#include "system/xlsx_reader.h"

namespace {

struct Outcome {
    std::vector<std::string> rows;  // "row: cell|cell|… marks"
    bool fed = true;
    std::string problem;
};

Outcome read(const std::string& xml, std::size_t cut) {
    static const std::vector<std::string> kShared = {"segment", "风量", "", "1-2"};
    Outcome o;
    long last = 0;
    const ductsys::SheetRowFn onRow = [&](std::vector<std::string>& cells, std::size_t count,
                                          long row, const std::vector<ductsys::CellMark>& marks) {
        FUZZ_REQUIRE(row > last && row <= 1048576,
                     "row " + std::to_string(row) + " after row " + std::to_string(last));
        last = row;
        FUZZ_REQUIRE(count <= cells.size() && count <= 16384,
                     "a row of " + std::to_string(count) + " cells");
        std::string text = std::to_string(row) + ":";
        for (std::size_t i = 0; i < count; ++i) {
            FUZZ_REQUIRE(fuzz::isUtf8(cells[i]), "a cell that is not UTF-8");
            text += (i ? "|" : " ") + cells[i];
        }
        for (const ductsys::CellMark& m : marks) {
            FUZZ_REQUIRE(m.column < count, "a mark beyond the row's cells");
            text += " " + std::to_string(m.column) +
                    (m.kind == ductsys::CellMark::Kind::error ? "e" : "f");
        }
        o.rows.push_back(std::move(text));
        return true;
    };
    ductsys::SheetRows rows(kShared, onRow);
    o.fed =
        rows.feed(xml.data(), cut, false) && rows.feed(xml.data() + cut, xml.size() - cut, true);
    o.problem = rows.problem();
    FUZZ_REQUIRE(!rows.stopped(), "stopped without being asked");
    FUZZ_REQUIRE(o.fed == o.problem.empty(),
                 o.fed ? "a sheet read with a problem" : "a sheet refused without a reason");
    FUZZ_REQUIRE(fuzz::isUtf8(o.problem), "a reason that is not UTF-8");
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string xml(reinterpret_cast<const char*>(data + 1), size - 1);
    const Outcome whole = read(xml, xml.size());
    const Outcome cut = read(xml, xml.empty() ? 0 : data[0] % (xml.size() + 1));
    FUZZ_REQUIRE(whole.fed == cut.fed, "read whole and in pieces, one refused");
    // A sheet refused stops where its fault is found, which may be after
    // rows; rows before it come alike.
    if (whole.fed) FUZZ_REQUIRE(whole.rows == cut.rows, "other rows when read in pieces");
    return 0;
}
