// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one user action in the window, from the event to the seven
// rewritten result labels. The handlers run inside the event, so the results
// are in place when the event returns; painting them is measured separately.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

#include "ui/appearance.h"
#include "ui/form1.h"

namespace {

// The window as the user first sees it.
struct Window {
    Form1 form;
    Window() {
        form.Form_Load();
        form.show();
        form.activateWindow();
        form.Text1->setFocus();
        QApplication::processEvents();
    }
};

// Results that the air volume feeds into; all seven labels are rewritten on
// every recalculation, these are the ones whose text visibly changes.
QString resultsOf(const Form1& form) {
    return form.Label7->text() + form.Label10->text() + form.Label15->text() + form.Label11->text();
}

// One keystroke (press and release) on the box the user types into.
void type(Form1& form, Qt::Key key, char text = 0) {
    if (text)
        QTest::keyClick(form.Text1, text);
    else
        QTest::keyClick(form.Text1, key);
}

bool typingChangesResults(Window& w, benchmark::State& st) {
    const QString before = w.form.Label10->text();
    type(w.form, Qt::Key_5, '5');
    const QString after = w.form.Label10->text();
    type(w.form, Qt::Key_Backspace);
    if (before == after || w.form.Label10->text() != before) {
        st.SkipWithError("typing into Text1 does not change Label10");
        return false;
    }
    return true;
}

// One keystroke that changes the text: a 5, then a Backspace, in turn.
void typeOrErase(Form1& form, bool& digit) {
    if (digit)
        type(form, Qt::Key_5, '5');
    else
        type(form, Qt::Key_Backspace);
    digit = !digit;
}

void BM_KeyPressText1(benchmark::State& st) {
    Window w;
    w.form.Text1->setText(QStringLiteral("1000"));
    w.form.Text1->end(false);
    if (!typingChangesResults(w, st)) return;
    bool digit = true;
    for (auto _ : st) {
        typeOrErase(w.form, digit);
        benchmark::DoNotOptimize(w.form.Label10);
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_KeyPressText1);

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Paints what the last change made dirty now, instead of at the next frame.
void paintPending() { QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); }

// The same keystroke, then the repaint of the box and the labels it changed.
void BM_KeyPressText1AndRepaint(benchmark::State& st) {
    Window w;
    w.form.Text1->setText(QStringLiteral("1000"));
    w.form.Text1->end(false);
    if (!typingChangesResults(w, st)) return;
    paintPending();
    const PaintCounter counter(w.form.Label10);
    type(w.form, Qt::Key_5, '5');
    paintPending();
    type(w.form, Qt::Key_Backspace);
    paintPending();
    if (counter.paints != 2) {
        st.SkipWithError("the new results were not painted at once");
        return;
    }
    bool digit = true;
    for (auto _ : st) {
        typeOrErase(w.form, digit);
        paintPending();
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_KeyPressText1AndRepaint);

// One arrow key on the brick roughness bar: a new K text, the material
// selected, the roughness reloaded and the results recalculated.
void BM_ScrollStepHScroll6(benchmark::State& st) {
    Window w;
    w.form.Text1->setText(QStringLiteral("1000"));
    // The first step also selects the material; compare from there on.
    QTest::keyClick(w.form.HScroll6, Qt::Key_Right);
    QTest::keyClick(w.form.HScroll6, Qt::Key_Left);
    const auto results = [&] { return w.form.Label13->text() + w.form.Label11->text(); };
    const QString before = results();
    QTest::keyClick(w.form.HScroll6, Qt::Key_Right);
    const QString after = results();
    QTest::keyClick(w.form.HScroll6, Qt::Key_Left);
    if (before == after || results() != before) {
        st.SkipWithError("a step of HScroll6 does not change the roughness and the loss");
        return;
    }
    bool right = true;
    for (auto _ : st) {
        QTest::keyClick(w.form.HScroll6, right ? Qt::Key_Right : Qt::Key_Left);
        right = !right;
        benchmark::DoNotOptimize(w.form.Label13);
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_ScrollStepHScroll6);

// Switching between the two friction formulas.
void BM_FormulaSwitch(benchmark::State& st) {
    Window w;
    w.form.Text1->setText(QStringLiteral("1000"));
    const QString before = resultsOf(w.form);
    w.form.Option5->setValue(-1);
    const QString after = resultsOf(w.form);
    w.form.Option4->setValue(-1);
    if (before == after) {
        st.SkipWithError("switching the formula does not change the results");
        return;
    }
    bool second = true;
    for (auto _ : st) {
        (second ? w.form.Option5 : w.form.Option4)->setValue(-1);
        second = !second;
        benchmark::DoNotOptimize(w.form.Label11);
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_FormulaSwitch);

}  // namespace

int main(int argc, char* argv[]) {
    // No display needed: the window lives on Qt's offscreen platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::applyAppearance();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
