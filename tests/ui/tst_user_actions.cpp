// SPDX-License-Identifier: GPL-3.0-or-later
// The window worked the way a user works it: keystrokes into the boxes,
// clicks on options, boxes and scroll-bar arrows, entries picked from the
// lists, Tab. Each test starts from a freshly loaded, shown and active window.

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTestEventList>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <memory>
#include <random>

#include "calc/number_reading.h"
#include "calc/number_text.h"
#include "calc/recalc.h"
#include "calc/tables.h"
#include "tests/calc/fake_view.h"
#include "tests/ui/user_actions.h"
#include "ui/appearance.h"
#include "ui/form1.h"
#include "ui/layout.h"
#include "ui/qt_text.h"

using uitest::chooseEntry;
using uitest::click;
using uitest::clickBar;
using uitest::enterText;
using uitest::indicatorCentre;
using uitest::pasteText;
using uitest::stepBarTo;

namespace {

// The offscreen platform has no keyboard grab and cannot raise a window;
// every list popup says so. Nothing else is filtered.
QtMessageHandler previousHandler = nullptr;
void quietPopups(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    if (previousHandler) previousHandler(type, context, message);
}

std::string utf8(const QString& text) { return text.toStdString(); }

float singleOf(const QString& text) {
    const std::optional<double> value = calc::textValue(utf8(text));
    return value ? static_cast<float>(*value) : std::nanf("");
}

// Roughness and sizes are compared as the singles they are, not fuzzily.
#define COMPARE_SINGLE(actual, expected)                                                           \
    QVERIFY2(static_cast<float>(actual) == static_cast<float>(expected),                           \
             qPrintable(QString("%1 is %2, expected %3")                                           \
                            .arg(#actual)                                                          \
                            .arg(static_cast<double>(actual), 0, 'g', 9)                           \
                            .arg(static_cast<double>(expected), 0, 'g', 9)))

// Each material's roughness box and scroll bar (nullptr for none), by the
// material's number.
std::array<ui::TextBox*, calc::kMaterialCount> roughnessBoxes(const Form1& form) {
    std::array<ui::TextBox*, calc::kMaterialCount> boxes{};
    for (int i = 0; i < calc::kMaterialCount; ++i)
        boxes[static_cast<std::size_t>(i)] =
            form.findChild<ui::TextBox*>(QLatin1String(ui::materialControls(i).box));
    return boxes;
}

std::array<ui::HScrollBar*, calc::kMaterialCount> roughnessBars(const Form1& form) {
    std::array<ui::HScrollBar*, calc::kMaterialCount> bars{};
    for (int i = 0; i < calc::kMaterialCount; ++i)
        if (const char* name = ui::materialControls(i).bar)
            bars[static_cast<std::size_t>(i)] =
                form.findChild<ui::HScrollBar*>(QLatin1String(name));
    return bars;
}

struct Shown {
    QString label13, label10, label6, label17, label7, label15, label11;
    bool operator==(const Shown&) const = default;
};

}  // namespace

class TestUserActions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Air volume and flow unit.
    void typingAnAirVolumeRecalculatesOnEveryKeystroke();
    void airVolumeText_data();
    void airVolumeText();
    void flowUnit_data();
    void flowUnit();
    void choosingAUnitAndBack();
    void unitChangeScalesTheResults_data();
    void unitChangeScalesTheResults();
    void choosingAUnitByClickingItsEntry();

    // Friction formula.
    void switchingFormulaChangesOnlyTheLoss_data();
    void switchingFormulaChangesOnlyTheLoss();
    void clickingTheSelectedFormulaChangesNothing_data();
    void clickingTheSelectedFormulaChangesNothing();

    // Duct shape and size.
    void sizeControlStates_data();
    void sizeControlStates();
    void untickingRestoresTheStandardSizes_data();
    void untickingRestoresTheStandardSizes();
    void choosingAStandardDiameter();
    void rectangularRightAfterStartUp();
    void typedSizeRecalculatesOnEveryKeystroke_data();
    void typedSizeRecalculatesOnEveryKeystroke();
    void typedSizeText_data();
    void typedSizeText();

    // Roughness.
    void scrollBarWritesItsRoughness_data();
    void scrollBarWritesItsRoughness();
    void scrollBarByMouse_data();
    void scrollBarByMouse();
    void scrollBarByKeyboard_data();
    void scrollBarByKeyboard();
    void typingAfterAScrollStepReplacesTheAirVolume_data();
    void typingAfterAScrollStepReplacesTheAirVolume();
    void scrollFromAnotherMaterial();
    void fixedBarsNeverMove();
    void roughnessBoxClick_data();
    void roughnessBoxClick();
    void clickingTheSelectedMaterialAgainChangesNothing_data();
    void clickingTheSelectedMaterialAgainChangesNothing();
    void lockedBoxIgnoresTyping_data();
    void lockedBoxIgnoresTyping();
    void customRoughnessPasted_data();
    void customRoughnessPasted();
    void customRoughnessTyped_data();
    void customRoughnessTyped();
    void customRoughnessEditingEnds_data();
    void customRoughnessEditingEnds();
    void customRoughnessNotReadWholeIsKept_data();
    void customRoughnessNotReadWholeIsKept();
    void customRoughnessWrittenByTheProgram_data();
    void customRoughnessWrittenByTheProgram();
    void customRoughnessReachedWithTab();
    void customOptionLoadsTheTypedRoughness();

    // Everything together.
    void fullWidthInput_data();
    void fullWidthInput();
    void warningMark_data();
    void warningMark();
    void resultsNeverShowNanOrInf_data();
    void resultsNeverShowNanOrInf();
    void randomUserSession();

private:
    Form1& w() { return *form_; }

    // User actions. Each one acts only on what a user can reach: a visible,
    // enabled control.
    void clickButton(QAbstractButton* button) { click(button, indicatorCentre(button)); }
    // Text committed by an input method (full-width digits in Chinese mode).
    void commitText(ui::TextBox* box, const QString& text);
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void closeStrayPopup();
    // One step of a scripted table row: "click:Name", "type:Name=text",
    // "paste:Name=text", "commit:Name=text" (an input method) or
    // "pick:Name=entry".
    void perform(const QString& step);
    void performAll(const QStringList& steps);

    Shown shown();
    FakeView viewOfWindow();
    QString inconsistency();
    QString describe();

    std::unique_ptr<Form1> form_;
};

void TestUserActions::initTestCase() {
    ui::applyAppearance();
    previousHandler = qInstallMessageHandler(quietPopups);
}

void TestUserActions::init() {
    form_ = std::make_unique<Form1>();
    form_->Form_Load();
    form_->show();
    QApplication::setActiveWindow(form_.get());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void TestUserActions::cleanup() { form_.reset(); }

// --- Acting as the user -----------------------------------------------------

void TestUserActions::commitText(ui::TextBox* box, const QString& text) {
    click(box);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

// A key for whatever has the keyboard focus, as the keyboard delivers it.
void TestUserActions::key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : form_.get(), key, modifiers);
}

void TestUserActions::closeStrayPopup() {
    if (QWidget* popup = QApplication::activePopupWidget())
        QTest::keyClick(popup->focusWidget() ? popup->focusWidget() : popup, Qt::Key_Escape);
}

void TestUserActions::perform(const QString& step) {
    const qsizetype colon = step.indexOf(':');
    const QString verb = step.left(colon);
    const QString rest = step.mid(colon + 1);
    const qsizetype equals = rest.indexOf('=');
    const QString name = equals < 0 ? rest : rest.left(equals);
    const QString value = equals < 0 ? QString() : rest.mid(equals + 1);
    QWidget* widget = form_->findChild<QWidget*>(name);
    QVERIFY2(widget, qPrintable("no control " + name));
    if (verb == "click") {
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            clickButton(button);
        else
            click(widget);
    } else if (verb == "type") {
        enterText(qobject_cast<ui::TextBox*>(widget), value);
    } else if (verb == "paste") {
        pasteText(qobject_cast<ui::TextBox*>(widget), value);
    } else if (verb == "commit") {
        commitText(qobject_cast<ui::TextBox*>(widget), value);
    } else if (verb == "pick") {
        chooseEntry(qobject_cast<ui::ComboBox*>(widget), value);
    } else {
        QFAIL(qPrintable("unknown step " + step));
    }
}

void TestUserActions::performAll(const QStringList& steps) {
    for (const QString& step : steps) {
        perform(step);
        if (QTest::currentTestFailed()) return;
    }
}

// --- Observing the window ------------------------------------------------------

Shown TestUserActions::shown() {
    return {w().Label13->text(), w().Label10->text(), w().Label6->text(), w().Label17->text(),
            w().Label7->text(),  w().Label15->text(), w().Label11->text()};
}

// The inputs the window shows, as the recalculation would read them.
FakeView TestUserActions::viewOfWindow() {
    FakeView view;
    view.texts = {{calc::Input::Text1, utf8(w().Text1->text())},
                  {calc::Input::Combo2, utf8(w().Combo2->text())},
                  {calc::Input::Combo3, utf8(w().Combo3->text())},
                  {calc::Input::Combo4, utf8(w().Combo4->text())},
                  {calc::Input::Text2, utf8(w().Text2->text())},
                  {calc::Input::Text3, utf8(w().Text3->text())},
                  {calc::Input::Text4, utf8(w().Text4->text())}};
    view.check = w().Check1->value();
    view.option1 = w().Option1->value() != 0;
    view.option2 = w().Option2->value() != 0;
    view.option4 = w().Option4->value() != 0;
    view.option5 = w().Option5->value() != 0;
    return view;
}

