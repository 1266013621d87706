// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's fittings editor and its ζ cells: Ctrl+L and the button open
// it on the current row; the fitting's ζ, source and the total follow the
// typing; accepting writes the term text as one undoable step; the grid
// shows the Σζ the fittings come to beside the cell.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "table/fittings_dialog.h"
#include "table/grid_view.h"
#include "table/table_model.h"
#include "table/table_window.h"

using table::FittingsDialog;
using table::RowTexts;
using table::TableModel;
using table::TableWindow;

namespace {

// The hand-worked system of the system tests: F-A 500x320 carries 5000
// m3/h to A, where A-B and A-C (400x250) take 2500 each.
std::vector<RowTexts> rows(const char* zetaOfAB) {
    auto row = [](const char* name, const char* flow, const char* size, const char* zeta) {
        RowTexts t;
        t[table::cSegment] = name;
        t[table::cFlow] = flow;
        t[table::cSize] = size;
        t[table::cLength] = "8";
        t[table::cZeta] = zeta;
        return t;
    };
    return {row("F-A", "", "500x320", "0.5"), row("A-B", "2500", "400x250", zetaOfAB),
            row("A-C", "2500", "400x250", "0.3")};
}

int fittingRow(const QListWidget* list, const QString& id) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().endsWith(QStringLiteral("  ") + id)) return i;
    return -1;
}

}  // namespace

class FittingsEditorTest : public QObject {
    Q_OBJECT

private slots:
    void cellShowsTheSumBesideItsText_data();
    void cellShowsTheSumBesideItsText();
    void editorComputesAsTheUserTypes_data();
    void editorComputesAsTheUserTypes();
    void acceptingWritesTheTermsAsOneUndoStep_data();
    void acceptingWritesTheTermsAsOneUndoStep();
};

void FittingsEditorTest::cellShowsTheSumBesideItsText_data() {
    QTest::addColumn<QString>("zeta");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("tip");
    QTest::newRow("numbers alone show as typed") << "0.3+0.25"
                                                 << "0.3+0.25"
                                                 << "";
    // 2 × 0.21/√1.5 = 0.3429286 on A-B's own velocity.
    QTest::newRow("a bend shows its sum and names its source") << "弯头(90,1.5)*2"
                                                               << "弯头(90,1.5)*2  ⇒ Σζ 0.3429286"
                                                               << "Idelchik";
    // The side branch's 1.148 on the combined flow, × (8.680555/6.944444)².
    QTest::newRow("a tee takes its ratios from the junction") << "分流三通支管"
                                                              << "分流三通支管  ⇒ Σζ 1.79375"
                                                              << "table 7-4";
    QTest::newRow("an unknown fitting shows no sum, and says why") << "bnd(90)"
                                                                   << "bnd(90)"
                                                                   << "最接近的是“bend”";
}

void FittingsEditorTest::cellShowsTheSumBesideItsText() {
    QFETCH(QString, zeta);
    QFETCH(QString, shown);
    QFETCH(QString, tip);
    TableModel model;
    model.resetRows(rows(zeta.toUtf8().constData()));
    const QModelIndex cell = model.index(1, table::cZeta);
    QCOMPARE(model.data(cell, Qt::DisplayRole).toString(), shown);
    QCOMPARE(model.data(cell, Qt::EditRole).toString(), zeta);
    const QString tooltip = model.data(cell, Qt::ToolTipRole).toString();
    if (tip.isEmpty())
        QVERIFY(tooltip.isEmpty());
    else
        QVERIFY2(tooltip.contains(tip), qPrintable(tooltip));
}

void FittingsEditorTest::editorComputesAsTheUserTypes_data() {
    QTest::addColumn<QString>("fitting");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("current");
    QTest::newRow("a bend on the segment's velocity") << "bend"
                                                      << "r/D"
                                                      << "1.5"
                                                      << "ζ = 0.1714643（本段速度）";
    QTest::newRow("a bend too tight is marked with its range")
        << "bend"
        << "r/D"
        << "0.3"
        << "r/D 为 0.3，超出适用范围（0.5–3）";
    QTest::newRow("a tee's ζ on the combined flow, put on the segment's")
        << "tee-split-side"
        << "angle"
        << "90"
        << "ζ = 1.148（总管速度）；本段ζ = 1.79375";
    QTest::newRow("a bad argument is refused") << "grille"
                                               << "open"
                                               << "0"
                                               << "无法计算";
}

void FittingsEditorTest::editorComputesAsTheUserTypes() {
    QFETCH(QString, fitting);
    QFETCH(QString, parameter);
    QFETCH(QString, value);
    QFETCH(QString, current);
    TableModel model;
    model.resetRows(rows(""));
    FittingsDialog dialog(model, 1);
    dialog.fittings()->setCurrentRow(fittingRow(dialog.fittings(), fitting));
    QLineEdit* box = dialog.parameter(parameter);
    QVERIFY(box);
    QTest::keyClicks(box, value);
    QVERIFY2(dialog.current()->text().contains(current), qPrintable(dialog.current()->text()));
    QVERIFY2(dialog.current()->text().contains(QStringLiteral("出处")) ||
                 current.startsWith(QStringLiteral("无法")),
             qPrintable(dialog.current()->text()));
}

void FittingsEditorTest::acceptingWritesTheTermsAsOneUndoStep_data() {
    QTest::addColumn<bool>("byButton");
    QTest::newRow("opened with Ctrl+L") << false;
    QTest::newRow("opened with the button") << true;
}

void FittingsEditorTest::acceptingWritesTheTermsAsOneUndoStep() {
    QFETCH(bool, byButton);
    TableWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.model()->resetRows(rows("0.1"));
    window.grid()->setCurrentIndex(window.model()->index(1, table::cZeta));
    window.grid()->setFocus();

    QString total;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<FittingsDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        dialog->fittings()->setCurrentRow(fittingRow(dialog->fittings(), QStringLiteral("bend")));
        QTest::keyClicks(dialog->parameter(QStringLiteral("r/D")), QStringLiteral("1.5"));
        dialog->addTerm();
        total = dialog->total()->text();
        dialog->accept();
    });
    if (byButton)
        window.findChild<QPushButton*>(QStringLiteral("fittingsButton"))->click();
    else
        QTest::keyClick(window.grid(), Qt::Key_L, Qt::ControlModifier);
    QVERIFY(seen);
    // 0.1 + 0.21/√1.5 on A-B.
    QCOMPARE(total, QStringLiteral("Σζ = 0.2714643"));
    const QModelIndex cell = window.model()->index(1, table::cZeta);
    QCOMPARE(window.model()->data(cell, Qt::EditRole).toString(),
             QStringLiteral("0.1 + bend(r/D=1.5)"));
    QCOMPARE(window.model()->undoStack()->count(), 1);
    window.model()->undoStack()->undo();
    QCOMPARE(window.model()->data(cell, Qt::EditRole).toString(), QStringLiteral("0.1"));
    window.model()->undoStack()->setClean();
}

QTEST_MAIN(FittingsEditorTest)
#include "tst_fittings_editor.moc"
