// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/csv_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace ductsys {

CsvReader::CsvReader(char delimiter) {
    // Strict: a stray quote is an error rather than a guess, so that a file
    // that is not CSV is named as such.
    csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI);
    csv_set_delim(&parser_, static_cast<unsigned char>(delimiter));
}

CsvReader::~CsvReader() { csv_free(&parser_); }

void CsvReader::onField(void* data, std::size_t size, void* self) {
    auto& r = *static_cast<CsvReader*>(self);
    const char* text = static_cast<const char*>(data);
    if (r.count_ == 0) {
        // A quoted first field may hold line ends: the record began that many
        // lines before the one being read.
        r.recordLine_ = r.line_ - std::count(text, text + size, '\n');
    }
    if (r.fields_.size() <= r.count_) r.fields_.emplace_back();
    r.fields_[r.count_++].assign(text, size);
}

void CsvReader::onRecordEnd(int, void* self) {
    auto& r = *static_cast<CsvReader*>(self);
    if (!r.stop_ && !(*r.record_)(r.fields_, r.count_, r.recordLine_)) r.stop_ = true;
    r.count_ = 0;
}

bool CsvReader::feed(const char* data, std::size_t size) {
    if (malformed_) return false;
    // Fed line by line, so that the parser's callbacks know the line number.
    while (size > 0 && !stop_) {
        const char* newline = static_cast<const char*>(std::memchr(data, '\n', size));
        const std::size_t piece = newline ? static_cast<std::size_t>(newline - data) + 1 : size;
        const bool wasQuoted = parser_.quoted != 0;
        if (csv_parse(&parser_, data, piece, onField, onRecordEnd, this) != piece) {
            malformed_ = true;
            return false;
        }
        // A quoted field still open at the end of a line opened on it,
        // unless it was open already.
        if (!wasQuoted && parser_.quoted != 0) quoteLine_ = line_;
        if (newline) ++line_;
        data += piece;
        size -= piece;
    }
    return true;
}

CsvReader::Status CsvReader::read(std::FILE* in, const RecordFn& record) {
    begin(record);
    std::array<char, 1 << 16> buffer;
    bool first = true;
    for (;;) {
        std::size_t size = std::fread(buffer.data(), 1, buffer.size(), in);
        if (size == 0) break;
        const char* data = buffer.data();
        if (first) {
            first = false;
            if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) data += 3, size -= 3;
        }
        if (std::memchr(data, '\0', size)) return Status::binary;
        if (!feed(data, size)) return stop_ ? Status::stopped : Status::malformed;
        if (stop_) return Status::stopped;
    }
    if (std::ferror(in)) return Status::readError;
    return finish();
}

CsvReader::Status CsvReader::finish() {
    if (malformed_) return Status::malformed;
    if (stop_) return Status::stopped;
    if (csv_fini(&parser_, onField, onRecordEnd, this) != 0) return Status::malformed;
    return stop_ ? Status::stopped : Status::done;
}

}  // namespace ductsys