// Everything that must hold between two user actions; empty when it does.
QString TestUserActions::inconsistency() {
    QStringList faults;
    const calc::CalcState& state = w().state();
    const auto boxes = roughnessBoxes(w());

    // The roughness belongs to the one selected material.
    int selected = -1;
    for (int i = 0; i < calc::kMaterialCount; ++i)
        if (w().Option3[static_cast<std::size_t>(i)]->value() != 0) {
            if (selected >= 0) faults << "two materials selected";
            selected = i;
        }
    // The custom box may hold a text outside the limits only while the user
    // is typing in it; the K in use is always held within them.
    const calc::CustomK custom = calc::customK(utf8(w().Text13->text()));
    const float boxK = [&] {
        if (selected == calc::kCustomMaterial) return custom.value;
        return selected < 0 ? 0.0f : singleOf(boxes[selected]->text());
    }();
    if (selected < 0) {
        faults << "no material selected";
    } else if (!(boxK == state.roughness)) {
        faults << QString("roughness %1 but the selected box %2 reads %3")
                      .arg(state.roughness)
                      .arg(boxes[selected]->objectName(), boxes[selected]->text());
    }
    if (selected == calc::kCustomMaterial &&
        !(state.roughness >= calc::kMinCustomK && state.roughness <= calc::kMaxCustomK))
        faults << QString("custom roughness %1 outside 0.01 to 10").arg(state.roughness);
    const bool editingCustom = w().Text13->hasFocus() && w().Text13->changedByUser();
    if (calc::customKAtEditingEnd(utf8(w().Text13->text())) && !editingCustom)
        faults << "Text13 holds " + w().Text13->text() +
                      ", outside 0.01 to 10, and is not being edited";

    // A box shows the warning mark exactly when its text is not read whole,
    // is out of range, is a negative air volume or size, or (custom K) is held
    // at a limit; the tool tip and the accessible description say the same.
    const std::array<std::pair<ui::TextBox*, bool>, 5> read{{{w().Text1, true},
                                                             {w().Text2, true},
                                                             {w().Text3, true},
                                                             {w().Text4, true},
                                                             {w().Text13, false}}};
    for (const auto& [box, airOrSize] : read) {
        const calc::Reading r = calc::readNumber(utf8(box->text()));
        const bool outOfRange =
            !r.value || std::fabs(*r.value * (box == w().Text1 ? state.flowFactor : 1.0f)) >
                            std::numeric_limits<float>::max();
        const bool smallSize =
            airOrSize && box != w().Text1 && r.value && *r.value > 0 && *r.value < 10;
        const bool short_ = !r.whole() || outOfRange || (airOrSize && r.value && *r.value < 0) ||
                            smallSize || (box == w().Text13 && custom.replacement);
        const bool marked = box->warningAction() && box->actions().contains(box->warningAction());
        if (marked != short_ || box->warning().isEmpty() == short_)
            faults << QString("%1 reads \"%2\" with mark %3")
                          .arg(box->objectName(), box->text())
                          .arg(marked);
        if (marked &&
            (box->toolTip() != box->warning() || box->accessibleDescription() != box->warning() ||
             box->warningAction()->toolTip() != box->warning()))
            faults << box->objectName() + "'s tool tip or description differs from its mark";
    }

    // A locked box holds what its bar last wrote, or its fixed value.
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (static_cast<int>(i) == calc::kCustomMaterial) continue;
        const auto& material = calc::materials[i];
        const QScrollBar* bar = material.hasScroll ? roughnessBars(w())[i] : nullptr;
        const std::string want = bar ? calc::scrollKText(bar->value(), material.divisor)
                                     : std::string(material.defaultK);
        if (utf8(boxes[i]->text()) != want)
            faults << boxes[i]->objectName() + " reads " + boxes[i]->text();
    }

    // The unit and the factor agree.
    if (const auto factor = calc::flowFactorOf(utf8(w().Combo1->text()));
        !factor || *factor != state.flowFactor)
        faults
            << QString("flow factor %1 for unit %2").arg(state.flowFactor).arg(w().Combo1->text());

    // One shape, one formula; the size controls as the shape and Check1 say.
    if ((w().Option1->value() != 0) == (w().Option2->value() != 0)) faults << "shape options";
    if ((w().Option4->value() != 0) == (w().Option5->value() != 0)) faults << "formula options";
    const bool circular = w().Option1->value() != 0;
    const bool standard = w().Check1->value() == 0;
    const std::array<std::pair<QWidget*, QWidget*>, 3> pairs{
        std::pair<QWidget*, QWidget*>{w().Combo2, w().Text2},
        {w().Combo3, w().Text3},
        {w().Combo4, w().Text4}};
    for (int row = 0; row < 3; ++row) {
        const bool enabled = (row == 0) == circular;
        const auto [combo, text] = pairs[static_cast<std::size_t>(row)];
        if (combo->isVisible() != standard || text->isVisible() == standard ||
            combo->isEnabled() != enabled || text->isEnabled() != enabled)
            faults << "visible/enabled state of " + combo->objectName() + "/" + text->objectName();
    }

    // Nothing unprintable, and exactly what a fresh recalculation shows.
    const Shown now = shown();
    for (const QString& text :
         {now.label13, now.label10, now.label6, now.label17, now.label7, now.label15, now.label11})
        if (text.contains("nan", Qt::CaseInsensitive) || text.contains("inf", Qt::CaseInsensitive))
            faults << "a label shows " + text;

    FakeView fresh = viewOfWindow();
    calc::CalcState again;
    again.roughness = state.roughness;
    again.flowFactor = state.flowFactor;
    const bool complete = calc::v(again, fresh).complete();
    auto label = [&](calc::Result r) { return QString::fromStdString(fresh.caption(r)); };
    const Shown want{label(calc::Result::Label13), label(calc::Result::Label10),
                     label(calc::Result::Label6),  label(calc::Result::Label17),
                     label(calc::Result::Label7),  label(calc::Result::Label15),
                     label(calc::Result::Label11)};
    if (!(now == want))
        faults << QString(
                      "labels [%1|%2|%3|%4|%5|%6|%7], a fresh recalculation shows "
                      "[%8|%9|%10|%11|%12|%13|%14]")
                      .arg(now.label13, now.label10, now.label6, now.label17, now.label7,
                           now.label15, now.label11)
                      .arg(want.label13, want.label10, want.label6, want.label17, want.label7,
                           want.label15, want.label11);
    if (complete) {
        const bool same = state.flowRate == again.flowRate && state.area == again.area &&
                          state.velocity == again.velocity &&
                          state.eqDiameter == again.eqDiameter &&
                          state.reynolds == again.reynolds && state.lambda == again.lambda &&
                          state.specificLoss == again.specificLoss &&
                          (circular ? state.diameter == again.diameter
                                    : state.sideA == again.sideA && state.sideB == again.sideB);
        if (!same) faults << "calculation state differs from a fresh recalculation";
    }
    return faults.join("; ");
}

QString TestUserActions::describe() {
    return QString("Text1=%1 unit=%2 check=%3 Combo2..4=%4/%5/%6 Text2..4=%7/%8/%9 Text13=%10")
        .arg(w().Text1->text(), w().Combo1->text())
        .arg(w().Check1->value())
        .arg(w().Combo2->text(), w().Combo3->text(), w().Combo4->text(), w().Text2->text(),
             w().Text3->text(), w().Text4->text(), w().Text13->text());
}

// --- Air volume and flow unit ------------------------------------------------------

void TestUserActions::typingAnAirVolumeRecalculatesOnEveryKeystroke() {
    click(w().Text1);
    QTest::keyClick(w().Text1, Qt::Key_A, Qt::ControlModifier);
    QSignalSpy changes(w().Text1, &ui::TextBox::changeRaised);
    const QStringList wanted{" 1 m3/h", " 15 m3/h", " 150 m3/h"};
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(w().Text1, QString("150").at(i).toLatin1());
        QCOMPARE(changes.count(), i + 1);
        QCOMPARE(w().Text1->text(), QString("150").left(i + 1));
        QCOMPARE(w().Label10->text(), wanted[i]);
    }
    // Nothing chose a unit: the factor of "m3/h" is already in place.
    COMPARE_SINGLE(w().state().flowFactor, 1.0f);
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::airVolumeText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label10");
    QTest::newRow("digits read as the air volume") << "1005"
                                                   << " 1005 m3/h";
    QTest::newRow("digits followed by letters read as the digits") << "12abc"
                                                                   << " 12 m3/h";
    QTest::newRow("letters alone read as zero") << "abc"
                                                << " 0 m3/h";
    QTest::newRow("an emptied box reads as zero") << ""
                                                  << " 0 m3/h";
    QTest::newRow("blanks between digits are skipped") << "1 2"
                                                       << " 12 m3/h";
    QTest::newRow("a comma ends the number") << "2,5"
                                             << " 2 m3/h";
    QTest::newRow("an exponent is read") << "1.5e3"
                                         << " 1500 m3/h";
    QTest::newRow("a lone point reads as zero") << "."
                                                << " 0 m3/h";
    QTest::newRow("a negative volume is shown as typed") << "-20"
                                                         << "-20 m3/h";
}

void TestUserActions::airVolumeText() {
    QFETCH(QString, typed);
    QFETCH(QString, label10);
    enterText(w().Text1, typed);
    QCOMPARE(w().Text1->text(), typed);
    QCOMPARE(w().Label10->text(), label10);
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::flowUnit_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("label10");
    QTest::newRow("10 m3/min is 600 m3/h") << "10"
                                           << "m3/min"
                                           << " 600 m3/h";
    QTest::newRow("1000 CFM is 1699 m3/h") << "1000"
                                           << "CFM"
                                           << " 1699 m3/h";
    QTest::newRow("1 l/s is 3.6 m3/h") << "1"
                                       << "l/s"
                                       << " 3.6 m3/h";
    QTest::newRow("1 m3/s is 3600 m3/h") << "1"
                                         << "m3/s"
                                         << " 3600 m3/h";
    QTest::newRow("100 l/min is 6 m3/h") << "100"
                                         << "l/min"
                                         << " 6 m3/h";
    QTest::newRow("1000 Am.GPM is 227.1 m3/h") << "1000"
                                               << "Am.GPM"
                                               << " 227.1 m3/h";
    QTest::newRow("1 Am.GPS is 13.626 m3/h") << "1"
                                             << "Am.GPS"
                                             << " 13.626 m3/h";
    QTest::newRow("100 En.GPM is 27.276 m3/h") << "100"
                                               << "En.GPM"
                                               << " 27.276 m3/h";
    QTest::newRow("10 En.GPS is 163.656 m3/h") << "10"
                                               << "En.GPS"
                                               << " 163.656 m3/h";
    QTest::newRow("choosing m3/h, already chosen, keeps 10 m3/h") << "10"
                                                                  << "m3/h"
                                                                  << " 10 m3/h";
}

void TestUserActions::flowUnit() {
    QFETCH(QString, typed);
    QFETCH(QString, unit);
    QFETCH(QString, label10);
    enterText(w().Text1, typed);
    chooseEntry(w().Combo1, unit);
    QCOMPARE(w().Combo1->text(), unit);
    QCOMPARE(w().Label10->text(), label10);
    QCOMPARE(w().Text1->text(), typed);  // the unit never rewrites the volume
    QCOMPARE(inconsistency(), QString());
}

// The volume keeps its text: the same number is read in the unit chosen.
void TestUserActions::choosingAUnitAndBack() {
    enterText(w().Text1, "10");
    QSignalSpy picks(w().Combo1, &ui::ComboBox::clickRaised);
    chooseEntry(w().Combo1, "m3/min");
    QCOMPARE(w().Label10->text(), QString(" 600 m3/h"));
    COMPARE_SINGLE(w().state().flowFactor, 60.0f);
    chooseEntry(w().Combo1, "m3/h");
    QCOMPARE(w().Label10->text(), QString(" 10 m3/h"));
    COMPARE_SINGLE(w().state().flowFactor, 1.0f);
    QCOMPARE(w().Text1->text(), QString("10"));
    QCOMPARE(picks.count(), 2);
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::unitChangeScalesTheResults_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("m3/h to m3/min") << "m3/h"
                                    << "m3/min";
    QTest::newRow("m3/min back to m3/h") << "m3/min"
                                         << "m3/h";
    QTest::newRow("m3/h to CFM") << "m3/h"
                                 << "CFM";
    QTest::newRow("l/s to En.GPS") << "l/s"
                                   << "En.GPS";
    QTest::newRow("Am.GPS to l/min") << "Am.GPS"
                                     << "l/min";
}

void TestUserActions::unitChangeScalesTheResults() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    enterText(w().Text1, "1000");
    chooseEntry(w().Combo2, "200");
    chooseEntry(w().Combo1, from);
    const calc::CalcState before = w().state();
    const Shown shownBefore = shown();
    chooseEntry(w().Combo1, to);
    const calc::CalcState& after = w().state();
    const double ratio = static_cast<double>(*calc::flowFactorOf(utf8(to))) /
                         static_cast<double>(*calc::flowFactorOf(utf8(from)));
    auto near = [ratio](float a, float b) {
        return std::fabs(static_cast<double>(a) / static_cast<double>(b) / ratio - 1) < 2e-6;
    };
    QVERIFY(near(after.flowRate, before.flowRate));
    QVERIFY(near(after.velocity, before.velocity));
    QVERIFY(near(after.reynolds, before.reynolds));
    QVERIFY(after.specificLoss != before.specificLoss);
    QCOMPARE(w().Text1->text(), QString("1000"));
    // The size, the equivalent diameter and the roughness do not depend on it.
    QCOMPARE(shown().label6, shownBefore.label6);
    QCOMPARE(shown().label17, shownBefore.label17);
    QCOMPARE(shown().label13, shownBefore.label13);
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::choosingAUnitByClickingItsEntry() {
    enterText(w().Text1, "10");
    click(w().Combo1);
    QAbstractItemView* list = w().Combo1->view();
    QVERIFY(list->isVisible());
    // The open list ignores a release that comes right after the click that
    // opened it; a user is never that fast.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QModelIndex entry = w().Combo1->model()->index(1, 0);  // "m3/min"
    list->scrollTo(entry);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(w().Combo1->text(), QString("m3/min"));
    QCOMPARE(w().Label10->text(), QString(" 600 m3/h"));
    QCOMPARE(inconsistency(), QString());
}

