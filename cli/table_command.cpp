// SPDX-License-Identifier: GPL-3.0-or-later
// ductcalc-cli table: the hydraulic calculation table of a duct run, read
// and written one segment at a time.

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

#include "commands.h"
#include "csv_reader.h"
#include "derived.h"
#include "duct_args.h"
#include "number_reading.h"
#include "tables.h"

namespace cli {

namespace {

enum Column { segment, flow, unit, size, length, zeta, material, k, formula, kColumns };

// Header names, English and Chinese; letter case and surrounding blanks do
// not matter.
const std::map<std::string, Column, std::less<>> kHeaderNames{
    {"segment", segment}, {"段号", segment}, {"flow", flow}, {"风量", flow},
    {"unit", unit},       {"单位", unit},    {"size", size}, {"尺寸", size},
    {"length", length},   {"长度", length},  {"zeta", zeta}, {"局部阻力系数", zeta},
    {"σζ", zeta},         {"Σζ", zeta},      {"ζ", zeta},    {"material", material},
    {"材料", material},   {"k", k},          {"粗糙度", k},  {"formula", formula},
    {"公式", formula},
};

// The numeric output columns, in order; the size follows the air volume.
enum Out {
    oFlow,
    oEqDiameter,
    oVelocity,
    oReynolds,
    oLambda,
    oRm,
    oLength,
    oFriction,
    oPressure,
    oZeta,
    oLocal,
    oTotal,
    oRunning,
    kOutNumbers
};
constexpr std::array<std::string_view, kOutNumbers> kOutNames{
    "flow",         "equivalent_diameter", "velocity",          "reynolds", "lambda",     "rm",
    "length",       "friction_loss",       "velocity_pressure", "zeta",     "local_loss", "total",
    "running_total"};
constexpr std::array<std::string_view, kOutNumbers> kOutCaptions{
    "m3/h",    "De m",  "v m/s", "Re",   "λ",         "Rm Pa/m", "l m",
    "Rm·l Pa", "Pd Pa", "Σζ",    "Z Pa", "Rm·l+Z Pa", "Σ Pa"};

// A row as written: numbers already in the window's text, without the
// leading blank; an empty text where there is no value.
struct OutRow {
    std::string segment;
    std::string size;  // compact size label
    std::array<std::string, kOutNumbers> numbers{};
};

class Writer {
public:
    virtual ~Writer() = default;
    virtual void begin() {}
    virtual void row(const OutRow& r) = 0;
    virtual void end() {}
};

class CsvWriter : public Writer {
public:
    CsvWriter(std::ostream& out, char delimiter) : out_(out), delimiter_(delimiter) {}
    void begin() override {
        line_ = "segment";
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            line_ += delimiter_;
            line_ += kOutNames[i];
            if (i == oFlow) line_ += delimiter_, line_ += "size";
        }
        line_ += '\n';
        out_ << line_;
    }
    void row(const OutRow& r) override {
        line_.clear();
        appendField(r.segment);
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            line_ += delimiter_;
            line_ += r.numbers[i];
            if (i == oFlow) line_ += delimiter_, appendField(r.size);
        }
        line_ += '\n';
        out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
    }

private:
    void appendField(std::string_view text) {
        bool plain = true;
        for (char c : text)
            if (c == delimiter_ || c == '"' || c == '\r' || c == '\n') plain = false;
        if (plain) {
            line_ += text;
            return;
        }
        // Quoted, with quotes doubled, as libcsv writes it; written straight
        // into the line, as most segment names ("S-1, run 0") need quoting.
        const std::size_t at = line_.size();
        line_.resize(at + 2 * text.size() + 2);
        line_.resize(
            at + csv_write2(line_.data() + at, 2 * text.size() + 2, text.data(), text.size(), '"'));
    }

    std::ostream& out_;
    char delimiter_;
    std::string line_;
};

class TextWriter : public Writer {
public:
    explicit TextWriter(std::ostream& out) : out_(out) {}
    void begin() override {
        line_.clear();
        cell("segment", 10, false);
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            cell(kOutCaptions[i], 12, true);
            if (i == oFlow) cell("  size", 11, false);
        }
        line_ += '\n';
        out_ << line_;
    }
    void row(const OutRow& r) override {
        line_.clear();
        cell(r.segment, 10, false);
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            cell(r.numbers[i].empty() ? "-" : r.numbers[i], 12, true);
            if (i == oFlow) cell("  " + (r.size.empty() ? "-" : r.size), 11, false);
        }
        line_ += '\n';
        out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
    }

