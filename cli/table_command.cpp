// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli table: the hydraulic calculation table of a duct run, read
// and written one segment at a time.

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "command_line.h"
#include "commands.h"
#include "csv_reader.h"
#include "duct_options.h"
#include "messages.h"
#include "system_output.h"
#include "table_pipeline.h"
#include "table_writers.h"

namespace cli {

namespace {

// The table as a 计算书 workbook: the run in file order computed as a
// system, so that it has the system's paths and fan sheet too.
int runTableWorkbook(std::FILE* in, const std::string& name, const TableOptions& options,
                     const AirInUse& air, std::ostream& err) {
    ductsys::Options systemOptions;
    systemOptions.air = air.state;
    SystemInput input(name, err);
    ductsys::SystemBuilder builder(systemOptions);
    if (!readSystem(in, options.delimiter, input, builder, RowMode::table)) return kUsage;
    ductsys::SystemResult result = builder.finish();
    makeTableRun(result, input);
    SystemOptions writing;
    writing.xlsx = true;
    writing.output = options.output;
    std::ostringstream none;
    return writeSystem(result, input, air, writing, none);
}

// Writes to options.output, whole or not at all, or to `out`.
int runTableTo(std::FILE* in, const std::string& name, const TableOptions& options,
               std::ostream& out, std::ostream& err) {
    if (options.output.empty() || options.xlsx) return runTable(in, name, options, out, err);
    const std::string partial = options.output + ".part";
    std::ofstream file(partial, std::ios::binary);
    int status = file ? runTable(in, name, options, file, err) : kUsage;
    file.close();
    if (status != kUsage && (file.fail() || std::rename(partial.c_str(), options.output.c_str()))) {
        err << kProgram << ": " << options.output << ": cannot write the file\n";
        status = kUsage;
    }
    if (status == kUsage) std::remove(partial.c_str());
    return status;
}

// Opens the file named on the command line, or takes standard input for "-".
int runTableFile(const std::string& file, TableOptions options, std::ostream& out,
                 std::ostream& err) {
    if (options.xlsx && options.output.empty()) {
        err << kProgram << ": --format xlsx writes a workbook: give its file with -o FILE.xlsx\n";
        return kUsage;
    }
    // A row count only for someone watching a terminal while the table
    // goes elsewhere.
    options.progress = isatty(STDERR_FILENO) && (!isatty(STDOUT_FILENO) || !options.output.empty());
    if (file == "-") return runTableTo(stdin, "-", options, out, err);
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) {
        err << kProgram << ": " << file << ": cannot open: " << std::strerror(errno) << '\n';
        return kUsage;
    }
    const int status = runTableTo(in, file, options, out, err);
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
        "file with the columns segment, flow, unit, size, length, zeta (a number or a sum "
        "such as 0.3+0.25), dp (a fixed loss in Pa), material or k, formula (or 段号, 风量, "
        "单位, 尺寸, 长度, 局部阻力系数, 固定阻力, 材料, 粗糙度, 公式).");
    command->add_option("FILE", *file, "CSV file with a header row, or - for standard input")
        ->required();
    addFormatOption(*command, options->format, &options->xlsx);
    command->add_option("-o,--output", options->output,
                        "write to this file instead of standard output (needed for xlsx)");
    command->add_option("--delimiter", options->delimiter,
                        "field separator of the input and of CSV output");
    addAirOptions(*command, options->air);
    command->callback(
        [options, file, &out, &err, &status] { status = runTableFile(*file, *options, out, err); });
}

int runTable(std::FILE* in, const std::string& name, const TableOptions& options, std::ostream& out,
             std::ostream& err) {
    const std::optional<AirInUse> air = readAirOptions(options.air, err);
    if (!air) return kUsage;
    if (options.xlsx) return runTableWorkbook(in, name, options, *air, err);
    const std::unique_ptr<TableWriter> writer =
        makeTableWriter(options.format, options.delimiter, out);
    Table table(name, *writer, err, air->state);
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