// --- Friction formula ---------------------------------------------------------

void TestUserActions::switchingFormulaChangesOnlyTheLoss_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<double>("lossOne");
    QTest::addColumn<double>("lossTwo");
    const QStringList circular{"type:Text1=1000", "pick:Combo2=200"};
    const QStringList rectangular{"click:Option2", "pick:Combo3=500", "pick:Combo4=320",
                                  "type:Text1=5000"};
    QTest::newRow("1000 m3/h in a 200 mm circular duct, by mouse")
        << circular << false << 4.38 << 5.05;
    QTest::newRow("1000 m3/h in a 200 mm circular duct, by arrow key")
        << circular << true << 4.38 << 5.05;
    QTest::newRow("5000 m3/h in a 500 x 320 duct, by mouse")
        << rectangular << false << 1.86 << 2.13;
    QTest::newRow("5000 m3/h in a 500 x 320 duct, by arrow key")
        << rectangular << true << 1.86 << 2.13;
}

void TestUserActions::switchingFormulaChangesOnlyTheLoss() {
    QFETCH(QStringList, steps);
    QFETCH(bool, byKeyboard);
    QFETCH(double, lossOne);
    QFETCH(double, lossTwo);
    performAll(steps);
    const Shown one = shown();
    QVERIFY(std::fabs(w().state().specificLoss - lossOne) < 0.01);

    if (byKeyboard) {
        clickButton(w().Option4);  // already selected: only takes the focus
        QCOMPARE(shown(), one);
        key(Qt::Key_Down);
    } else {
        clickButton(w().Option5);
    }
    QVERIFY(w().Option5->isChecked());
    const Shown two = shown();
    QVERIFY(std::fabs(w().state().specificLoss - lossTwo) < 0.01);
    QVERIFY(two.label11 != one.label11);
    Shown others = two;
    others.label11 = one.label11;
    QCOMPARE(others, one);
    QCOMPARE(inconsistency(), QString());

    if (byKeyboard)
        key(Qt::Key_Up);
    else
        clickButton(w().Option4);
    QVERIFY(w().Option4->isChecked());
    QCOMPARE(shown(), one);
}

void TestUserActions::clickingTheSelectedFormulaChangesNothing_data() {
    QTest::addColumn<QString>("formula");
    QTest::newRow("formula one, selected since start-up") << "Option4";
    QTest::newRow("formula two, after choosing it") << "Option5";
}

void TestUserActions::clickingTheSelectedFormulaChangesNothing() {
    QFETCH(QString, formula);
    performAll({"type:Text1=2500", "pick:Combo2=320", "click:" + formula});
    auto* option = form_->findChild<ui::OptionButton*>(formula);
    const Shown before = shown();
    const float loss = w().state().specificLoss;
    QSignalSpy clicks(option, &ui::OptionButton::clickRaised);
    clickButton(option);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(option->isChecked());
    QCOMPARE(shown(), before);
    COMPARE_SINGLE(w().state().specificLoss, loss);
}

// --- Duct shape and size ---------------------------------------------------------

void TestUserActions::sizeControlStates_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("rectangular");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("label6");
    QTest::newRow("start-up: circular, standard sizes")
        << QStringList{} << false << false << "φ 100";
    QTest::newRow("ticking non-standard while circular")
        << QStringList{"Check1"} << false << true << "φ 100";
    QTest::newRow("choosing rectangular with standard sizes")
        << QStringList{"Option2"} << true << false << " 1000 * 1000";
    QTest::newRow("ticking non-standard, then choosing rectangular")
        << QStringList{"Check1", "Option2"} << true << true << " 1000 * 1000";
    QTest::newRow("choosing rectangular, then ticking non-standard")
        << QStringList{"Option2", "Check1"} << true << true << " 1000 * 1000";
    QTest::newRow("ticking twice returns to standard sizes")
        << QStringList{"Check1", "Check1"} << false << false << "φ 100";
    QTest::newRow("back to circular from rectangular non-standard")
        << QStringList{"Option2", "Check1", "Option1"} << false << true << "φ 100";
    QTest::newRow("unticking while rectangular")
        << QStringList{"Option2", "Check1", "Check1"} << true << false << " 1000 * 1000";
}

// The four states of the size controls: Check1 decides which of each pair is
// shown, the shape which row is enabled, hidden members included.
void TestUserActions::sizeControlStates() {
    QFETCH(QStringList, clicks);
    QFETCH(bool, rectangular);
    QFETCH(bool, ticked);
    QFETCH(QString, label6);
    for (const QString& name : clicks) perform("click:" + name);
    QCOMPARE(w().Option2->isChecked(), rectangular);
    QCOMPARE(w().Check1->value(), ticked ? 1 : 0);

    struct Row {
        QWidget *combo, *text;
        bool enabled;
    };
    const Row rows[] = {{w().Combo2, w().Text2, !rectangular},
                        {w().Combo3, w().Text3, rectangular},
                        {w().Combo4, w().Text4, rectangular}};
    for (const Row& row : rows) {
        QCOMPARE(row.combo->isVisible(), !ticked);
        QCOMPARE(row.text->isVisible(), ticked);
        QCOMPARE(row.combo->isEnabled(), row.enabled);
        QCOMPARE(row.text->isEnabled(), row.enabled);
    }
    QCOMPARE(w().Label6->text(), label6);
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::untickingRestoresTheStandardSizes_data() {
    QTest::addColumn<QStringList>("standard");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("typedLabel6");
    QTest::newRow("circular: Combo2 at 250, Text2 typed 300")
        << QStringList{"type:Text1=800", "pick:Combo2=250"} << QStringList{"type:Text2=300"}
        << "φ 300";
    QTest::newRow("rectangular: 630 x 400 chosen, 300 x 200 typed")
        << QStringList{"type:Text1=3000", "click:Option2", "pick:Combo3=630", "pick:Combo4=400"}
        << QStringList{"type:Text3=300", "type:Text4=200"} << " 300 * 200";
    QTest::newRow("right after start-up the typed size equals the chosen one")
        << QStringList{} << QStringList{} << "φ 100";
}

void TestUserActions::untickingRestoresTheStandardSizes() {
    QFETCH(QStringList, standard);
    QFETCH(QStringList, typed);
    QFETCH(QString, typedLabel6);
    performAll(standard);
    const Shown chosen = shown();
    const QString combos = w().Combo2->text() + w().Combo3->text() + w().Combo4->text();

    clickButton(w().Check1);
    performAll(typed);
    QCOMPARE(w().Label6->text(), typedLabel6);
    const QString texts = w().Text2->text() + w().Text3->text() + w().Text4->text();
    QCOMPARE(inconsistency(), QString());

    clickButton(w().Check1);
    QCOMPARE(shown(), chosen);
    QCOMPARE(w().Combo2->text() + w().Combo3->text() + w().Combo4->text(), combos);
    QCOMPARE(w().Text2->text() + w().Text3->text() + w().Text4->text(), texts);
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::choosingAStandardDiameter() {
    QSignalSpy picks(w().Combo2, &ui::ComboBox::clickRaised);
    chooseEntry(w().Combo2, "250");
    QCOMPARE(picks.count(), 1);
    QCOMPARE(w().Label6->text(), QString("φ 250"));
    QCOMPARE(w().Label17->text(), QString(" 0.25 m"));
    QCOMPARE(w().Text2->text(), QString("100"));  // its own value, untouched
    QCOMPARE(inconsistency(), QString());

    chooseEntry(w().Combo2, "250");  // the same entry again is no change
    QCOMPARE(picks.count(), 1);
}

void TestUserActions::rectangularRightAfterStartUp() {
    clickButton(w().Option2);
    QVERIFY(w().Option2->isChecked());
    QCOMPARE(w().Label6->text(), QString(" 1000 * 1000"));
    COMPARE_SINGLE(w().state().sideA, 1000.0f);
    COMPARE_SINGLE(w().state().sideB, 1000.0f);
    COMPARE_SINGLE(w().state().area, 1.0f);
    QCOMPARE(w().Label7->text(), QString(" 0 m/s"));
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::typedSizeRecalculatesOnEveryKeystroke_data() {
    QTest::addColumn<bool>("rectangular");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("label6");
    QTest::newRow("typing 300 into an emptied Text3")
        << true << "Text3" << QStringList{" 3 * 1000", " 30 * 1000", " 300 * 1000"};
    QTest::newRow("typing 300 into an emptied Text4")
        << true << "Text4" << QStringList{" 1000 * 3", " 1000 * 30", " 1000 * 300"};
    QTest::newRow("typing 300 into an emptied Text2")
        << false << "Text2" << QStringList{"φ 3", "φ 30", "φ 300"};
}

void TestUserActions::typedSizeRecalculatesOnEveryKeystroke() {
    QFETCH(bool, rectangular);
    QFETCH(QString, box);
    QFETCH(QStringList, label6);
    if (rectangular) clickButton(w().Option2);
    clickButton(w().Check1);
    auto* text = form_->findChild<ui::TextBox*>(box);
    enterText(text, "");
    QCOMPARE(text->text(), QString());
    QCOMPARE(w().Label7->text(), QString::fromUtf8(calc::kSizePrompt.data()));

    QSignalSpy changes(text, &ui::TextBox::changeRaised);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(text, QString("300").at(i).toLatin1());
        QCOMPARE(changes.count(), i + 1);
        QCOMPARE(w().Label6->text(), label6[i]);
        QCOMPARE(inconsistency(), QString());
    }
}

void TestUserActions::typedSizeText_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label6");
    QTest::addColumn<bool>("prompt");
    QTest::newRow("12abc in Text2 reads 12") << "Text2"
                                             << "12abc"
                                             << "φ 12" << false;
    QTest::newRow("abc in Text2 reads 0 and asks for a size") << "Text2"
                                                              << "abc"
                                                              << "φ 0" << true;
    QTest::newRow("an emptied Text2 asks for a size") << "Text2"
                                                      << ""
                                                      << "φ 0" << true;
    QTest::newRow("a negative diameter is used as typed") << "Text2"
                                                          << "-200"
                                                          << "φ-200" << false;
    QTest::newRow("12abc in Text3 reads 12") << "Text3"
                                             << "12abc"
                                             << " 12 * 1000" << false;
    QTest::newRow("abc in Text4 reads 0 and asks for a size") << "Text4"
                                                              << "abc"
                                                              << " 1000 * 0" << true;
    QTest::newRow("sides that cancel out ask for a size") << "Text4"
                                                          << "-1000"
                                                          << " 1000 *-1000" << true;
}

void TestUserActions::typedSizeText() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, label6);
    QFETCH(bool, prompt);
    if (box != "Text2") clickButton(w().Option2);
    clickButton(w().Check1);
    enterText(form_->findChild<ui::TextBox*>(box), typed);
    QCOMPARE(w().Label6->text(), label6);
    QCOMPARE(w().Label7->text() == QString::fromUtf8(calc::kSizePrompt.data()), prompt);
    if (prompt) {
        QCOMPARE(w().Label17->text(), QString(" 0 m"));
        QCOMPARE(w().Label15->text(), QString(" 0"));
        QCOMPARE(w().Label11->text(), QString(" 0 Pa/m"));
        COMPARE_SINGLE(w().state().velocity, 0.0f);
    }
    QCOMPARE(inconsistency(), QString());
}