private:
    void cell(std::string_view text, std::size_t width, bool right) {
        std::size_t chars = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80) ++chars;
        const std::size_t fill = chars < width ? width - chars : 0;
        if (!line_.empty() && !right && line_.back() != ' ') line_ += ' ';
        if (right) line_.append(fill + 1, ' ');
        line_ += text;
        if (!right) line_.append(fill, ' ');
    }

    std::ostream& out_;
    std::string line_;
};

class JsonWriter : public Writer {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}
    void begin() override { out_ << '['; }
    void row(const OutRow& r) override {
        line_ = first_ ? "\n  {\"segment\": " : ",\n  {\"segment\": ";
        first_ = false;
        line_ += nlohmann::json(r.segment).dump();
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            line_ += ", \"";
            line_ += kOutNames[i];
            line_ += "\": ";
            line_ += r.numbers[i].empty() ? "null" : r.numbers[i];
            if (i == oFlow) {
                line_ += ", \"size\": ";
                line_ += r.size.empty() ? "null" : nlohmann::json(r.size).dump();
            }
        }
        line_ += '}';
        out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
    }
    void end() override { out_ << (first_ ? "]\n" : "\n]\n"); }

private:
    std::ostream& out_;
    std::string line_;
    bool first_ = true;
};

std::string lowerAscii(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The columns a header row names: index of each known column, -1 if absent.
struct Layout {
    std::array<int, kColumns> columns{};
    std::size_t fieldCount = 0;
};

// One data record as read, and what became of it.
struct Job {
    std::vector<std::string> fields;
    std::size_t count = 0;
    long line = 0;
    long row = 0;  // 1 for the first record after the header
    // Results
    OutRow out;
    std::string messages;  // diagnostics, each a whole line
    bool blank = false;
    bool ok = true;
    float total = 0;  // Pa, when ok
};

// The shown texts of the numbers of one column, kept for the rows that repeat
// them: a run's lengths and coefficients come from a short list, and the
// seven-digit conversion is the costliest step of a row. Direct-mapped, so a
// lookup costs one comparison; a text is the same whichever row made it.
class NumberMemo {
public:
    const std::string& text(float x) {
        const auto bits = std::bit_cast<std::uint32_t>(x);  // so 0 and -0 stay apart
        // Fibonacci hashing: spreads values that differ only in their low bits.
        Slot& slot = slots_[(bits * 2654435761u) >> (32 - kBits)];
        if (!slot.filled || slot.bits != bits) {
            slot.bits = bits;
            slot.filled = true;
            slot.text = plainNumber(x);
        }
        return slot.text;
    }

private:
    static constexpr int kBits = 9;
    struct Slot {
        std::uint32_t bits = 0;
        bool filled = false;
        std::string text;
    };
    std::array<Slot, std::size_t{1} << kBits> slots_{};
};

// Computes segments. Each thread has its own, as each keeps the inputs and
// the label texts of the duct in hand.
class SegmentCalc {
public:
    SegmentCalc(const Layout& layout, const std::string& name) : layout_(layout), name_(name) {}

    void run(Job& job) {
        job.out.segment.clear();
        job.out.size.clear();
        for (std::string& n : job.out.numbers) n.clear();
        job.messages.clear();
        job.ok = true;
        const std::vector<std::string>& fields = job.fields;
        const std::size_t count = job.count;
        bool blank = true;
        for (std::size_t i = 0; i < count && blank; ++i) blank = trimmed(fields[i]).empty();
        job.blank = blank;
        if (blank) return;  // spreadsheets end their files with empty rows

        // Each known column's text, trimmed once: most are asked for more
        // than once.
        std::array<std::string_view, kColumns> texts{};
        for (std::size_t c = 0; c < kColumns; ++c) {
            const int at = layout_.columns[c];
            if (at >= 0 && static_cast<std::size_t>(at) < count)
                texts[c] = trimmed(fields[static_cast<std::size_t>(at)]);
        }
        auto field = [&](Column c) { return texts[c]; };
        OutRow& out = job.out;
        out.segment = field(segment);
        if (layout_.columns[segment] < 0) out.segment = std::to_string(job.row);
        auto say = [&](std::string_view kind, const std::string& message) {
            job.messages += std::string(kProgram) + ": " + name_ + ':' + std::to_string(job.line) +
                            ": " + std::string(kind) + message + '\n';
        };
        auto fail = [&](const std::string& message) {
            job.ok = false;
            say("", message);
        };
        if (count != layout_.fieldCount)
            fail("the row has " + std::to_string(count) + " fields, the header " +
                 std::to_string(layout_.fieldCount));

        input_.flowFactor = 1;
        if (const std::string_view u = field(unit); !u.empty()) {
            if (const std::optional<float> f = calc::flowFactorOf(u))
                input_.flowFactor = *f;
            else
                fail("unit " + quoted(u) + " is not one of " + unitList());
        }
        const std::string_view flowText = field(flow);
        if (flowText.empty())
            fail("flow is empty");
        else if (!calc::readsWhole(flowText))
            fail("flow " + quoted(flowText) + " is not a number");
        input_.flow = flowText;

        const std::string_view sizeText = field(size);
        if (const std::optional<SizeArg> s = parseSize(sizeText))
            setSize(input_, *s);
        else
            fail("size " + quoted(sizeText) + " is not a size");

        const std::optional<double> lengthValue = number(field(length), "length", fail);
        if (lengthValue && *lengthValue < 0)
            fail("length " + quoted(field(length)) + " is negative");
        const std::optional<double> zetaValue = number(field(zeta), "zeta", fail);

        const std::string_view materialText = field(material);
        const std::string_view kText = field(k);
        if (!kText.empty()) {
            const std::optional<int> index = calc::materialIndex(materialText);
            if (!materialText.empty() && index != calc::kCustomMaterial) {
                fail("give a material or k, not both (material " + quoted(materialText) + ", k " +
                     quoted(kText) + ")");
            } else {
                const Roughness r = customRoughness(kText);
                if (!r.warning.empty()) say("warning: ", r.warning);
                input_.roughness = r.k;
            }
        } else if (materialText.empty()) {
            input_.roughness = calc::materialRoughness(0);
        } else if (const std::optional<float> rk = namedRoughness(materialText)) {
            input_.roughness = *rk;
        } else {
            fail("material " + quoted(materialText) + " is not one of " + materialList());
        }

        const std::string_view formulaText = field(formula);
        if (formulaText.empty() || formulaText == "1")
            input_.formula = 1;
        else if (formulaText == "2")
            input_.formula = 2;
        else
            fail("formula " + quoted(formulaText) + " is not 1 or 2");

        if (job.ok) compute(job, *lengthValue, *zetaValue, fail);
    }

private:
    // Most lengths and coefficients are plain decimals ("12.5", "0.35"): when
    // the standard reader takes all of one without a range error, the text
    // reads whole, and its value is the boxes' reading of it, as both round
    // the same decimal to the nearest double. Saves the second reading.
    static std::optional<double> plainDecimal(std::string_view text) {
        for (char c : text)
            if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E'))
                return std::nullopt;
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (end != text.data() + text.size() || ec != std::errc() || !std::isfinite(value))
            return std::nullopt;
        // The same range check as for any other text: a value past the largest
        // single is no length.
        float asSingle = 0;
        if (!calc::storeSingle(asSingle, value)) return std::nullopt;
        return value;
    }

    template <class Fail>
    std::optional<double> number(std::string_view text, const char* column, Fail& fail) {
        if (text.empty()) return 0.0;
        if (const std::optional<double> plain = plainDecimal(text)) return plain;
        const std::optional<double> value = calc::textValue(text);
        float asSingle = 0;
        if (!calc::readsWhole(text)) {
            fail(std::string(column) + ' ' + quoted(text) + " is not a number");
        } else if (!value || !calc::storeSingle(asSingle, *value)) {
            fail(std::string(column) + ' ' + quoted(text) +
                 " is beyond the range of the calculation");
        } else {
            return value;
        }
        return std::nullopt;
    }

    template <class Fail>
    void compute(Job& job, double lengthValue, double zetaValue, Fail& fail) {
        using calc::Value;
        OutRow& out = job.out;
        const calc::DuctResult result = calc::computeDuct(input_, view_);
        const calc::CalcState& s = result.state;
        const calc::Outcome& o = result.outcome;
        // The values the labels show are taken from the labels themselves.
        auto fromLabel = [&](Out column, Value value, calc::Result label, std::string_view unit) {
            if (!o.defined(value)) return;
            std::string_view text = view_.caption(label);
            text.remove_suffix(unit.size());
            if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
            out.numbers[column] = text;
        };
        auto show = [&](Out column, std::optional<float> x) {
            if (x) out.numbers[column] = plainNumber(*x);
            return x;
        };
        if (o.defined(Value::size)) out.size = compactSize(view_.caption(calc::Result::Label6));
        fromLabel(oFlow, Value::flowRate, calc::Result::Label10, " m3/h");
        fromLabel(oEqDiameter, Value::eqDiameter, calc::Result::Label17, " m");
        const bool hasVelocity = o.defined(Value::velocity) && !result.noSection;
        if (hasVelocity) fromLabel(oVelocity, Value::velocity, calc::Result::Label7, " m/s");
        fromLabel(oReynolds, Value::reynolds, calc::Result::Label15, "");
        if (o.defined(Value::lambda)) show(oLambda, s.lambda);
        fromLabel(oRm, Value::specificLoss, calc::Result::Label11, " Pa/m");
        out.numbers[oLength] = lengthTexts_.text(static_cast<float>(lengthValue));
        out.numbers[oZeta] = zetaTexts_.text(static_cast<float>(zetaValue));

        std::string reason = failureReason(result, input_);
        std::optional<float> friction, pressure, local, total;
        if (o.defined(Value::specificLoss))
            friction = show(oFriction, calc::frictionLoss(s.specificLoss, lengthValue));
        if (hasVelocity) pressure = show(oPressure, calc::velocityPressure(s.velocity));
        if (pressure) local = show(oLocal, calc::localLoss(zetaValue, *pressure));
        if (friction && local) total = show(oTotal, calc::segmentTotal(*friction, *local));
        if (reason.empty() && !total)
            reason = "the segment's losses are beyond the range of the calculation";
        if (!reason.empty()) {
            fail(reason);
            return;
        }
        job.total = *total;
    }

    const Layout& layout_;
    const std::string& name_;
    NumberMemo lengthTexts_, zetaTexts_;
    calc::DuctInput input_;
    calc::HeadlessView view_{input_};
};

// A second thread that computes the jobs of a batch alongside the thread
// that reads: it starts on a batch as soon as the batch is full, and the
// reading thread joins in once it has filled the next one. Rows are taken a
// run at a time from a shared counter, so the two share the work whatever else
// each has to do.
class Helper {
public:
    explicit Helper(SegmentCalc& calc) : calc_(calc), thread_([this] { loop(); }) {}
    ~Helper() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    // Starts on jobs[0, count) and returns at once.
    void start(std::vector<Job>& jobs, std::size_t count) {
        {
            std::lock_guard lock(mutex_);
            jobs_ = &jobs;
            count_ = count;
            next_.store(0);
            busy_ = true;
            ++generation_;
        }
        wake_.notify_all();
    }

    // Computes the rest with `calc` and returns when every job is done.
    void finish(SegmentCalc& calc) {
        work(calc);
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return !busy_; });
    }

