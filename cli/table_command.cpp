// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli table: the hydraulic calculation table of a duct run, read
// and written one segment at a time.

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "command_line.h"
#include "commands.h"
#include "csv_reader.h"
#include "messages.h"
#include "table_pipeline.h"
#include "table_writers.h"

namespace cli {

namespace {

// Opens the file named on the command line, or takes standard input for "-".
int runTableFile(const std::string& file, TableOptions options, std::ostream& out,
                 std::ostream& err) {
    // A row count only for someone watching a terminal while the table
    // goes elsewhere.
    options.progress = isatty(STDERR_FILENO) && !isatty(STDOUT_FILENO);
    if (file == "-") return runTable(stdin, "-", options, out, err);
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        err << kProgram << ": " << file << ": cannot open: " << std::strerror(errno) << '\n';
        return kUsage;
    }
    const int status = runTable(in, file, options, out, err);
    std::fclose(in);
    return status;
}

}  // namespace

void addTableCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status) {
    auto options = std::make_shared<TableOptions>();
    auto file = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "table",
        "The hydraulic calculation table of a duct run: one row per segment of a CSV "
        "file with the columns segment, flow, unit, size, length, zeta, material or k, "
        "formula (or 段号, 风量, 单位, 尺寸, 长度, 局部阻力系数, 材料, 粗糙度, 公式).");
    command->add_option("FILE", *file, "CSV file with a header row, or - for standard input")
        ->required();
    addFormatOption(*command, options->format);
    command->add_option("--delimiter", options->delimiter,
                        "field separator of the input and of CSV output");
    command->callback(
        [options, file, &out, &err, &status] { status = runTableFile(*file, *options, out, err); });
}

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

    ductsys::CsvReader reader(options.delimiter);
    const ductsys::CsvReader::Status status =
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
        case ductsys::CsvReader::Status::done:
        case ductsys::CsvReader::Status::stopped:
            break;
        case ductsys::CsvReader::Status::malformed:
            err << kProgram << ": " << name << ':' << reader.line()
                << ": not CSV: a quote out of place or a quoted field left open\n";
            usable = false;
            break;
        case ductsys::CsvReader::Status::binary:
            err << kProgram << ": " << name << ": not CSV: the file holds binary data\n";
            usable = false;
            break;
        case ductsys::CsvReader::Status::readError:
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
