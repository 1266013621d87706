// SPDX-License-Identifier: GPL-3.0-or-later
// The command line and the window show the same texts for the same inputs:
// a seeded sample of random inputs is set into the window, offscreen, and
// given to `ductcalc-cli calc`; every label must read the same.

#include <QApplication>
#include <QTest>

#include <nlohmann/json.hpp>

#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "calc/headless.h"
#include "calc/tables.h"
#include "cli/commands.h"
#include "ui/form1.h"

namespace {

// Numbers as a user types them: integers, decimals, exponents, now and then
// a negative one, a zero, letters after the digits or one beyond range.
std::string randomNumber(std::mt19937& rng, bool whole) {
    std::uniform_int_distribution<int> kind(0, 11);
    std::uniform_real_distribution<double> unit(0, 1);
    char buffer[64];
    switch (kind(rng)) {
        case 0:
            return "0";
        case 1:
            std::snprintf(buffer, sizeof buffer, "-%d", 1 + static_cast<int>(unit(rng) * 900));
            break;
        case 2:
            std::snprintf(buffer, sizeof buffer, "%.3g", unit(rng) * 10);
            break;
        case 3:
            std::snprintf(buffer, sizeof buffer, "%.2e", std::pow(10, unit(rng) * 80 - 40));
            break;
        case 4:
            if (whole) return "1e39";
            std::snprintf(buffer, sizeof buffer, "%dabc", static_cast<int>(unit(rng) * 5000));
            break;
        default:
            std::snprintf(buffer, sizeof buffer, "%.5g", unit(rng) * 20000);
            break;
    }
    return buffer;
}

struct Sample {
    std::string flow;
    std::size_t unit;
    bool rectangular;
    std::string a, b;
    int material;  // index in calc::materials; kCustomMaterial: k
    std::string k;
    int formula;
};

Sample randomSample(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> unit(0, calc::flowUnits.size() - 1);
    std::uniform_int_distribution<int> coin(0, 1), material(0, 8);
    std::uniform_int_distribution<int> sizeKind(0, 9);
    std::uniform_real_distribution<double> mm(50, 2500);
    auto size = [&] {
        if (sizeKind(rng) == 0) return randomNumber(rng, true);  // zero, negative, tiny, huge
        return std::to_string(static_cast<int>(mm(rng)));
    };
    Sample s;
    s.flow = randomNumber(rng, false);
    s.unit = unit(rng);
    s.rectangular = coin(rng) == 1;
    s.a = size();
    s.b = size();
    s.material = material(rng);
    // The command line refuses a K that is not read whole or is negative,
    // where the window reads it as far as it goes: only the K both take.
    if (s.material == calc::kCustomMaterial) {
        do s.k = randomNumber(rng, false);
        while (!calc::readsWhole(s.k) || s.k.front() == '-');
    }
    s.formula = 1 + coin(rng);
    return s;
}

// The window set as a user would: unit, typed size, material, formula, then
// the air volume.
std::unique_ptr<Form1> windowFor(const Sample& s) {
    auto form = std::make_unique<Form1>();
    form->Form_Load();
    form->Combo1->setText(QString::fromUtf8(calc::flowUnits[s.unit].text.data(),
                                            static_cast<int>(calc::flowUnits[s.unit].text.size())));
    form->Check1->setValue(1);
    if (s.rectangular) {
        form->Option2->setValue(-1);
        form->Text3->setText(QString::fromStdString(s.a));
        form->Text4->setText(QString::fromStdString(s.b));
    } else {
        form->Text2->setText(QString::fromStdString(s.a));
    }
    form->Option3[static_cast<std::size_t>(s.material)]->setValue(-1);
    if (s.material == calc::kCustomMaterial) form->Text13->setText(QString::fromStdString(s.k));
    (s.formula == 2 ? form->Option5 : form->Option4)->setValue(-1);
    form->Text1->setText(QString::fromStdString(s.flow));
    return form;
}

nlohmann::json cliFor(const Sample& s, int& status) {
    cli::CalcOptions o;
    o.flow = s.flow;
    o.lenient = true;  // the air volume read as the window's box reads it
    o.unit = calc::flowUnits[s.unit].text;
    if (s.rectangular)
        o.sides = s.a + "x" + s.b;
    else
        o.diameter = s.a;
    if (s.material == calc::kCustomMaterial)
        o.material.k = s.k;
    else
        o.material.material = calc::materials[static_cast<std::size_t>(s.material)].caption;
    o.formula = s.formula;
    o.format = cli::Format::json;
    std::ostringstream out, err;
    status = cli::runCalc(o, out, err);
    return nlohmann::json::parse(out.str());
}

QString describe(const Sample& s) {
    return QString::fromStdString(
        "flow " + s.flow + " unit " + std::string(calc::flowUnits[s.unit].text) +
        (s.rectangular ? " sides " + s.a + "x" + s.b : " diameter " + s.a) + " material " +
        std::to_string(s.material) + " k " + s.k + " formula " + std::to_string(s.formula));
}

}  // namespace

class TestCliWindow : public QObject {
    Q_OBJECT
private slots:
    void sameLabelTexts_data();
    void sameLabelTexts();
};

void TestCliWindow::sameLabelTexts_data() {
    QTest::addColumn<int>("seed");
    // Each row a run of samples from one seed, so that a failure names a
    // short list to replay.
    for (int seed = 1; seed <= 8; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("random inputs from seed %1").arg(seed))) << seed;
}

void TestCliWindow::sameLabelTexts() {
    QFETCH(int, seed);
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    for (int i = 0; i < 40; ++i) {
        const Sample s = randomSample(rng);
        const std::unique_ptr<Form1> form = windowFor(s);
        int status = 0;
        const nlohmann::json j = cliFor(s, status);
        const std::pair<const char*, QLabel*> labels[] = {
            {"roughness", form->Label13}, {"flow", form->Label10},
            {"size", form->Label6},       {"equivalent_diameter", form->Label17},
            {"velocity", form->Label7},   {"reynolds", form->Label15},
            {"rm", form->Label11}};
        for (const auto& [key, label] : labels) {
            const QString cliText = QString::fromStdString(j[key]["text"].get<std::string>());
            if (label->text() != cliText)
                QFAIL(qPrintable(describe(s) + ": " + key + " window \"" + label->text() +
                                 "\" cli \"" + cliText + "\""));
        }
        // The friction factor is the window's stored one, or none where the
        // window shows none (its formula had no air to work on).
        const bool lambdaDefined =
            form->outcome().defined(calc::Value::lambda) && form->state().lambda != 0;
        QCOMPARE(j["lambda"]["value"].is_null(), !lambdaDefined);
        if (lambdaDefined) QCOMPARE(j["lambda"]["value"].get<float>(), form->state().lambda);
        // A status of 0 only when the window computed everything from the
        // texts as typed.
        if (status == 0) QVERIFY2(form->outcome().complete(), qPrintable(describe(s)));
    }
}

QTEST_MAIN(TestCliWindow)
#include "tst_cli_window.moc"
