// SPDX-License-Identifier: GPL-3.0-or-later
// The recalculation over random window states.
//
// Input bytes, read from the front (missing bytes read as 0), describe one
// window state, and the bytes after it a second one:
//   1 byte   choices: bits 0-1 Check1 (0, 1, 2, -1), bits 2-3 the shape options
//            and bits 4-5 the formula options (none, the first, the second, both)
//   1 byte   flow unit: the ten factors of calc::flowUnits, then 0
//   1 byte   roughness: below 0x80 a preset (materials, limits, extremes),
//            otherwise 0.01 to 10 mm from the next two bytes
//   7 texts  Text1, Combo2, Combo3, Combo4, Text2, Text3, Text4: a length byte
//            below 0xE0 gives up to 23 characters of a small alphabet, one byte
//            each; from 0xE0 up it picks a long or extreme text
//
// Properties: no crash and no sanitizer report; no label shows nan or inf;
// every call writes all seven labels; a successful call shows no marker; a
// failed call marks at least the friction loss; the labels agree with the
// state; the same inputs give the same labels, also after other inputs; and
// the formula decides the friction loss alone.
#include <array>
#include <bitset>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "calc/ascii.h"
#include "calc/calc_state.h"
#include "calc/number_text.h"
#include "calc/recalc.h"
#include "calc/tables.h"
#include "fuzz/check.h"
#include "tests/calc/fake_view.h"

namespace {

using calc::Input;
using calc::Result;

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

constexpr float kMaxSingle = std::numeric_limits<float>::max();

constexpr std::array<float, 22> kRoughnessPresets{
    0.16f,       0.03f,        1.0f,   1.5f,
    5.0f,        2.0f,         0.6f,   10.0f,
    0.01f,       0.15f,        0.18f,  3.1f,
    0.0f,        -0.16f,       1e-45f, std::numeric_limits<float>::min(),
    1e-30f,      1e30f,        1e10f,  kMaxSingle,
    -kMaxSingle, 0.0099999998f};

// Texts a user can paste or that sit on the edges of the number ranges.
const std::vector<std::string>& extremeTexts() {
    static const std::vector<std::string> texts{"1e40",
                                                "-1e40",
                                                "1e400",
                                                "-1e400",
                                                "3.4028235e38",
                                                "3.4028236e38",
                                                "-3.4028235e38",
                                                "1e39",
                                                "1e-45",
                                                "1e-46",
                                                "1e-400",
                                                "-0",
                                                "1e308",
                                                "1.7976931348623157e308",
                                                "4.9e-324",
                                                std::string(400, '9'),
                                                "0." + std::string(400, '0') + "1",
                                                "1" + std::string(300, '0'),
                                                std::string(3000, '1'),
                                                "  ",
                                                "1e99999999999",
                                                "0.0000001",
                                                "2000",
                                                "100",
                                                "-1000",
                                                "1128",
                                                "3e38",
                                                "-200",
                                                "1e30",
                                                "1e-10",
                                                "1 000",
                                                "-1e-30"};
    return texts;
}

constexpr std::string_view kAlphabet = "01234567890123456789..-+eE xa,\t";

std::string decodeText(Bytes& bytes) {
    const std::uint8_t kind = bytes.next();
    if (kind >= 0xE0) {
        const auto& texts = extremeTexts();
        return texts[(kind - 0xE0u) % texts.size()];
    }
    std::string text;
    for (int n = kind % 24; n > 0; --n) text += kAlphabet[bytes.next() % kAlphabet.size()];
    return text;
}

struct Scenario {
    int check = 0;
    bool option1 = false, option2 = false, option4 = false, option5 = false;
    float flowFactor = 0;
    float roughness = 0;
    std::array<std::string, 7> texts;  // in the order of calc::Input
};

Scenario decode(Bytes& bytes) {
    Scenario s;
    const std::uint8_t choices = bytes.next();
    constexpr std::array<int, 4> kCheckValues{0, 1, 2, -1};
    s.check = kCheckValues[choices & 3];
    s.option1 = choices & 4;
    s.option2 = choices & 8;
    s.option4 = choices & 16;
    s.option5 = choices & 32;

    const std::uint8_t unit = bytes.next() % (calc::flowUnits.size() + 1);
    s.flowFactor = unit < calc::flowUnits.size() ? calc::flowUnits[unit].factor : 0.0f;

    const std::uint8_t roughness = bytes.next();
    if (roughness < 0x80) {
        s.roughness = kRoughnessPresets[roughness % kRoughnessPresets.size()];
    } else {
        const unsigned fraction = bytes.next() << 8 | bytes.next();
        s.roughness = 0.01f + 9.99f * (static_cast<float>(fraction) / 65535.0f);
    }

    for (std::string& text : s.texts) text = decodeText(bytes);
    return s;
}

// The window of the unit tests, also noting which labels the current call wrote.
struct WatchedView : FakeView {
    std::bitset<calc::kResultCount> written;