// --- Roughness -------------------------------------------------------------------

void TestUserActions::scrollBarWritesItsRoughness_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("material");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("roughness");
    QTest::addColumn<QString>("label13");
    QTest::newRow("HScroll1 at 15 writes 0.15")
        << "HScroll1" << 15 << 0 << "0.15" << 0.15f << " 0.15";
    QTest::newRow("HScroll1 at 18 writes 0.18")
        << "HScroll1" << 18 << 0 << "0.18" << 0.18f << " 0.18";
    QTest::newRow("HScroll2 at 1 writes 0.01")
        << "HScroll2" << 1 << 1 << "0.01" << 0.01f << " 0.01";
    QTest::newRow("HScroll2 at 5 writes 0.05")
        << "HScroll2" << 5 << 1 << "0.05" << 0.05f << " 0.05";
    QTest::newRow("HScroll6 at 60 writes 6 without a point")
        << "HScroll6" << 60 << 5 << "6" << 6.0f << " 6";
    QTest::newRow("HScroll6 at 31 writes 3.1") << "HScroll6" << 31 << 5 << "3.1" << 3.1f << " 3.1";
    QTest::newRow("HScroll6 at 49 writes 4.9") << "HScroll6" << 49 << 5 << "4.9" << 4.9f << " 4.9";
    QTest::newRow("HScroll7 at 10 writes 1") << "HScroll7" << 10 << 6 << "1" << 1.0f << " 1";
    QTest::newRow("HScroll7 at 29 writes 2.9") << "HScroll7" << 29 << 6 << "2.9" << 2.9f << " 2.9";
    QTest::newRow("HScroll8 at 10 writes 1") << "HScroll8" << 10 << 7 << "1" << 1.0f << " 1";
    QTest::newRow("HScroll8 at 2 writes 0.2") << "HScroll8" << 2 << 7 << "0.2" << 0.2f << " 0.2";
    QTest::newRow("HScroll8 at 7 writes 0.7") << "HScroll8" << 7 << 7 << "0.7" << 0.7f << " 0.7";
}

// Every arrow click on the way is a change of its own: each one writes the
// box, selects the material, recomputes and hands the focus to Text1.
void TestUserActions::scrollBarWritesItsRoughness() {
    QFETCH(QString, bar);
    QFETCH(int, value);
    QFETCH(int, material);
    QFETCH(QString, text);
    QFETCH(float, roughness);
    QFETCH(QString, label13);
    performAll({"type:Text1=1500", "click:Option3_8"});  // start from another material
    auto* scroll = form_->findChild<ui::HScrollBar*>(bar);
    QSignalSpy changes(scroll, &ui::HScrollBar::changeRaised);
    const int steps = std::abs(value - scroll->value());
    stepBarTo(scroll, value);
    QCOMPARE(changes.count(), steps);

    const auto boxes = roughnessBoxes(w());
    QCOMPARE(boxes[material]->text(), text);
    QVERIFY(w().Option3[material]->isChecked());
    COMPARE_SINGLE(w().state().roughness, roughness);
    QCOMPARE(w().Label13->text(), label13);
    QVERIFY(w().Text1->hasFocus());
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::scrollBarByMouse_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("part");
    QTest::addColumn<bool>("widen");
    QTest::addColumn<int>("end");
    const int addLine = QStyle::SC_ScrollBarAddLine, subLine = QStyle::SC_ScrollBarSubLine;
    const int addPage = QStyle::SC_ScrollBarAddPage, subPage = QStyle::SC_ScrollBarSubPage;
    const int thumb = QStyle::SC_ScrollBarSlider;
    QTest::newRow("right arrow of HScroll1 from 16") << "HScroll1" << 16 << addLine << false << 17;
    QTest::newRow("left arrow of HScroll1 from 16") << "HScroll1" << 16 << subLine << false << 15;
    QTest::newRow("right arrow of HScroll1 at its maximum")
        << "HScroll1" << 18 << addLine << false << 18;
    QTest::newRow("left arrow of HScroll2 at its minimum")
        << "HScroll2" << 1 << subLine << false << 1;
    QTest::newRow("left arrow of HScroll6 from 50") << "HScroll6" << 50 << subLine << false << 49;
    QTest::newRow("thumb of HScroll7 clicked in place") << "HScroll7" << 20 << thumb << false << 20;
    // At the window's width the thumb covers the whole track; widened, the
    // track shows on both sides of it and a click there is one step too.
    QTest::newRow("track right of the thumb of HScroll8")
        << "HScroll8" << 6 << addPage << true << 7;
    QTest::newRow("track left of the thumb of HScroll8") << "HScroll8" << 6 << subPage << true << 5;
    QTest::newRow("track right of the thumb of HScroll6")
        << "HScroll6" << 50 << addPage << true << 51;
}

void TestUserActions::scrollBarByMouse() {
    QFETCH(QString, bar);
    QFETCH(int, start);
    QFETCH(int, part);
    QFETCH(bool, widen);
    QFETCH(int, end);
    auto* scroll = form_->findChild<ui::HScrollBar*>(bar);
    stepBarTo(scroll, start);
    click(w().Text11);  // another material, and the focus away from Text1
    if (widen) {
        scroll->resize(scroll->width() * 4, scroll->height());
        scroll->raise();
    }
    const Shown before = shown();
    const float roughness = w().state().roughness;
    QSignalSpy changes(scroll, &ui::HScrollBar::changeRaised);
    clickBar(scroll, static_cast<QStyle::SubControl>(part));
    QCOMPARE(scroll->value(), end);
    QCOMPARE(changes.count(), end == start ? 0 : 1);
    if (end == start) {
        // No change, no handler: the material and the results stay.
        QVERIFY(w().Option3[6]->isChecked());
        COMPARE_SINGLE(w().state().roughness, roughness);
        QCOMPARE(shown().label6, before.label6);
    } else {
        QVERIFY(w().Text1->hasFocus());
        QVERIFY(!w().Option3[6]->isChecked());
    }
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::scrollBarByKeyboard_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("tabFrom");  // the box left with Tab; none: focus as Tab gives it
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("material");
    QTest::addColumn<QString>("text");
    QTest::newRow("Right moves HScroll1 one step") << "HScroll1"
                                                   << "" << int(Qt::Key_Right) << 17 << 0 << "0.17";
    QTest::newRow("Left moves HScroll6 one step") << "HScroll6"
                                                  << "" << int(Qt::Key_Left) << 49 << 5 << "4.9";
    QTest::newRow("End takes HScroll6 to its maximum") << "HScroll6"
                                                       << "" << int(Qt::Key_End) << 60 << 5 << "6";
    QTest::newRow("Home takes HScroll8 to its minimum")
        << "HScroll8"
        << "" << int(Qt::Key_Home) << 2 << 7 << "0.2";
    QTest::newRow("Page Down moves HScroll7 one step")
        << "HScroll7"
        << "" << int(Qt::Key_PageDown) << 21 << 6 << "2.1";
    QTest::newRow("HScroll1 reached with Tab from Text5, Right")
        << "HScroll1"
        << "Text5" << int(Qt::Key_Right) << 17 << 0 << "0.17";
    QTest::newRow("HScroll2 reached with Tab from Text6, Left")
        << "HScroll2"
        << "Text6" << int(Qt::Key_Left) << 2 << 1 << "0.02";
    QTest::newRow("HScroll6 reached with Tab from Text10, Right")
        << "HScroll6"
        << "Text10" << int(Qt::Key_Right) << 51 << 5 << "5.1";
}

// A bar that has the focus moves once for one key and then gives the focus to
// Text1, so that the next key goes into the air volume.
void TestUserActions::scrollBarByKeyboard() {
    QFETCH(QString, bar);
    QFETCH(QString, tabFrom);
    QFETCH(int, key);
    QFETCH(int, end);
    QFETCH(int, material);
    QFETCH(QString, text);
    auto* scroll = form_->findChild<ui::HScrollBar*>(bar);
    enterText(w().Text1, "2000");
    clickButton(w().Option3[2]);
    if (tabFrom.isEmpty()) {
        // A click never gives a bar the focus; only Tab does.
        scroll->setFocus(Qt::TabFocusReason);
        QVERIFY(w().Option3[2]->isChecked());
    } else {
        perform("click:" + tabFrom);
        this->key(Qt::Key_Tab);
    }
    QVERIFY(scroll->hasFocus());

    QSignalSpy changes(scroll, &ui::HScrollBar::changeRaised);
    this->key(static_cast<Qt::Key>(key));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(scroll->value(), end);
    QVERIFY(w().Option3[material]->isChecked());
    QCOMPARE(roughnessBoxes(w())[static_cast<std::size_t>(material)]->text(), text);
    COMPARE_SINGLE(w().state().roughness, singleOf(text));
    QVERIFY(w().Text1->hasFocus());
    QCOMPARE(inconsistency(), QString());

    // The next keys go into the air volume; the bar stays.
    this->key(Qt::Key_End);
    this->key(Qt::Key_5);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(w().Text1->text(), QString("20005"));
    QCOMPARE(w().Label10->text(), QString(" 20005 m3/h"));
}

// A scroll step gives the focus to the air volume with its number selected,
// so the number typed next replaces it instead of extending it.
void TestUserActions::typingAfterAScrollStepReplacesTheAirVolume_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("how");  // "arrow", "track" or a key name
    QTest::newRow("a click on the right arrow of HScroll1") << "HScroll1"
                                                            << "arrow";
    QTest::newRow("a click on the track of HScroll8") << "HScroll8"
                                                      << "track";
    QTest::newRow("the Right key on HScroll6 reached with Tab") << "HScroll6"
                                                                << "Right";
    QTest::newRow("the Left key on HScroll2 reached with Tab") << "HScroll2"
                                                               << "Left";
}

void TestUserActions::typingAfterAScrollStepReplacesTheAirVolume() {
    QFETCH(QString, bar);
    QFETCH(QString, how);
    auto* scroll = form_->findChild<ui::HScrollBar*>(bar);
    enterText(w().Text1, "1000");
    QCOMPARE(w().Text1->selectedText(), QString());  // the caret stands after 1000
    if (how == "arrow") {
        clickBar(scroll, QStyle::SC_ScrollBarAddLine);
    } else if (how == "track") {
        scroll->resize(scroll->width() * 4, scroll->height());
        scroll->raise();
        clickBar(scroll, QStyle::SC_ScrollBarAddPage);
    } else {
        scroll->setFocus(Qt::TabFocusReason);
        key(how == "Right" ? Qt::Key_Right : Qt::Key_Left);
    }
    if (QTest::currentTestFailed()) return;
    QVERIFY(w().Text1->hasFocus());
    QCOMPARE(w().Text1->selectedText(), QString("1000"));
    for (const char c : std::string("2000")) key(static_cast<Qt::Key>(c));
    QCOMPARE(w().Text1->text(), QString("2000"));
    QCOMPARE(w().Label10->text(), QString(" 2000 m3/h"));
    QCOMPARE(inconsistency(), QString());
}

