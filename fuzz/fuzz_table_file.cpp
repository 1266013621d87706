// SPDX-License-Identifier: GPL-3.0-or-later
// The segment table reader on arbitrary bytes, as a file the command line
// and the grid open. The first byte picks the encoding and the delimiter
// asked for; the rest is the file.
//
// Besides not crashing or leaking: the header comes once, before any row;
// each row holds at least the header's fields, `count` of them in use;
// rows come in the order of their lines, after the header's; every text
// handed on is UTF-8 whatever the file held; a reading that ends well has
// found its header.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/check.h"
#include "messages/catalogue.h"
#include "system/table_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static constexpr ductsys::Encoding kEncodings[] = {
        ductsys::Encoding::automatic, ductsys::Encoding::utf8, ductsys::Encoding::gb18030};
    static constexpr char kDelimiters[] = {0, ',', ';', '\t'};
    const ductsys::TableFileOptions options{kEncodings[data[0] % 3],
                                            kDelimiters[(data[0] / 3) % 4]};
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    std::FILE* in = fmemopen(const_cast<char*>(file.data()), file.size(), "rb");
    if (!in) return 0;

    int headers = 0;
    std::size_t fieldCount = 0;
    long lastLine = 0;
    ductsys::TableFileReader reader(options);
    const ductsys::FileError e = reader.read(
        in,
        [&](const ductsys::TableHeader& h) {
            ++headers;
            FUZZ_REQUIRE(headers == 1, "a second header");
            FUZZ_REQUIRE(h.fieldCount > 0, "a header without fields");
            fieldCount = h.fieldCount;
            lastLine = h.line;
            return true;
        },
        [&](std::vector<std::string>& fields, std::size_t count, long line) {
            FUZZ_REQUIRE(headers == 1, "a row before the header");
            FUZZ_REQUIRE(fields.size() >= fieldCount && count <= fields.size(),
                         "a row with fewer fields than the header");
            FUZZ_REQUIRE(line > lastLine, "a row at line " + std::to_string(line) +
                                              " after one at line " + std::to_string(lastLine));
            lastLine = line;
            for (std::size_t i = 0; i < count; ++i)
                FUZZ_REQUIRE(fuzz::isUtf8(fields[i]),
                             "a field that is not UTF-8: " + fuzz::quoted(fields[i]));
            return true;
        },
        [&](const ductsys::FileNote& note) {
            FUZZ_REQUIRE(fuzz::isUtf8(msg::render(note.message, msg::Language::chinese)),
                         "a note that is not UTF-8");
        });
    std::fclose(in);
    if (e.kind == ductsys::FileError::Kind::ok)
        FUZZ_REQUIRE(headers == 1, "a file read whole without its header");
    FUZZ_REQUIRE(fuzz::isUtf8(msg::renderList(e.message, msg::Language::chinese)),
                 "an error that is not UTF-8");
    return 0;
}
