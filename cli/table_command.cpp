// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli table: the hydraulic calculation table of a duct run, read
// and written one segment at a time.

#include <chrono>
#include <memory>

#include "commands.h"
#include "csv_reader.h"
#include "messages.h"
#include "table_pipeline.h"
#include "table_writers.h"

namespace cli {

int runTable(std::FILE* in, const std::string& name, const TableOptions& options, std::ostream& out,
             std::ostream& err) {
    const std::unique_ptr<TableWriter> writer =
        makeTableWriter(options.format, options.delimiter, out);
    Table table(name, *writer, err);
    bool sawHeader = false;
    bool begun = false;
    bool usable = true;
    const auto started = std::chrono::steady_clock::now();
    bool showing = false;

    CsvReader reader(options.delimiter);
    const CsvReader::Status status =
        reader.read(in, [&](std::vector<std::string>& fields, std::size_t count, long line) {
            if (!sawHeader) {
                sawHeader = true;
                usable = table.header(fields, count, line);
                if (usable) writer->begin(), begun = true;
                return usable;
            }
            table.record(fields, count, line);
            if (options.progress && table.rows() % 65536 == 0 &&
                (showing || std::chrono::steady_clock::now() - started > std::chrono::seconds(1))) {
                showing = true;
                err << '\r' << kProgram << ": " << table.rows() << " rows" << std::flush;
            }
            return true;
        });
    table.flush();
    if (showing) err << '\r' << std::string(kProgram.size() + 24, ' ') << '\r' << std::flush;

    switch (status) {
        case CsvReader::Status::done:
        case CsvReader::Status::stopped:
            break;
        case CsvReader::Status::malformed:
            err << kProgram << ": " << name << ':' << reader.line()
                << ": not CSV: a quote out of place or a quoted field left open\n";
            usable = false;
            break;
        case CsvReader::Status::binary:
            err << kProgram << ": " << name << ": not CSV: the file holds binary data\n";
            usable = false;
            break;
        case CsvReader::Status::readError:
            err << kProgram << ": " << name << ": read error\n";
            usable = false;
            break;
    }
    if (usable && !sawHeader) {
        err << kProgram << ": " << name
            << ": empty: a header row with at least \"flow\" and \"size\" columns is needed\n";
        usable = false;
    }
    if (begun) writer->end();  // what was written stays well-formed
    out.flush();
    if (!usable) return kUsage;
    return table.failed() ? kRowsFailed : kSuccess;
}

}  // namespace cli