// With "木板" selected, one click on the right arrow of HScroll1 (at 16).
void TestUserActions::scrollFromAnotherMaterial() {
    enterText(w().Text1, "3000");
    clickButton(w().Option3[7]);
    COMPARE_SINGLE(w().state().roughness, 0.6f);
    const Shown wood = shown();
    click(w().Text12);  // the focus somewhere else than Text1
    QCOMPARE(w().HScroll1->value(), 16);

    clickBar(w().HScroll1, QStyle::SC_ScrollBarAddLine);
    QCOMPARE(w().HScroll1->value(), 17);
    QCOMPARE(w().Text5->text(), QString("0.17"));
    QVERIFY(w().Option3[0]->isChecked());
    QVERIFY(!w().Option3[7]->isChecked());
    COMPARE_SINGLE(w().state().roughness, 0.17f);
    QCOMPARE(w().Label13->text(), QString(" 0.17"));
    QVERIFY(w().Label11->text() != wood.label11);
    QVERIFY(w().Text1->hasFocus());
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::fixedBarsNeverMove() {
    for (ui::HScrollBar* bar : {w().HScroll3, w().HScroll4, w().HScroll5}) {
        QVERIFY(!bar->isEnabled());
        const Shown before = shown();
        QSignalSpy changes(bar, &ui::HScrollBar::changeRaised);
        // A user clicks where the arrows are drawn; a disabled bar ignores it.
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 3, bar->height() / 2));
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(3, bar->height() / 2));
        QCOMPARE(changes.count(), 0);
        QVERIFY(w().Option3[0]->isChecked());
        QCOMPARE(shown(), before);
    }
}

void TestUserActions::roughnessBoxClick_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("material");
    QTest::addColumn<float>("roughness");
    QTest::addColumn<QString>("label13");
    QTest::newRow("Text5 selects 薄钢板, 0.16") << "Text5" << 0 << 0.16f << " 0.16";
    QTest::newRow("Text6 selects 塑料板, 0.03") << "Text6" << 1 << 0.03f << " 0.03";
    QTest::newRow("Text7 selects 矿渣石膏板, 1.0") << "Text7" << 2 << 1.0f << " 1";
    QTest::newRow("Text8 selects 矿渣混凝土板, 1.5") << "Text8" << 3 << 1.5f << " 1.5";
    QTest::newRow("Text9 selects 胶合板, 1.0") << "Text9" << 4 << 1.0f << " 1";
    QTest::newRow("Text10 selects 砖砌体, 5") << "Text10" << 5 << 5.0f << " 5";
    QTest::newRow("Text11 selects 混凝土, 2") << "Text11" << 6 << 2.0f << " 2";
    QTest::newRow("Text12 selects 木板, 0.6") << "Text12" << 7 << 0.6f << " 0.6";
    QTest::newRow("Text13 selects 自定义, 10") << "Text13" << 8 << 10.0f << " 10";
}

void TestUserActions::roughnessBoxClick() {
    QFETCH(QString, box);
    QFETCH(int, material);
    QFETCH(float, roughness);
    QFETCH(QString, label13);
    // Start from another material than the row's own.
    if (material == 1)
        clickButton(w().Option3[5]);
    else
        clickButton(w().Option3[1]);
    performAll({"type:Text1=4000", "click:" + box});
    QVERIFY(w().Option3[material]->isChecked());
    QCOMPARE(w().Option3[material]->text(),
             QString::fromUtf8(calc::materials[static_cast<std::size_t>(material)].caption.data()));
    COMPARE_SINGLE(w().state().roughness, roughness);
    QCOMPARE(w().Label13->text(), label13);
    // The other groups stay as they were.
    QVERIFY(w().Option1->isChecked());
    QVERIFY(w().Option4->isChecked());
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::clickingTheSelectedMaterialAgainChangesNothing_data() {
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("again");
    QTest::newRow("the option of 薄钢板, selected since start-up") << "Option3_0"
                                                                   << "Option3_0";
    QTest::newRow("the box of 薄钢板, selected since start-up") << "Option3_0"
                                                                << "Text5";
    QTest::newRow("the option of 混凝土 after choosing it") << "Option3_6"
                                                            << "Option3_6";
    QTest::newRow("the box of 混凝土 after choosing it") << "Option3_6"
                                                         << "Text11";
    QTest::newRow("the box of 自定义 after choosing it") << "Option3_8"
                                                         << "Text13";
}

void TestUserActions::clickingTheSelectedMaterialAgainChangesNothing() {
    QFETCH(QString, select);
    QFETCH(QString, again);
    performAll({"type:Text1=1200", "click:" + select});
    auto* option = form_->findChild<ui::OptionButton*>(select);
    const Shown before = shown();
    const float roughness = w().state().roughness;
    QSignalSpy selections(option, &ui::OptionButton::clickRaised);
    perform("click:" + again);
    QCOMPARE(selections.count(), 0);
    QVERIFY(option->isChecked());
    COMPARE_SINGLE(w().state().roughness, roughness);
    QCOMPARE(shown(), before);
}

void TestUserActions::lockedBoxIgnoresTyping_data() {
    QTest::addColumn<QString>("box");
    for (const char* box :
         {"Text5", "Text6", "Text7", "Text8", "Text9", "Text10", "Text11", "Text12"})
        QTest::addRow("typing, deleting and pasting into %s change nothing", box) << box;
}

void TestUserActions::lockedBoxIgnoresTyping() {
    QFETCH(QString, box);
    auto* text = form_->findChild<ui::TextBox*>(box);
    enterText(w().Text1, "700");
    click(text);  // a click still selects the material
    QVERIFY(text->hasFocus());
    const QString was = text->text();
    const Shown before = shown();
    const float roughness = w().state().roughness;
    QSignalSpy changes(text, &ui::TextBox::changeRaised);

    QTest::keyClicks(text, "9.5");
    QTest::keyClick(text, Qt::Key_Backspace);
    QTest::keyClick(text, Qt::Key_Home);
    QTest::keyClick(text, Qt::Key_Delete);
    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_Delete);
    QGuiApplication::clipboard()->setText("7");
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_X, Qt::ControlModifier);

    QCOMPARE(changes.count(), 0);
    QCOMPARE(text->text(), was);
    COMPARE_SINGLE(w().state().roughness, roughness);
    QCOMPARE(shown(), before);
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::customRoughnessPasted_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<float>("roughness");
    QTest::addColumn<QString>("label13");
    QTest::addColumn<QString>("afterEditing");  // the box once the editing has ended
    QTest::newRow("10.5 holds K at 10, the box becomes 10") << "10.5" << 10.0f << " 10"
                                                            << "10";
    QTest::newRow("-3 holds K at 0.01, the box becomes 0.01") << "-3" << 0.01f << " 0.01"
                                                              << "0.01";
    QTest::newRow("5mm stays as pasted and reads 5") << "5mm" << 5.0f << " 5"
                                                     << "5mm";
    QTest::newRow("letters stay, with K held at 0.01") << "abc" << 0.01f << " 0.01"
                                                       << "abc";
    QTest::newRow("0.01 stays, the lower limit is inclusive") << "0.01" << 0.01f << " 0.01"
                                                              << "0.01";
    QTest::newRow("10 stays, the upper limit is inclusive") << "10" << 10.0f << " 10"
                                                            << "10";
    QTest::newRow("1e1 stays, it is 10") << "1e1" << 10.0f << " 10"
                                         << "1e1";
    QTest::newRow("a value that rounds to the single 0.01 stays")
        << "0.0099999999" << 0.01f << " 0.01"
        << "0.0099999999";
    QTest::newRow("the single just above 10 becomes 10") << "10.000001" << 10.0f << " 10"
                                                         << "10";
    QTest::newRow("0.005 becomes 0.01") << "0.005" << 0.01f << " 0.01"
                                        << "0.01";
    QTest::newRow("a number too large for a double gives K 10") << "1e400" << 10.0f << " 10"
                                                                << "10";
    QTest::newRow("its negative gives K 0.01") << "-1e999" << 0.01f << " 0.01"
                                               << "0.01";
    QTest::newRow("a number too small for a double becomes 0.01") << "1e-999" << 0.01f << " 0.01"
                                                                  << "0.01";
    QTest::newRow("beyond the single range becomes 10") << "1e39" << 10.0f << " 10"
                                                        << "10";
    QTest::newRow("blanks between digits are skipped: 2 5 is 25, becomes 10")
        << "2 5" << 10.0f << " 10"
        << "10";
    QTest::newRow("a comma ends the number: 1,5 stays and reads 1") << "1,5" << 1.0f << " 1"
                                                                    << "1,5";
    QTest::newRow("a leading plus stays") << "+7" << 7.0f << " 7"
                                          << "+7";
    QTest::newRow("a lone point stays, with K held at 0.01") << "." << 0.01f << " 0.01"
                                                             << ".";
    QTest::newRow("0,5 stays, read as 0 and held at 0.01") << "0,5" << 0.01f << " 0.01"
                                                           << "0,5";
    QTest::newRow("full-width 0.5 reads 0.5 and stays") << "０．５" << 0.5f << " 0.5"
                                                        << "０．５";
}