    void setCaption(Result label, std::string_view text) override {
        FakeView::setCaption(label, text);
        written.set(static_cast<std::size_t>(label));
    }
};

struct Outcome {
    bool ok;
    std::array<std::string, calc::kResultCount> labels;
    calc::CalcState state;
};

void show(const Scenario& s, WatchedView& view) {
    for (std::size_t i = 0; i < s.texts.size(); ++i) view.texts[static_cast<Input>(i)] = s.texts[i];
    view.check = s.check;
    view.option1 = s.option1;
    view.option2 = s.option2;
    view.option4 = s.option4;
    view.option5 = s.option5;
}

std::string describe(const Scenario& s) {
    std::string out =
        "Check1=" + std::to_string(s.check) + " Option1=" + std::to_string(s.option1) +
        " Option2=" + std::to_string(s.option2) + " Option4=" + std::to_string(s.option4) +
        " Option5=" + std::to_string(s.option5) + " flowFactor=" + std::to_string(s.flowFactor) +
        " roughness=" + std::to_string(s.roughness);
    constexpr std::array<const char*, 7> names{"Text1", "Combo2", "Combo3", "Combo4",
                                               "Text2", "Text3",  "Text4"};
    for (std::size_t i = 0; i < s.texts.size(); ++i) {
        const std::string& t = s.texts[i];
        out += std::string(" ") + names[i] + "=" +
               (t.size() > 40 ? "(" + std::to_string(t.size()) + " characters)" : fuzz::quoted(t));
    }
    return out;
}

std::string describe(const Outcome& o) {
    std::string out = o.ok ? "succeeded:" : "failed:";
    for (const std::string& label : o.labels) out += " " + fuzz::quoted(label);
    return out;
}

// One call of v on `state` as the handlers leave it for this scenario, with
// the properties every single call must have.
Outcome run(const Scenario& s, calc::CalcState& state, WatchedView& view) {
    state.flowFactor = s.flowFactor;
    state.roughness = s.roughness;
    show(s, view);
    view.written.reset();
    const bool ok = calc::v(state, view).complete();
    const Outcome o{ok, view.captions, state};
    const auto what = [&] { return describe(s) + " -> " + describe(o); };

    FUZZ_REQUIRE(view.written.all(), what() + ": every label is written by every call");
    for (const std::string& label : o.labels) {
        const std::string lower = calc::asciiLower(label);
        FUZZ_REQUIRE(
            lower.find("nan") == std::string::npos && lower.find("inf") == std::string::npos,
            what() + ": no label shows nan or inf");
    }
    const auto label = [&](Result r) -> const std::string& {
        return o.labels[static_cast<std::size_t>(r)];
    };
    if (!ok) {
        FUZZ_REQUIRE(label(Result::Label11) == calc::kFailMarker,
                     what() + ": a failed call marks the friction loss");
        return o;
    }
    for (const std::string& text : o.labels)
        FUZZ_REQUIRE(text != calc::kFailMarker, what() + ": a successful call shows no marker");
    for (const float field :
         {state.diameter, state.sideA, state.sideB, state.area, state.flowRate, state.velocity,
          state.lambda, state.reynolds, state.eqDiameter, state.specificLoss})
        FUZZ_REQUIRE(std::isfinite(field), what() + ": every field is finite");

    using calc::numberText;
    FUZZ_REQUIRE(label(Result::Label10) == numberText(state.flowRate) + " m3/h",
                 what() + ": Label10 shows the air volume");
    FUZZ_REQUIRE(label(Result::Label13) == numberText(state.roughness),
                 what() + ": Label13 shows the roughness");
    FUZZ_REQUIRE(label(Result::Label17) == numberText(state.eqDiameter) + " m",
                 what() + ": Label17 shows the equivalent diameter");
    FUZZ_REQUIRE(label(Result::Label15) == numberText(state.reynolds),
                 what() + ": Label15 shows the Reynolds number");
    FUZZ_REQUIRE(label(Result::Label11) == numberText(state.specificLoss) + " Pa/m",
                 what() + ": Label11 shows the friction loss");
    if (state.area > 0) {
        FUZZ_REQUIRE(label(Result::Label7) == numberText(state.velocity) + " m/s",
                     what() + ": Label7 shows the velocity");
    } else {
        FUZZ_REQUIRE(label(Result::Label7) == calc::kSizePrompt,
                     what() + ": Label7 asks for a size");
        FUZZ_REQUIRE(state.velocity == 0, what() + ": no velocity without a section");
    }
    if (s.option1)
        FUZZ_REQUIRE(label(Result::Label6) == "φ" + numberText(state.diameter),
                     what() + ": Label6 shows the diameter");
    if (s.check == 0) {
        // A number's sign follows "φ", " *" or nothing; other '-' belong to exponents.
        const std::string& size = label(Result::Label6);
        FUZZ_REQUIRE(size.rfind('-', 0) != 0 && size.find("φ-") == std::string::npos &&
                         size.find("*-") == std::string::npos,
                     what() + ": a standard size is never negative");
    }
    return o;
}

// The state right after start-up, apart from what the scenario sets.
calc::CalcState fresh() {
    calc::CalcState s;
    s.diameter = 100;
    s.sideA = 1000;
    s.sideB = 1000;
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes bytes(data, size);
    const Scenario first = decode(bytes);
    const Scenario other = decode(bytes);

    WatchedView view;
    calc::CalcState state = fresh();
    const Outcome once = run(first, state, view);
    const Outcome twice = run(first, state, view);
    const auto what = [&] { return describe(first) + " -> " + describe(once); };
    FUZZ_REQUIRE(twice.ok == once.ok && twice.labels == once.labels,
                 what() + ": the same inputs again give " + describe(twice));

    // Other inputs in between change nothing the first inputs show.
    WatchedView laterView;
    calc::CalcState laterState = fresh();
    run(other, laterState, laterView);
    const Outcome later = run(first, laterState, laterView);
    FUZZ_REQUIRE(
        later.ok == once.ok && later.labels == once.labels,
        what() + ": after " + describe(other) + " the same inputs give " + describe(later));

    // The formula only decides the friction loss.
    Scenario switched = first;
    switched.option4 = !first.option4 || first.option5;
    switched.option5 = first.option4 && !first.option5;
    WatchedView switchedView;
    calc::CalcState switchedState = fresh();
    const Outcome formula = run(switched, switchedState, switchedView);
    for (int i = 0; i < calc::kResultCount; ++i) {
        if (static_cast<Result>(i) == Result::Label11) continue;
        FUZZ_REQUIRE(formula.labels[i] == once.labels[i],
                     what() + ": with the other formula " + describe(formula));
    }
    return 0;
}
