// SPDX-License-Identifier: GPL-3.0-or-later
// 全部选择尺寸 and 平衡 in the grid: the preview, one undoable step, the marks.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "table/table_model.h"
#include "table/whole_sizing.h"

using table::RowTexts;
using table::TableModel;
using table::WholeSizingDialog;

namespace {

// Rows of segment, flow, size, length, zeta, dp.
std::vector<RowTexts> rowsOf(const std::vector<std::array<const char*, 6>>& rows) {
    std::vector<RowTexts> out;
    for (const auto& r : rows) {
        RowTexts t;
        t[table::cSegment] = r[0];
        t[table::cFlow] = r[1];
        t[table::cSize] = r[2];
        t[table::cLength] = r[3];
        t[table::cZeta] = r[4];
        t[table::cDp] = r[5];
        out.push_back(t);
    }
    return out;
}

// A fan's outlet 1-2, a 干管 2-4 250 high and three 支管 (the system
// layer's tests work its sizes by hand).
std::vector<RowTexts> building() {
    return rowsOf({{"1-2", "", "", "10", "0.5", ""},
                   {"2-3", "1000", "", "5", "1.0", "20"},
                   {"2-4", "", "*x250", "8", "0.3", ""},
                   {"4-5", "500", "", "4", "1.2", "20"},
                   {"4-6", "800", "", "6", "1.2", "20"}});
}

// A junction whose lighter branch 2-3 (φ400, 2.94 Pa) steps down to φ250
// within 6.5 m/s and still needs a damper of 100 Pa against 2-4.
std::vector<RowTexts> junction() {
    return rowsOf({{"1-2", "", "400", "", "", ""},
                   {"2-3", "1000", "400", "", "1", ""},
                   {"2-4", "1000", "250", "", "1", "100"}});
}

void choosePreset(WholeSizingDialog& dialog, const QString& slug) {
    auto* preset = dialog.findChild<QComboBox*>(QStringLiteral("preset"));
    preset->setCurrentIndex(preset->findData(slug));
}

QStringList column(const QTableWidget* list, int c) {
    QStringList texts;
    for (int r = 0; r < list->rowCount(); ++r) texts << list->item(r, c)->text();
    return texts;
}

}  // namespace

class WholeSizingTest : public QObject {
    Q_OBJECT

private slots:
    void previewShowsEveryChange_data() {
        QTest::addColumn<int>("method");
        // With a row the grid leaves out, joined to a node no one reaches:
        // the rest is sized as without it, and it is offered no size.
        QTest::addColumn<bool>("rowAtFault");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("the velocity method within the public preset's limits")
            << 0 << false << QStringList{"φ280", "φ250", "200*250", "φ180", "φ220"};
        // Sized with the document's formula, 公式二, as the grid then computes
        // them: 4-6's 800 m3/h has Rm 1.08 Pa/m in φ250 and 0.61 in φ280.
        QTest::newRow("the friction method at 1 Pa/m, within the same limits")
            << 1 << false << QStringList{"φ400", "φ280", "320*250", "φ220", "φ280"};
        QTest::newRow("the velocity method, with a row at fault")
            << 0 << true << QStringList{"φ280", "φ250", "200*250", "φ180", "φ220"};
    }
    void previewShowsEveryChange() {
        QFETCH(int, method);
        QFETCH(bool, rowAtFault);
        QFETCH(QStringList, after);
        std::vector<RowTexts> rows = building();
        if (rowAtFault) rows.push_back(rowsOf({{"8-9", "300", "", "3", "", ""}})[0]);
        TableModel model;
        model.resetRows(rows);
        QCOMPARE(model.rowFault(5).empty(), !rowAtFault);
        WholeSizingDialog dialog(model, WholeSizingDialog::Mode::size);
        choosePreset(dialog, QStringLiteral("public"));
        dialog.findChild<QComboBox*>(QStringLiteral("method"))->setCurrentIndex(method);
        const QTableWidget* list = dialog.list();
        QCOMPARE(column(list, 0), (QStringList{"1-2", "2-3", "2-4", "4-5", "4-6"}));
        QCOMPARE(column(list, 1), (QStringList{"", "", "*x250", "", ""}));
        QCOMPARE(column(list, 2), after);
        for (const QString& v : column(list, 3)) QVERIFY(!v.isEmpty());
        // Previewing changes nothing.
        QCOMPARE(model.rowTexts(0)[table::cSize], std::string());
    }