// A pasted text is the user's: it stays as pasted, with the K in use held
// within the limits, until the editing ends.
void TestUserActions::customRoughnessPasted() {
    QFETCH(QString, pasted);
    QFETCH(float, roughness);
    QFETCH(QString, label13);
    QFETCH(QString, afterEditing);
    enterText(w().Text1, "900");
    clickButton(w().Option3[3]);  // another material first
    QSignalSpy changes(w().Text13, &ui::TextBox::changeRaised);
    pasteText(w().Text13, pasted);
    QVERIFY(changes.count() >= 1);
    QCOMPARE(w().Text13->text(), pasted);
    QVERIFY(w().Option3[8]->isChecked());
    COMPARE_SINGLE(w().state().roughness, roughness);
    QCOMPARE(w().Label13->text(), label13);
    QCOMPARE(inconsistency(), QString());

    key(Qt::Key_Tab);
    QCOMPARE(w().Text13->text(), afterEditing);
    COMPARE_SINGLE(w().state().roughness, roughness);
    QCOMPARE(w().Label13->text(), label13);
    QVERIFY(w().Option3[8]->isChecked());
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::customRoughnessTyped_data() {
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("text");  // as typed, while the box has the focus
    QTest::addColumn<float>("roughness");
    QTest::addColumn<QString>("afterEditing");  // once the Tab key has left the box
    QTestEventList list;

    list.clear();
    list.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    list.addKeyClicks("0.5");
    QTest::newRow("typing 0.5 gives 0.5, through 0 and 0.") << list << "0.5" << 0.5f << "0.5";

    list.clear();
    list.addKeyClick(Qt::Key_End);
    list.addKeyClick(Qt::Key_Backspace);
    list.addKeyClick(Qt::Key_Backspace);
    list.addKeyClick('5');
    QTest::newRow("deleting 10 and typing 5 gives 5") << list << "5" << 5.0f << "5";

    list.clear();
    list.addKeyClick(Qt::Key_End);
    list.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("Backspace at the end of 10 leaves 1") << list << "1" << 1.0f << "1";
    list.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("a second Backspace empties the box: K 0.01, then 0.01")
        << list << "" << 0.01f << "0.01";

    list.clear();
    list.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    list.addKeyClicks("0.05");
    QTest::newRow("typing 0.05 passes 0.0, held at 0.01 for a moment")
        << list << "0.05" << 0.05f << "0.05";

    list.clear();
    list.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    list.addKeyClicks("10.5");
    QTest::newRow("10.5 gives K 10 at once and 10 when the editing ends")
        << list << "10.5" << 10.0f << "10";

    list.clear();
    list.addKeyClick(Qt::Key_End);
    list.addKeyClick('5');
    QTest::newRow("5 after 10 makes 105: K 10") << list << "105" << 10.0f << "10";

    list.clear();
    list.addKeyClick(Qt::Key_Home);
    list.addKeyClick('-');
    QTest::newRow("a minus before 10 makes -10: K 0.01") << list << "-10" << 0.01f << "0.01";

    list.clear();
    list.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    list.addKeyClicks("-0.5");
    QTest::newRow("a negative number typed: K 0.01") << list << "-0.5" << 0.01f << "0.01";

    for (const char* typed : {"-", ".", "x", "e", "+"}) {
        list.clear();
        list.addKeyClick(Qt::Key_A, Qt::ControlModifier);
        list.addKeyClick(typed[0]);
        // Not read whole: kept as typed, with its mark.
        QTest::addRow("select-all and a lone %s: K 0.01, the text stays", typed)
            << list << QString(typed) << 0.01f << QString(typed);
    }

    list.clear();
    list.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    list.addKeyClicks("7mm");
    QTest::newRow("select-all and 7mm reads 7") << list << "7mm" << 7.0f << "7mm";

    list.clear();
    list.addKeyClick(Qt::Key_End);
    list.addKeyClick(Qt::Key_Backspace);
    list.addKeyClick(Qt::Key_Z, Qt::ControlModifier);
    QTest::newRow("undo brings 10 back") << list << "10" << 10.0f << "10";

    list.clear();
    list.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    list.addKeyClicks("0.005");
    list.addKeyClick(Qt::Key_Return);
    QTest::newRow("Enter ends the editing: 0.005 becomes 0.01 and the box keeps the focus")
        << list << "0.01" << 0.01f << "0.01";

    list.clear();
    list.addKeyClick(Qt::Key_A, Qt::ControlModifier);
    list.addKeyClicks("20");
    list.addKeyClick(Qt::Key_Return);
    list.addKeyClick(Qt::Key_Backspace);
    list.addKeyClick('3');
    QTest::newRow("typing again after Enter edits once more: 20, 10, 1, 13")
        << list << "13" << 10.0f << "10";
}

// After every keystroke the box holds what was typed, the K in use is that
// text's value held within the limits, and custom is selected.
void TestUserActions::customRoughnessTyped() {
    QFETCH(QTestEventList, keys);
    QFETCH(QString, text);
    QFETCH(float, roughness);
    QFETCH(QString, afterEditing);
    enterText(w().Text1, "1000");
    click(w().Text13);
    QVERIFY(w().Option3[8]->isChecked());

    QStringList faults;
    auto* box = w().Text13;
    const QMetaObject::Connection probe = connect(box, &ui::TextBox::changeRaised, this, [&] {
        const float k = calc::customK(utf8(box->text())).value;
        if (!(k == w().state().roughness)) faults << box->text();
        if (!(k >= calc::kMinCustomK && k <= calc::kMaxCustomK)) faults << "K " + box->text();
    });
    keys.simulate(box);
    disconnect(probe);
    QCOMPARE(faults, QStringList());
    QCOMPARE(box->text(), text);
    QVERIFY(box->hasFocus());
    COMPARE_SINGLE(w().state().roughness, roughness);
    QVERIFY(w().Option3[8]->isChecked());
    QCOMPARE(inconsistency(), QString());

    key(Qt::Key_Tab);
    QVERIFY(!box->hasFocus());
    QCOMPARE(box->text(), afterEditing);
    COMPARE_SINGLE(w().state().roughness, roughness);
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::customRoughnessEditingEnds_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("ends");
    QTest::newRow("Enter ends it") << "enter" << true;
    QTest::newRow("the keypad's Enter ends it like Return") << "keypad enter" << true;
    QTest::newRow("Tab ends it") << "tab" << true;
    QTest::newRow("Shift+Tab ends it") << "backtab" << true;
    QTest::newRow("a click in the air volume box ends it") << "click Text1" << true;
    QTest::newRow("a click on another material ends it") << "click Option3_7" << true;
    QTest::newRow("the window losing the focus ends it") << "deactivate" << true;
    QTest::newRow("a menu opening over the box does not end it") << "popup" << false;
    QTest::newRow("more typing does not end it") << "type" << false;
}

void TestUserActions::customRoughnessEditingEnds() {
    QFETCH(QString, how);
    QFETCH(bool, ends);
    enterText(w().Text1, "1000");
    enterText(w().Text13, "25");
    QCOMPARE(w().Text13->text(), QString("25"));
    COMPARE_SINGLE(w().state().roughness, 10.0f);
    QSignalSpy changes(w().Text13, &ui::TextBox::changeRaised);

    QWidget other;
    if (how == "enter") {
        key(Qt::Key_Return);
    } else if (how == "keypad enter") {
        key(Qt::Key_Enter, Qt::KeypadModifier);
    } else if (how == "tab") {
        key(Qt::Key_Tab);
    } else if (how == "backtab") {
        key(Qt::Key_Backtab, Qt::ShiftModifier);
    } else if (how.startsWith("click ")) {
        auto* target = form_->findChild<QWidget*>(how.mid(6));
        if (auto* button = qobject_cast<QAbstractButton*>(target))
            clickButton(button);
        else
            click(target);
    } else if (how == "deactivate") {
        other.show();
        QApplication::setActiveWindow(&other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
    } else if (how == "popup") {
        QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
        QApplication::sendEvent(w().Text13, &out);
    } else {
        key(Qt::Key_0);
    }
    const QString expected = ends ? "10" : how == "type" ? "250" : "25";
    QCOMPARE(w().Text13->text(), expected);
    QCOMPARE(changes.count(), ends || how == "type" ? 1 : 0);
    const bool otherMaterial = how == "click Option3_7";
    QCOMPARE(w().Option3[7]->isChecked(), otherMaterial);
    COMPARE_SINGLE(w().state().roughness, otherMaterial ? 0.6f : 10.0f);
    QCOMPARE(w().Label13->text(), QString(otherMaterial ? " 0.6" : " 10"));
    if (how == "deactivate") {
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    QCOMPARE(inconsistency(), QString());
}

// When the editing ends, a text that is not read whole stays as typed, with
// its mark, and K stays held within the limits; only a number read whole and
// out of range is replaced by the limit.
void TestUserActions::customRoughnessNotReadWholeIsKept_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");  // the box's text once the editing ended
    QTest::addColumn<float>("roughness");
    QTest::addColumn<QString>("warning");
    const QString heldLow = "粗糙度限于 0.01 至 10 mm，按 0.01 计算";
    QTest::newRow("0,5 reads 0 and stays, held at 0.01")
        << "0,5"
        << "0,5" << 0.01f << "只读取了 0，忽略了“,5”\n" + heldLow;
    QTest::newRow("letters stay, held at 0.01")
        << "abc"
        << "abc" << 0.01f << "未读到数字，按 0 计算；忽略了“abc”\n" + heldLow;
    QTest::newRow("25mm stays, held at 10")
        << "25mm"
        << "25mm" << 10.0f << "只读取了 25，忽略了“mm”\n粗糙度限于 0.01 至 10 mm，按 10 计算";
    QTest::newRow("0。5 with the ideographic full stop is 0.5") << "0。5"
                                                                << "0。5" << 0.5f << "";
    QTest::newRow("25 read whole becomes the limit") << "25"
                                                     << "10" << 10.0f << "";
    QTest::newRow("0。001 read whole becomes the lower limit") << "0。001"
                                                               << "0.01" << 0.01f << "";
}

void TestUserActions::customRoughnessNotReadWholeIsKept() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(float, roughness);
    QFETCH(QString, warning);
    enterText(w().Text1, "1000");
    commitText(w().Text13, typed);
    key(Qt::Key_Tab);
    QVERIFY(!w().Text13->hasFocus());
    QCOMPARE(w().Text13->text(), kept);
    QVERIFY(w().Option3[calc::kCustomMaterial]->isChecked());
    COMPARE_SINGLE(w().state().roughness, roughness);
    QCOMPARE(w().Text13->warning(), warning);
    QCOMPARE(inconsistency(), QString());
}

// A text the program writes into the box is put right at once: nobody is
// typing it.
void TestUserActions::customRoughnessWrittenByTheProgram_data() {
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("roughness");
    QTest::newRow("20 becomes 10 at once") << "20"
                                           << "10" << 10.0f;
    QTest::newRow("an empty text becomes 0.01 at once") << ""
                                                        << "0.01" << 0.01f;
    QTest::newRow("0.5 stays") << "0.5"
                               << "0.5" << 0.5f;
}

void TestUserActions::customRoughnessWrittenByTheProgram() {
    QFETCH(QString, written);
    QFETCH(QString, text);
    QFETCH(float, roughness);
    enterText(w().Text1, "1000");
    click(w().Text13);
    w().Text13->setText(written);
    QCOMPARE(w().Text13->text(), text);
    COMPARE_SINGLE(w().state().roughness, roughness);
    QCOMPARE(inconsistency(), QString());
}

// Reached with Tab, not with a click: typing is what selects custom.
void TestUserActions::customRoughnessReachedWithTab() {
    enterText(w().Text1, "1000");
    click(w().Text12);  // 木板, and the focus just before Text13
    QVERIFY(w().Option3[7]->isChecked());
    key(Qt::Key_Tab);
    QVERIFY(w().Text13->hasFocus());
    QVERIFY(w().Option3[7]->isChecked());
    COMPARE_SINGLE(w().state().roughness, 0.6f);

    key(Qt::Key_3);  // Tab selected the whole text
    QCOMPARE(w().Text13->text(), QString("3"));
    QVERIFY(w().Option3[8]->isChecked());
    COMPARE_SINGLE(w().state().roughness, 3.0f);
    QCOMPARE(w().Label13->text(), QString(" 3"));
    QCOMPARE(inconsistency(), QString());

    key(Qt::Key_Backtab);  // back to Text12: nothing changes
    QVERIFY(w().Text12->hasFocus());
    QVERIFY(w().Option3[8]->isChecked());
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::customOptionLoadsTheTypedRoughness() {
    pasteText(w().Text13, "4.5");
    clickButton(w().Option3[6]);
    COMPARE_SINGLE(w().state().roughness, 2.0f);
    clickButton(w().Option3[8]);
    COMPARE_SINGLE(w().state().roughness, 4.5f);
    QCOMPARE(w().Label13->text(), QString(" 4.5"));
    QCOMPARE(inconsistency(), QString());
}

// --- Everything together ------------------------------------------------------------

// An input method in Chinese mode commits full-width digits; every box reads
// them as the digits they are, with no warning.
void TestUserActions::fullWidthInput_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("shown");
    QTest::newRow("an air volume of １０００ is 1000 m3/h")
        << QStringList{"commit:Text1=１０００"} << "Label10"
        << " 1000 m3/h";
    QTest::newRow("an ideographic space between digits is a blank")
        << QStringList{"commit:Text1=１\u3000０００"} << "Label10"
        << " 1000 m3/h";
    QTest::newRow("a full-width point and exponent")
        << QStringList{"commit:Text1=１．５Ｅ３"} << "Label10"
        << " 1500 m3/h";
    QTest::newRow("a typed diameter of ２００")
        << QStringList{"click:Check1", "commit:Text2=２００"} << "Label6"
        << "φ 200";
    QTest::newRow("typed sides of ５００ and ３２０")
        << QStringList{"click:Option2", "click:Check1", "commit:Text3=５００",
                       "commit:Text4=３２０"}
        << "Label6"
        << " 500 * 320";
    QTest::newRow("a negative full-width side reads negative")
        << QStringList{"click:Option2", "click:Check1", "commit:Text3=－５００",
                       "commit:Text4=５００"}
        << "Label6"
        << "-500 * 500";
    QTest::newRow("the full-width ９ reads as 9") << QStringList{"commit:Text1=９"} << "Label10"
                                                  << " 9 m3/h";
    QTest::newRow("a custom roughness of ０．５")
        << QStringList{"commit:Text13=０．５"} << "Label13"
        << " 0.5";
}

void TestUserActions::fullWidthInput() {
    QFETCH(QStringList, steps);
    QFETCH(QString, label);
    QFETCH(QString, shown);
    performAll(steps);
    QCOMPARE(form_->findChild<QLabel*>(label)->text(), shown);
    for (ui::TextBox* box : {w().Text1, w().Text2, w().Text3, w().Text4, w().Text13})
        if (!box->text().contains("－")) QCOMPARE(box->warning(), QString());
    QCOMPARE(inconsistency(), QString());
}

// A text not read whole, or a negative air volume or size, shows a mark
// inside the box with the warning as its tool tip; the number used is the one
// the reading rules give, and the mark goes when the text reads whole again.
void TestUserActions::warningMark_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("label");  // a label that shows the number used
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("fixed");  // typed again: reads whole
    QTest::newRow("1,000 pasted from a spreadsheet reads 1 and says so")
        << QStringList{"paste:Text1=1,000"} << "Text1"
        << "只读取了 1，忽略了“,000”"
        << "Label10"
        << " 1 m3/h"
        << "1000";
    QTest::newRow("12abc typed as a diameter reads 12")
        << QStringList{"click:Check1", "type:Text2=12abc"} << "Text2"
        << "只读取了 12，忽略了“abc”"
        << "Label6"
        << "φ 12"
        << "12";
    QTest::newRow("letters as the air volume read 0") << QStringList{"type:Text1=abc"} << "Text1"
                                                      << "未读到数字，按 0 计算；忽略了“abc”"
                                                      << "Label10"
                                                      << " 0 m3/h"
                                                      << "0";
    QTest::newRow("a negative air volume") << QStringList{"type:Text1=-100"} << "Text1"
                                           << "风量为负数：-100"
                                           << "Label10"
                                           << "-100 m3/h"
                                           << "100";
    QTest::newRow("a negative side")
        << QStringList{"click:Option2", "click:Check1", "type:Text3=-300"} << "Text3"
        << "风管尺寸为负数：-300"
        << "Label6"
        << "-300 * 1000"
        << "300";
    QTest::newRow("a full-width comma ends the number as well")
        << QStringList{"commit:Text1=１，０００"} << "Text1"
        << "只读取了 1，忽略了“，０００”"
        << "Label10"
        << " 1 m3/h"
        << "１０００";
    QTest::newRow("5mm in the custom box reads 5") << QStringList{"type:Text13=5mm"} << "Text13"
                                                   << "只读取了 5，忽略了“mm”"
                                                   << "Label13"
                                                   << " 5"
                                                   << "5";
    QTest::newRow("25 while typing in the custom box says K is held at 10")
        << QStringList{"type:Text13=25"} << "Text13"
        << "粗糙度限于 0.01 至 10 mm，按 10 计算"
        << "Label13"
        << " 10"
        << "2.5";
    QTest::newRow("an air volume beyond the single range")
        << QStringList{"paste:Text1=1e40"} << "Text1"
        << "数值 1e40 超出可计算的范围"
        << "Label10" << ui::qs(calc::kFailMarker) << "1e4";
    QTest::newRow("a typed diameter beyond the single range")
        << QStringList{"click:Check1", "paste:Text2=1e40"} << "Text2"
        << "数值 1e40 超出可计算的范围"
        << "Label6" << ui::qs(calc::kFailMarker) << "200";
    QTest::newRow("a diameter of 0.5 is most likely metres")
        << QStringList{"click:Check1", "type:Text2=0.5"} << "Text2"
        << "尺寸以 mm 计；0.5 mm 是否应为 500 mm？"
        << "Label6"
        << "φ 0.5"
        << "500";
    QTest::newRow("two warnings on one box stand on separate lines")
        << QStringList{"click:Option2", "click:Check1", "type:Text3=-12abc"} << "Text3"
        << "只读取了 -12，忽略了“abc”\n风管尺寸为负数：-12"
        << "Label6"
        << "-12 * 1000"
        << "120";
    QTest::newRow("an air volume beyond the double range")
        << QStringList{"paste:Text1=1e400"} << "Text1"
        << "数值 1e400 超出可计算的范围"
        << "Label10" << ui::qs(calc::kFailMarker) << "1e4";
}