private:
    // Rows are taken a run at a time: taking them one by one had the two
    // threads trade the counter's cache line, and write neighbouring jobs,
    // on every row.
    static constexpr std::size_t kRun = 64;

    void work(SegmentCalc& calc) {
        for (std::size_t first = next_.fetch_add(kRun); first < count_;
             first = next_.fetch_add(kRun)) {
            const std::size_t last = std::min(first + kRun, count_);
            for (std::size_t i = first; i < last; ++i) calc.run((*jobs_)[i]);
        }
    }

    void loop() {
        unsigned long seen = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
                if (stop_) return;
                seen = generation_;
            }
            work(calc_);
            {
                std::lock_guard lock(mutex_);
                busy_ = false;
            }
            done_.notify_all();
        }
    }

    SegmentCalc& calc_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::vector<Job>* jobs_ = nullptr;
    std::size_t count_ = 0;
    std::atomic<std::size_t> next_{0};
    unsigned long generation_ = 0;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;  // last: starts once everything above is set
};

// One table run: the header's columns, the running total, the messages.
// Records are computed in batches, on two threads where the machine has them,
// and written in file order.
class Table {
public:
    Table(const std::string& name, Writer& writer, std::ostream& err)
        : name_(name), writer_(writer), err_(err) {
        const unsigned threads = std::thread::hardware_concurrency();
        calcs_.emplace_back(layout_, name_);
        if (threads > 1) {
            calcs_.emplace_back(layout_, name_);
            helper_ = std::make_unique<Helper>(calcs_[1]);
        }
    }

