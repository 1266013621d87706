// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli table: the hydraulic calculation table of a duct run, read
// and written one segment at a time.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <streambuf>

#include "calc/ascii.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/duct_options.h"
#include "cli/messages.h"
#include "cli/report_options.h"
#include "cli/system_output.h"
#include "cli/table_pipeline.h"
#include "cli/table_writers.h"
#include "system/csv_reader.h"
#include "system/fields.h"
#include "system/report_xlsx.h"
#include "system/run_result.h"
#include "system/table_file.h"

namespace cli {

namespace {

// The error stream while a row count may stand on it: the first message
// after the count clears its line, so that a message never runs on from it.
class ClearingBuf : public std::streambuf {
public:
    explicit ClearingBuf(std::ostream& err) : err_(err) {}
    // Writes the row count over the last one.
    void progress(long rows) {
        err_ << '\r' << kProgram << ": " << said({msg::Code::cliRowsRead, {rows}}) << std::flush;
        showing_ = true;
    }
    void clear() {
        if (!showing_) return;
        showing_ = false;
        err_ << '\r' << std::string(kProgram.size() + 24, ' ') << '\r';
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        clear();
        err_.put(traits_type::to_char_type(c));
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        clear();
        err_.write(s, n);
        return n;
    }
    int sync() override {
        err_.flush();
        return 0;
    }

private:
    std::ostream& err_;
    bool showing_ = false;
};

// The rows of a table that goes to a workbook: each segment is gathered
// instead, and nothing is written row by row.
class NoRows : public TableWriter {
public:
    void row(const OutRow&) override {}
};

// Reads the table from `in`, or from `path` when `in` is null, and writes
// it row by row to `out`, or as a workbook to options.output.
int readTable(std::FILE* in, const std::string& path, const std::string& name,
              const TableOptions& options, const AirInUse& air, std::ostream& out,
              std::ostream& errStream) {
    ClearingBuf clearing(errStream);
    std::ostream err(&clearing);
    std::unique_ptr<TableWriter> writer;
    std::optional<Table> table;
    const auto started = std::chrono::steady_clock::now();
    bool showing = false;

    ductsys::RunGatherer workbook;
    FileReportRows reportRows;
    RowInputs inputs;
    const ductsys::TableFileReader::HeaderFn onHeader = [&](const ductsys::TableHeader& h) {
        keepReportRows(h, reportRows);
        if (options.xlsx) {
            writer = std::make_unique<NoRows>();
        } else {
            if (options.bom) out << kBom;
            writer = makeTableWriter(options.format, h.delimiter, out, options.chineseHeaders);
        }
        table.emplace(name, *writer, err, air.state, options.jobs);
        if (options.xlsx) table->gatherInto(workbook, &inputs);
        table->header(h);
        table->setFormula(options.formula);
        writer->begin();
        return static_cast<bool>(out);
    };
    const ductsys::TableFileReader::RecordFn onRecord = [&](std::vector<std::string>& fields,
                                                            std::size_t count, long line) {
        table->record(fields, count, line);
        if (options.progress && table->rows() % 65536 == 0 &&
            (showing || std::chrono::steady_clock::now() - started > std::chrono::seconds(1))) {
            showing = true;
            clearing.progress(table->rows());
        }
        // Nothing more to read once the output is lost.
        return static_cast<bool>(out);
    };
    const ductsys::TableFileReader::NoteFn onNote = [&](const ductsys::FileNote& note) {
        std::string text = std::string(kProgram) + ": " + name;
        if (note.line > 0) text += ':' + std::to_string(note.line);
        text += (note.warning ? ": warning: " : ": note: ") + said(note.message) + '\n';
        // In line order with the rows' messages, which wait for their rows' computing.
        if (table)
            table->note(note.line, std::move(text));
        else
            err << text;
    };

    ductsys::TableFileReader reader({encodingOf(options.encoding), options.delimiter},
                                    options.sheet);
    const ductsys::FileError e = in ? reader.read(in, onHeader, onRecord, onNote)
                                    : reader.read(path, onHeader, onRecord, onNote);
    if (table) table->flush();
    clearing.clear();

    if (!e.ok()) {
        err << kProgram << ": " << name;
        if (e.line > 0) err << ':' << e.line;
        err << ": " << saidList(e.message) << '\n';
    }
    if (writer) writer->end();  // what was written stays well-formed
    out.flush();
    err.flush();
    if (!e.ok() || !out) return kUsage;
    if (options.xlsx) {
        // Only a file read whole makes a workbook.
        const ductsys::SystemResult result = workbook.finish();
        ductsys::ReportInfo info =
            reportInfo(air, formulaText(table ? table->formulasSeen() : 0u), name);
        if (!reportSettings(options.report, reportRows, name, info, err)) return kUsage;
        info.altitude = options.air.altitude;
        info.inputs = [&inputs](std::uint32_t s) { return inputs.of(s); };
        if (const auto problem = ductsys::writeXlsxReport(result, info, options.output)) {
            err << kProgram << ": " << options.output << ": " << said(*problem) << '\n';
            return kUsage;
        }
    }
    return table && table->failed() ? kRowsFailed : kSuccess;
}

// --delimiter's text as a character: one character, or "tab" or "\t".
std::string delimiterProblem(const std::string& text) {
    if (text == "tab" || text == "\\t" || text == "\t") return {};
    if (text.empty()) return said({msg::Code::cliDelimiterEmpty, {}});
    if (text.size() != 1) return said({msg::Code::cliDelimiterOneCharacter, {}});
    if (text == "\"") return said({msg::Code::cliDelimiterQuote, {}});
    if (text == "\n" || text == "\r") return said({msg::Code::cliDelimiterLineEnd, {}});
    return {};
}

// Reads the table from `in`, or from `path` when `in` is null, and writes
// to options.output, whole or not at all, or to `out`.
int runTableTo(std::FILE* in, const std::string& path, const std::string& name,
               const TableOptions& options, std::ostream& out, std::ostream& err) {
    const std::optional<AirInUse> air = readAirOptions(options.air, err);
    if (!air) return kUsage;
    // A workbook is written whole, beside its place first, by its writer.
    if (options.xlsx || options.output.empty())
        return readTable(in, path, name, options, *air, out, err);
    const std::string partial = options.output + ".part";
    auto cannotWrite = [&] {
        err << kProgram << ": " << options.output << ": "
            << said({msg::Code::cliCannotWriteFile, {}}) << '\n';
    };
    std::ofstream file(partial, std::ios::binary);
    // A folder that is not there, or one not ours to write in, is said
    // before a row is read.
    if (!file) {
        cannotWrite();
        return kUsage;
    }
    int status = readTable(in, path, name, options, *air, file, err);
    file.close();
    if (status != kUsage && (file.fail() || std::rename(partial.c_str(), options.output.c_str()))) {
        cannotWrite();
        status = kUsage;
    }
    if (status == kUsage) std::remove(partial.c_str());
    return status;
}

// The columns a run's file may have, by their English names with a note
// where one helps, then by their Chinese names.
std::string columnHelp() {
    using ductsys::InputKey;
    static constexpr InputKey kRunColumns[] = {
        InputKey::segment, InputKey::flow, InputKey::unit,     InputKey::size, InputKey::length,
        InputKey::zeta,    InputKey::dp,   InputKey::material, InputKey::k,    InputKey::formula};
    std::string english, chinese;
    for (const InputKey c : kRunColumns) {
        const ductsys::InputField& f = ductsys::inputField(c);
        if (!english.empty()) english += c == InputKey::k ? " or " : ", ";
        if (!chinese.empty()) chinese += ", ";
        english += f.key;
        if (c == InputKey::zeta) english += " (a number or a sum such as 0.3+0.25)";
        if (c == InputKey::dp) english += " (a fixed loss in Pa)";
        chinese += f.caption;
    }
    return english + " (or " + chinese + ")";
}

}  // namespace

void addTableCommand(CLI::App& app, std::ostream& out, std::ostream& err, int& status) {
    auto options = std::make_shared<TableOptions>();
    auto file = std::make_shared<std::string>();
    auto delimiter = std::make_shared<std::string>();
    auto encoding = std::make_shared<std::string>("auto");
    CLI::App* command = app.add_subcommand(
        "table",
        "The hydraulic calculation table of a duct run: one row per segment of a CSV "
        "file with the columns " +
            columnHelp() + ", in UTF-8 or GB18030, separated by commas, semicolons or tabs.");
    command
        ->add_option("FILE", *file,
                     "CSV file or xlsx workbook with a header row, or - for standard input")
        ->required();
    addFormatOption(*command, options->format, &options->xlsx);
    command->add_option("-o,--output", options->output,
                        "write to this file instead of standard output (needed for xlsx)");
    command
        ->add_option("--delimiter", *delimiter,
                     "field separator of the input and of CSV output: one character, or tab "
                     "(default: the header row's own: ',', ';' or tab)")
        ->check(CLI::Validator([](std::string& text) { return delimiterProblem(text); }, "CHAR",
                               "delimiter"));
    command
        ->add_option("--encoding", *encoding,
                     "encoding of the file: auto (UTF-8, or GB18030 when it is not UTF-8), "
                     "utf-8 or gb18030")
        ->check(CLI::IsMember({"auto", "utf-8", "utf8", "gb18030", "gbk"}, CLI::ignore_case));
    command->add_option("--sheet", options->sheet,
                        "the sheet of an xlsx workbook to read (default: the first)");
    command->add_flag("--bom", options->bom,
                      "begin the output with a UTF-8 byte-order mark, for spreadsheet programs");
    addHeadersOption(*command, options->chineseHeaders);
    addRowFormulaOption(*command, options->formula, 1);
    addMaterialListOption(*command, out);
    addAirOptions(*command, options->air);
    addReportOptions(*command, options->report);
    addJobsOption(*command, options->jobs);
    command->callback([options, file, delimiter, encoding, &out, &err, &status] {
        TableOptions o = *options;
        if (!delimiter->empty())
            o.delimiter = (*delimiter == "tab" || *delimiter == "\\t") ? '\t' : (*delimiter)[0];
        const std::string e = calc::asciiLower(*encoding);
        o.encoding = e == "auto"                   ? InputEncoding::automatic
                     : e == "utf-8" || e == "utf8" ? InputEncoding::utf8
                                                   : InputEncoding::gb18030;
        // A row count only for someone watching a terminal while the table
        // goes elsewhere.
        o.progress = isatty(STDERR_FILENO) && (!isatty(STDOUT_FILENO) || !o.output.empty());
        status = runTableFile(*file, o, out, err);
    });
}

int runTableFile(const std::string& path, const TableOptions& options, std::ostream& out,
                 std::ostream& err) {
    if (options.xlsx && options.output.empty()) {
        err << kProgram << ": " << said({msg::Code::cliXlsxNeedsOutput, {}}) << '\n';
        return kUsage;
    }
    if (path == "-") return runTableTo(stdin, "-", "-", options, out, err);
    if (outputIsInput(path, options.output, err)) return kUsage;
    return runTableTo(nullptr, path, path, options, out, err);
}

int runTable(std::FILE* in, const std::string& name, const TableOptions& options, std::ostream& out,
             std::ostream& err) {
    return runTableTo(in, name, name, options, out, err);
}

}  // namespace cli