void TestUserActions::warningMark() {
    QFETCH(QStringList, steps);
    QFETCH(QString, box);
    QFETCH(QString, warning);
    QFETCH(QString, label);
    QFETCH(QString, shown);
    QFETCH(QString, fixed);
    auto* target = form_->findChild<ui::TextBox*>(box);
    QVERIFY(target);
    const QRect geometry = target->geometry();
    const QString toolTip = target->toolTip();
    performAll(steps);
    if (QTest::currentTestFailed()) return;

    QCOMPARE(target->warning(), warning);
    QVERIFY(target->warningAction());
    QVERIFY(target->actions().contains(target->warningAction()));
    QVERIFY(!target->warningAction()->icon().isNull());
    QCOMPARE(target->warningAction()->toolTip(), warning);
    QCOMPARE(target->toolTip(), warning);
    QCOMPARE(target->accessibleDescription(), warning);
    // What a screen reader is given for the box.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(target);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Description), warning);
    QCOMPARE(target->geometry(), geometry);  // inside the box: the layout stays
    // Hovering over the box shows the warning, line for line.
    {
        QToolTip::showText(target->mapToGlobal(QPoint(0, 0)), "(no tool tip)", target);
        const QPoint at = target->rect().center();
        QHelpEvent hover(QEvent::ToolTip, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &hover);
        QCOMPARE(QToolTip::text(), warning);
        QToolTip::hideText();
    }
    // The mark is drawn inside the box, at its right edge.
    const QList<QToolButton*> marks = target->findChildren<QToolButton*>();
    const auto shownMark =
        std::find_if(marks.begin(), marks.end(), [](QToolButton* b) { return b->isVisible(); });
    QVERIFY(shownMark != marks.end());
    QVERIFY(target->rect().contains((*shownMark)->geometry()));
    QVERIFY((*shownMark)->geometry().left() > target->width() / 2);
    QCOMPARE(form_->findChild<QLabel*>(label)->text(), shown);
    QCOMPARE(inconsistency(), QString());

    // Read whole again: the mark goes at once, the box's own tool tip is back.
    if (fixed.contains(QChar(0xFF10)) || fixed.contains(QChar(0xFF11)))
        commitText(target, fixed);
    else
        enterText(target, fixed);
    QCOMPARE(target->warning(), QString());
    QVERIFY(!target->warningAction());
    QCOMPARE(target->toolTip(), toolTip);
    QCOMPARE(target->accessibleDescription(), QString());
    QCOMPARE(inconsistency(), QString());
}

void TestUserActions::resultsNeverShowNanOrInf_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("marked");  // the labels that depend on the failed value
    const QString nonStandard = "click:Check1";
    const QStringList airVolume{"Label10", "Label7", "Label15", "Label11"};
    QTest::newRow("an air volume beyond the single range still shows roughness and size")
        << QStringList{"type:Text1=1e40"} << airVolume;
    QTest::newRow("an air volume beyond the double range still shows roughness and size")
        << QStringList{"paste:Text1=1e999"} << airVolume;
    QTest::newRow("a typed diameter beyond the double range still shows roughness and air volume")
        << QStringList{"type:Text1=1000", nonStandard, "paste:Text2=1e999"}
        << QStringList{"Label6", "Label17", "Label7", "Label15", "Label11"};
    QTest::newRow("typed sides whose equivalent diameter overflows still show the velocity")
        << QStringList{"type:Text1=1000", "click:Option2", nonStandard, "type:Text3=1e20",
                       "type:Text4=1e19"}
        << QStringList{"Label17", "Label15", "Label11"};
    QTest::newRow("a tiny air volume") << QStringList{"type:Text1=1e-40"} << QStringList{};
    QTest::newRow("a negative typed diameter with air flowing, formula one")
        << QStringList{nonStandard, "type:Text2=-200", "type:Text1=1000"} << QStringList{"Label11"};
    QTest::newRow("a negative typed diameter with air flowing, formula two")
        << QStringList{nonStandard, "type:Text2=-200", "type:Text1=1000", "click:Option5"}
        << QStringList{"Label11"};
    QTest::newRow("typed sides that cancel out ask for a size")
        << QStringList{"click:Option2", nonStandard, "type:Text3=500", "type:Text4=-500",
                       "type:Text1=1000"}
        << QStringList{};
    QTest::newRow("both typed sides zero ask for a size")
        << QStringList{"click:Option2", nonStandard, "type:Text3=0", "type:Text4=0",
                       "type:Text1=1000"}
        << QStringList{};
    QTest::newRow("one negative typed side asks for a size")
        << QStringList{"click:Option2", nonStandard, "type:Text3=-300", "type:Text4=100",
                       "type:Text1=1000"}
        << QStringList{};
    QTest::newRow("typed sides whose section overflows")
        << QStringList{"click:Option2", nonStandard, "type:Text3=1e30", "type:Text4=1e30"}
        << QStringList{"Label17", "Label7", "Label15", "Label11"};
    QTest::newRow("a typed diameter beyond the single range")
        << QStringList{nonStandard, "type:Text2=1e39"}
        << QStringList{"Label6", "Label17", "Label7", "Label15", "Label11"};
    QTest::newRow("a velocity beyond the single range in a 1 µm duct")
        << QStringList{nonStandard, "type:Text2=0.001", "type:Text1=1e30"}
        << QStringList{"Label7", "Label15", "Label11"};
}

// A recalculation that cannot complete marks only what depends on the value
// that failed; the window stays usable and the next ordinary input shows ordinary results.
void TestUserActions::resultsNeverShowNanOrInf() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, marked);
    for (const QString& step : steps) {
        perform(step);
        if (QTest::currentTestFailed()) return;
        QCOMPARE(inconsistency(), QString());
    }
    const QString marker = ui::qs(calc::kFailMarker);
    QStringList showsMarker;
    for (const char* name :
         {"Label13", "Label10", "Label6", "Label17", "Label7", "Label15", "Label11"})
        if (form_->findChild<QLabel*>(name)->text() == marker) showsMarker << name;
    QCOMPARE(showsMarker, marked);

    // Back to ordinary inputs, the way a user would fix them.
    if (w().Check1->value() != 0) clickButton(w().Check1);
    clickButton(w().Option1);
    clickButton(w().Option4);
    enterText(w().Text1, "1000");
    chooseEntry(w().Combo2, "200");
    QCOMPARE(w().Label6->text(), QString("φ 200"));
    QCOMPARE(w().Label10->text(), QString(" 1000 m3/h"));
    QVERIFY(w().Label7->text().endsWith(" m/s"));
    QVERIFY(std::fabs(w().state().specificLoss - 4.38) < 0.01);
    QCOMPARE(inconsistency(), QString());
}