    // The header record; false (after a message) when the table is unusable.
    bool header(const std::vector<std::string>& fields, std::size_t count, long line) {
        layout_.columns.fill(-1);
        for (std::size_t i = 0; i < count; ++i) {
            const auto it = kHeaderNames.find(lowerAscii(trimmed(fields[i])));
            if (it == kHeaderNames.end()) continue;  // other columns are carried by nobody
            if (layout_.columns[it->second] >= 0) {
                usage(line, "column " + quoted(trimmed(fields[i])) + " appears twice");
                return false;
            }
            layout_.columns[it->second] = static_cast<int>(i);
        }
        layout_.fieldCount = count;
        for (auto [column, english, chinese] :
             {std::tuple{flow, "flow", "风量"}, std::tuple{size, "size", "尺寸"}}) {
            if (layout_.columns[column] < 0) {
                usage(line, std::string("no \"") + english + "\" (" + chinese +
                                ") column in the header row");
                return false;
            }
        }
        return true;
    }

    void record(std::vector<std::string>& fields, std::size_t count, long line) {
        if (readSize_ == reading_.size()) reading_.emplace_back();
        Job& job = reading_[readSize_++];
        // The whole list changes hands: the reader fills the job's old strings
        // next, whose room is already there.
        job.fields.swap(fields);
        job.count = count;
        job.line = line;
        job.row = ++rows_;
        if (readSize_ < kBatch) return;
        if (!helper_) {
            for (std::size_t i = 0; i < readSize_; ++i) calcs_[0].run(reading_[i]);
            emitAll(reading_, readSize_);
            readSize_ = 0;
            return;
        }
        // The batch before this one has been computing while this one was
        // read: finish and write it, then start on this one.
        finishComputing();
        std::swap(reading_, computing_);
        computeSize_ = readSize_;
        readSize_ = 0;
        helper_->start(computing_, computeSize_);
    }

