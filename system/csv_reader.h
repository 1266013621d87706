// SPDX-License-Identifier: GPL-3.0-or-later
// Streaming CSV input over libcsv: quoted fields (with delimiters, quotes and
// line ends inside), CRLF or LF line ends, a UTF-8 byte-order mark. Records
// are handed over one at a time with the line they start on; memory holds one
// record.
#pragma once

#include <csv.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace ductsys {

class CsvReader {
public:
    // Called for each record; `fields` holds `count` fields (more entries
    // may follow from earlier records and are to be ignored). The callee may
    // take the strings (by swapping). Returning false stops the reading.
    using RecordFn =
        std::function<bool(std::vector<std::string>& fields, std::size_t count, long line)>;

    explicit CsvReader(char delimiter = ',');
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    enum class Status { done, stopped, malformed, binary, readError };
    // Reads `in` to its end (or until `record` returns false).
    Status read(std::FILE* in, const RecordFn& record);
    // The line at which reading stopped on a malformed or binary input.
    long line() const { return line_; }

    // The same reading for text that arrives in pieces from elsewhere (a
    // decoder): begin(), feed() each piece in order, then finish(). feed()
    // is false when the text is not CSV, and after `record` stopped it.
    void begin(const RecordFn& record) { record_ = &record; }
    bool feed(const char* data, std::size_t size);
    Status finish();
    bool stopped() const { return stop_; }
    // The line on which the quoted field still open at the end was opened.
    long openQuoteLine() const { return quoteLine_; }

private:
    static void onField(void* data, std::size_t size, void* self);
    static void onRecordEnd(int terminator, void* self);

    csv_parser parser_{};
    std::vector<std::string> fields_;
    std::size_t count_ = 0;
    long line_ = 1;        // line being fed
    long recordLine_ = 1;  // line the current record starts on
    long quoteLine_ = 1;   // line where the last quoted field opened
    bool stop_ = false;
    bool malformed_ = false;
    const RecordFn* record_ = nullptr;
};

}  // namespace ductsys
