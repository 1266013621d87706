// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/table_writers.h"

#include "cli/output_lines.h"

namespace cli {

namespace {

void write(std::ostream& out, const std::string& line) {
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

class CsvWriter : public TableWriter {
public:
    CsvWriter(std::ostream& out, char delimiter, bool chinese)
        : out_(out), line_(delimiter), chinese_(chinese) {}
    void begin() override {
        using ductsys::InputKey;
        auto input = [this](InputKey k) {
            const ductsys::InputField& f = ductsys::inputField(k);
            return chinese_ ? ductsys::chineseHeading(f) : std::string(f.key);
        };
        line_.clear();
        line_.text(input(InputKey::segment));
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            line_.text(chinese_ ? ductsys::chineseHeading(ductsys::figureField(kOutFigures[i]))
                                : std::string(kOutNames[i]));
            if (i == oFlow) line_.text(input(InputKey::size));
        }
        write(out_, line_.end());
    }
    void row(const OutRow& r) override {
        line_.clear();
        line_.text(r.segment);
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            line_.plain(r.numbers[i]);
            if (i == oFlow) line_.text(r.size);
        }
        write(out_, line_.end());
    }

private:
    std::ostream& out_;
    CsvLine line_;
    bool chinese_;
};

class TextWriter : public TableWriter {
public:
    explicit TextWriter(std::ostream& out) : out_(out) {}
    void begin() override {
        line_.clear();
        line_.cell("segment", 10, Align::left);
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            line_.cell(kOutCaptions[i], 12, Align::right);
            if (i == oFlow) line_.cell("  size", 11, Align::left);
        }
        write(out_, line_.end());
    }
    void row(const OutRow& r) override {
        line_.clear();
        line_.cell(cutToWidth(r.segment, 10), 10, Align::left);
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            line_.cell(r.numbers[i].empty() ? "-" : r.numbers[i], 12, Align::right);
            if (i == oFlow) line_.cell("  " + (r.size.empty() ? "-" : r.size), 11, Align::left);
        }
        write(out_, line_.end());
    }

private:
    std::ostream& out_;
    TextLine line_;
};

class JsonWriter : public TableWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}
    void begin() override { out_ << '['; }
    bool shortestNumbers() const override { return true; }
    void row(const OutRow& r) override {
        line_ = first_ ? "\n  {\"segment\": " : ",\n  {\"segment\": ";
        first_ = false;
        line_ += jsonString(r.segment);
        for (std::size_t i = 0; i < kOutNumbers; ++i) {
            line_ += ", \"";
            line_ += kOutNames[i];
            line_ += "\": ";
            // Already the shortest decimal that reads back (shortestNumbers).
            line_ += r.numbers[i].empty() ? "null" : r.numbers[i];
            if (i == oFlow) {
                line_ += ", \"size\": ";
                line_ += r.size.empty() ? "null" : jsonString(r.size);
            }
        }
        line_ += '}';
        write(out_, line_);
    }
    void end() override { out_ << (first_ ? "]\n" : "\n]\n"); }

private:
    std::ostream& out_;
    std::string line_;
    bool first_ = true;
};

}  // namespace

std::unique_ptr<TableWriter> makeTableWriter(Format format, char delimiter, std::ostream& out,
                                             bool chinese) {
    switch (format) {
        case Format::csv:
            return std::make_unique<CsvWriter>(out, delimiter, chinese);
        case Format::text:
            return std::make_unique<TextWriter>(out);
        case Format::json:
            break;
    }
    return std::make_unique<JsonWriter>(out);
}

}  // namespace cli