    // Computes and writes every record read so far.
    void flush() {
        finishComputing();
        if (helper_ && readSize_ > 0) {
            helper_->start(reading_, readSize_);
            helper_->finish(calcs_[0]);
        } else {
            for (std::size_t i = 0; i < readSize_; ++i) calcs_[0].run(reading_[i]);
        }
        emitAll(reading_, readSize_);
        readSize_ = 0;
    }

    bool failed() const { return failed_; }
    long rows() const { return rows_; }

private:
    static constexpr std::size_t kBatch = 4096;

    void finishComputing() {
        if (computeSize_ == 0) return;
        helper_->finish(calcs_[0]);
        emitAll(computing_, computeSize_);
        computeSize_ = 0;
    }

    void emitAll(std::vector<Job>& jobs, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) emit(jobs[i]);
    }

    void emit(Job& job) {
        if (job.blank) return;
        // Only when there is something to say: the error stream flushes the
        // output each time it is written to.
        if (!job.messages.empty()) err_ << job.messages;
        if (!job.ok) {
            failed_ = true;
            // The sum along the path is unknown from a failed segment on.
            pathKnown_ = false;
        } else {
            running_ += job.total;
            float running = 0;
            if (pathKnown_ && calc::storeSingle(running, running_))
                job.out.numbers[oRunning] = plainNumber(running);
        }
        writer_.row(job.out);
    }

    void usage(long line, const std::string& message) {
        err_ << kProgram << ": " << name_ << ':' << line << ": " << message << '\n';
    }

    const std::string& name_;
    Writer& writer_;
    std::ostream& err_;
    Layout layout_;
    std::deque<SegmentCalc> calcs_;
    std::vector<Job> reading_, computing_;
    std::size_t readSize_ = 0, computeSize_ = 0;
    std::unique_ptr<Helper> helper_;  // last: its thread stops first
    double running_ = 0;              // Pa, summed in file order
    bool pathKnown_ = true;
    bool failed_ = false;
    long rows_ = 0;
};

}  // namespace

int runTable(std::FILE* in, const std::string& name, const TableOptions& options, std::ostream& out,
             std::ostream& err) {
    std::unique_ptr<Writer> writer;
    switch (options.format) {
        case Format::csv:
            writer = std::make_unique<CsvWriter>(out, options.delimiter);
            break;
        case Format::text:
            writer = std::make_unique<TextWriter>(out);
            break;
        case Format::json:
            writer = std::make_unique<JsonWriter>(out);
            break;
    }
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