// A long random session of a user who does everything, checked after every
// single action.
void TestUserActions::randomUserSession() {
    constexpr unsigned kSeed = 20261210;
    constexpr int kSteps = 6000;
    std::mt19937 random(kSeed);
    auto below = [&random](int n) {
        return static_cast<int>(std::uniform_int_distribution<int>(0, n - 1)(random));
    };
    std::deque<QString> history;
    auto note = [&history](const QString& action) {
        history.push_back(action);
        if (history.size() > 25) history.pop_front();
    };

    const std::array<ui::TextBox*, 13> boxes{
        w().Text1, w().Text2, w().Text3,  w().Text4,  w().Text5,  w().Text6, w().Text7,
        w().Text8, w().Text9, w().Text10, w().Text11, w().Text12, w().Text13};
    const std::array<ui::ComboBox*, 4> combos{w().Combo1, w().Combo2, w().Combo3, w().Combo4};
    const std::array<ui::HScrollBar*, 8> bars{w().HScroll1, w().HScroll2, w().HScroll3,
                                              w().HScroll4, w().HScroll5, w().HScroll6,
                                              w().HScroll7, w().HScroll8};
    std::vector<QAbstractButton*> buttons{w().Option1, w().Option2, w().Option4, w().Option5,
                                          w().Check1};
    for (ui::OptionButton* option : w().Option3) buttons.push_back(option);
    // Digits twice as likely as the rest: sessions need numbers to get anywhere.
    const QString typable = "01234567890123456789.-+eE a,";
    const QStringList pastes{"1e999", "-1e999", "1e40", "0.005", "12abc", "",  " 3 5 ",
                             "1e-3",  "250",    "-250", "7.25",  "1e5",   "0", "10.00001"};
    const std::array<std::pair<Qt::Key, Qt::KeyboardModifiers>, 14> keys{{
        {Qt::Key_Backspace, Qt::NoModifier},
        {Qt::Key_Delete, Qt::NoModifier},
        {Qt::Key_Left, Qt::NoModifier},
        {Qt::Key_Right, Qt::NoModifier},
        {Qt::Key_Up, Qt::NoModifier},
        {Qt::Key_Down, Qt::NoModifier},
        {Qt::Key_Home, Qt::NoModifier},
        {Qt::Key_End, Qt::NoModifier},
        {Qt::Key_Space, Qt::NoModifier},
        {Qt::Key_Tab, Qt::NoModifier},
        {Qt::Key_Backtab, Qt::ShiftModifier},
        {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_PageUp, Qt::NoModifier},
        {Qt::Key_PageDown, Qt::NoModifier},
    }};
    auto reachable = [](QWidget* widget) { return widget->isVisible() && widget->isEnabled(); };

    const QString prompt = QString::fromUtf8(calc::kSizePrompt.data());
    const QString marker = ui::qs(calc::kFailMarker);
    QSet<QString> seen;

    for (int step = 0; step < kSteps; ++step) {
        closeStrayPopup();
        switch (below(14)) {
            case 0:
            case 1: {  // click into a box, then type a few characters
                ui::TextBox* box = boxes[static_cast<std::size_t>(below(13))];
                if (!reachable(box)) break;
                const QPoint at(1 + below(std::max(1, box->width() - 2)), box->height() / 2);
                QString typed;
                for (int n = 1 + below(4); n > 0; --n) typed += typable.at(below(typable.size()));
                note(QString("click %1 at x=%2, type \"%3\"")
                         .arg(box->objectName())
                         .arg(at.x())
                         .arg(typed));
                QTest::mouseClick(box, Qt::LeftButton, {}, at);
                QTest::keyClicks(box, typed);
                break;
            }
            case 2: {  // a key for whatever has the focus
                const auto [k, modifiers] = keys[static_cast<std::size_t>(below(keys.size()))];
                QWidget* focus = QApplication::focusWidget();
                note(QString("key %1 into %2")
                         .arg(QKeySequence(QKeyCombination(modifiers, k)).toString(),
                              focus ? focus->objectName() : "nothing"));
                key(k, modifiers);
                break;
            }
            case 3: {  // select-all and delete, or select-all and paste
                QWidget* focus = QApplication::focusWidget();
                auto* box = qobject_cast<ui::TextBox*>(focus);
                if (!box) break;
                if (below(2) == 0) {
                    note("select-all, Delete in " + box->objectName());
                    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClick(box, Qt::Key_Delete);
                } else {
                    const QString text = pastes[below(pastes.size())];
                    note(QString("select-all, paste \"%1\" in %2").arg(text, box->objectName()));
                    QGuiApplication::clipboard()->setText(text);
                    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
                }
                break;
            }
            case 4:
            case 5: {  // an option button or the check box
                QAbstractButton* button =
                    buttons[static_cast<std::size_t>(below(static_cast<int>(buttons.size())))];
                note("click " + button->objectName());
                QTest::mouseClick(button, Qt::LeftButton, {}, indicatorCentre(button));
                break;
            }
            case 6: {  // an entry of a list
                ui::ComboBox* combo = combos[static_cast<std::size_t>(below(4))];
                if (!reachable(combo)) break;
                const QString entry = combo->itemText(below(combo->count()));
                note(QString("pick %1 in %2").arg(entry, combo->objectName()));
                chooseEntry(combo, entry);
                break;
            }
            case 7:
            case 8: {  // a scroll bar: an arrow, its thumb, or focus and a key
                ui::HScrollBar* bar = bars[static_cast<std::size_t>(below(8))];
                const int how = below(4);
                if (!bar->isEnabled()) {
                    note("click the disabled " + bar->objectName());
                    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, bar->height() / 2));
                } else if (how < 2) {
                    note(QString("click %1 arrow of %2")
                             .arg(how ? "right" : "left", bar->objectName()));
                    QTest::mouseClick(bar, Qt::LeftButton, {},
                                      uitest::scrollBarPart(*bar, how ? QStyle::SC_ScrollBarAddLine
                                                                      : QStyle::SC_ScrollBarSubLine)
                                          .center());
                } else {
                    const Qt::Key k = how == 2 ? Qt::Key_Right : Qt::Key_Left;
                    note(QString("click thumb of %1, key %2")
                             .arg(bar->objectName(), QKeySequence(k).toString()));
                    QTest::mouseClick(
                        bar, Qt::LeftButton, {},
                        uitest::scrollBarPart(*bar, QStyle::SC_ScrollBarSlider).center());
                    key(k);
                }
                break;
            }
            case 9: {  // click a box without typing
                ui::TextBox* box = boxes[static_cast<std::size_t>(4 + below(calc::kMaterialCount))];
                note("click " + box->objectName());
                QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
                break;
            }
            case 10: {  // type into whatever has the focus, reached any way
                QString typed;
                for (int n = 1 + below(3); n > 0; --n) typed += typable.at(below(typable.size()));
                QWidget* focus = QApplication::focusWidget();
                note(QString("type \"%1\" into %2")
                         .arg(typed, focus ? focus->objectName() : "nothing"));
                for (const QChar c : typed) {
                    QWidget* target = QApplication::focusWidget();
                    QTest::keyClick(target ? target : form_.get(), c.toLatin1());
                }
                break;
            }
            case 12: {  // the mouse wheel over a list or a bar
                std::vector<QWidget*> targets(combos.begin(), combos.end());
                targets.insert(targets.end(), bars.begin(), bars.end());
                QWidget* target =
                    targets[static_cast<std::size_t>(below(static_cast<int>(targets.size())))];
                if (!reachable(target)) break;
                const int delta = below(2) ? 120 : -120;
                note(QString("wheel %1 over %2").arg(delta).arg(target->objectName()));
                const QPointF centre = QRectF(target->rect()).center();
                QWheelEvent wheel(centre, target->mapToGlobal(centre), QPoint(), QPoint(0, delta),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(target, &wheel);
                break;
            }
            case 13: {  // edit the custom roughness: type, delete, paste, then maybe leave
                ui::TextBox* box = w().Text13;
                const int reach = below(3);
                if (reach == 0) {
                    note("click Text13");
                    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
                } else if (reach == 1) {
                    note("click Text12, Tab");
                    QTest::mouseClick(w().Text12, Qt::LeftButton, {}, w().Text12->rect().center());
                    key(Qt::Key_Tab);
                } else {
                    note("go on editing Text13");
                }
                if (!box->hasFocus()) break;
                for (int n = 1 + below(4); n > 0; --n) {
                    switch (below(4)) {
                        case 0: {
                            QString typed;
                            for (int m = 1 + below(3); m > 0; --m)
                                typed += typable.at(below(typable.size()));
                            note(QString("type \"%1\" into Text13").arg(typed));
                            QTest::keyClicks(box, typed);
                            break;
                        }
                        case 1: {
                            const bool back = below(2) == 0;
                            note(back ? "Backspace in Text13" : "Home, Delete in Text13");
                            if (!back) QTest::keyClick(box, Qt::Key_Home);
                            QTest::keyClick(box, back ? Qt::Key_Backspace : Qt::Key_Delete);
                            break;
                        }
                        case 2: {
                            const QString text = pastes[below(pastes.size())];
                            note(QString("select-all, paste \"%1\" in Text13").arg(text));
                            QGuiApplication::clipboard()->setText(text);
                            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
                            break;
                        }
                        default:
                            note("select-all, Delete in Text13");
                            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                            QTest::keyClick(box, Qt::Key_Delete);
                            break;
                    }
                    if (QTest::currentTestFailed() || !inconsistency().isEmpty()) break;
                }
                if (calc::customK(utf8(box->text())).replacement)
                    seen.insert("custom held while typing");
                if (QTest::currentTestFailed() || !inconsistency().isEmpty()) break;
                switch (below(5)) {
                    case 0:
                        note("Enter in Text13");
                        key(Qt::Key_Return);
                        break;
                    case 1:
                        note("Tab out of Text13");
                        key(Qt::Key_Tab);
                        break;
                    case 2:
                        note("click Text1");
                        QTest::mouseClick(w().Text1, Qt::LeftButton, {},
                                          w().Text1->rect().center());
                        break;
                    case 3: {
                        note("the window loses the focus and gets it back");
                        QWidget other;
                        other.show();
                        QApplication::setActiveWindow(&other);
                        QVERIFY(QTest::qWaitForWindowActive(&other));
                        other.hide();
                        QApplication::setActiveWindow(form_.get());
                        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
                        break;
                    }
                    default:
                        note("stay in Text13");
                        break;
                }
                break;
            }
            case 11: {  // move on with Tab or Shift+Tab
                const bool back = below(3) == 0;
                const int times = 1 + below(3);
                note(QString("%1 x%2").arg(back ? "Shift+Tab" : "Tab").arg(times));
                for (int n = 0; n < times; ++n)
                    back ? key(Qt::Key_Backtab, Qt::ShiftModifier) : key(Qt::Key_Tab);
                break;
            }
        }
        // What the session has been through, so that a session that stops
        // reaching the controls does not pass unnoticed.
        seen.insert(
            QString("shape %1, check %2").arg(w().Option2->isChecked()).arg(w().Check1->value()));
        for (int i = 0; i < calc::kMaterialCount; ++i)
            if (w().Option3[static_cast<std::size_t>(i)]->isChecked())
                seen.insert(QString("material %1").arg(i));
        seen.insert("unit " + w().Combo1->text());
        if (w().Option5->isChecked()) seen.insert("formula two");
        if (w().Label7->text() == prompt) seen.insert("size prompt");
        if (w().Label11->text() == marker) seen.insert("failed recalculation");
        if (w().Text13->text() == "0.01") seen.insert("custom at 0.01");
        if (w().Text13->text() == "10" && w().Option3[8]->isChecked()) seen.insert("custom at 10");
        if (w().state().flowRate > 0 && w().state().specificLoss > 0) seen.insert("air flowing");
        if (QTest::currentTestFailed() || !inconsistency().isEmpty()) {
            QStringList tail(history.begin(), history.end());
            QFAIL(qPrintable(QString("seed %1, step %2: %3\n  window: %4\n  last actions:\n    %5")
                                 .arg(kSeed)
                                 .arg(step)
                                 .arg(inconsistency(), describe(), tail.join("\n    "))));
        }
    }
    const QStringList expected{"shape 0, check 0", "shape 0, check 1", "shape 1, check 0",
                               "shape 1, check 1", "material 0",       "material 1",
                               "material 2",       "material 3",       "material 4",
                               "material 5",       "material 6",       "material 7",
                               "material 8",       "unit m3/h",        "unit CFM",
                               "formula two",      "size prompt",      "failed recalculation",
                               "custom at 0.01",   "custom at 10",     "custom held while typing",
                               "air flowing"};
    for (const QString& state : expected)
        QVERIFY2(seen.contains(state), qPrintable("the session never reached: " + state));
}

QTEST_MAIN(TestUserActions)
#include "tst_user_actions.moc"