    void appliedAsOneStepAndUndone() {
        TableModel model;
        model.resetRows(building());
        WholeSizingDialog dialog(model, WholeSizingDialog::Mode::size);
        choosePreset(dialog, QStringLiteral("public"));
        model.setMarkedCells(table::previewCells(dialog.preview()), QStringLiteral("全部选择尺寸"));
        QCOMPARE(model.rowTexts(0)[table::cSize], std::string("φ280"));
        QCOMPARE(model.rowTexts(2)[table::cSize], std::string("200*250"));
        QVERIFY(model.result().complete());
        QVERIFY(model.marked(0, table::cSize));
        QVERIFY(!model.marked(0, table::cFlow));
        QVERIFY(model.data(model.index(2, table::cSize), Qt::BackgroundRole).isValid());

        model.undoStack()->undo();
        for (int r = 0; r < model.systemRows(); ++r)
            QCOMPARE(model.rowTexts(r)[table::cSize], building()[r][table::cSize]);
        QVERIFY(!model.marked(0, table::cSize));
        model.undoStack()->redo();
        QCOMPARE(model.rowTexts(4)[table::cSize], std::string("φ220"));

        // The marks stay until the next edit.
        QVERIFY(model.setData(model.index(0, table::cLength), QStringLiteral("12"), Qt::EditRole));
        QVERIFY(!model.marked(0, table::cSize));
    }

    void onlyEmptyRowsUnlessAll() {
        std::vector<RowTexts> rows = building();
        rows[1][table::cSize] = "500";
        TableModel model;
        model.resetRows(rows);
        WholeSizingDialog dialog(model, WholeSizingDialog::Mode::size);
        choosePreset(dialog, QStringLiteral("public"));
        QVERIFY(!column(dialog.list(), 0).contains("2-3"));
        dialog.findChild<QCheckBox*>(QStringLiteral("all"))->setChecked(true);
        QVERIFY(column(dialog.list(), 0).contains("2-3"));
    }

    void balanceResizesAndNamesTheDamperLeft() {
        TableModel model;
        model.resetRows(junction());
        WholeSizingDialog dialog(model, WholeSizingDialog::Mode::balance);
        choosePreset(dialog, QStringLiteral("public"));
        QCOMPARE(column(dialog.list(), 0), QStringList{"2-3"});
        QCOMPARE(column(dialog.list(), 2), QStringList{"φ250"});
        QCOMPARE(column(dialog.list(), 5), QStringList{"平衡"});
        const QString summary = dialog.findChild<QLabel*>(QStringLiteral("summary"))->text();
        QVERIFY2(summary.contains(QStringLiteral("2-3 加阀门 100 Pa")), qPrintable(summary));
        model.setMarkedCells(table::previewCells(dialog.preview()), QStringLiteral("平衡"));
        QCOMPARE(model.rowTexts(1)[table::cSize], std::string("φ250"));
        model.undoStack()->undo();
        QCOMPARE(model.rowTexts(1)[table::cSize], std::string("400"));
    }

    void unreadableTargetsPreviewNothing() {
        TableModel model;
        model.resetRows(building());
        WholeSizingDialog dialog(model, WholeSizingDialog::Mode::size);
        choosePreset(dialog, QString());
        dialog.findChild<QLineEdit*>(QStringLiteral("velocityMain"))
            ->setText(QStringLiteral("abc"));
        QCOMPARE(dialog.list()->rowCount(), 0);
        QVERIFY(dialog.preview().rows.empty());
    }
};

QTEST_MAIN(WholeSizingTest)
#include "tst_whole_sizing.moc"
