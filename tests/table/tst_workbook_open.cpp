// SPDX-License-Identifier: GPL-3.0-or-later
// The table window opening an xlsx workbook: its sheet read as a CSV file
// is, the workbook never written over (Save proposes a CSV file beside it),
// and files of other kinds refused in words.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "table/columns.h"
#include "table/system_file.h"
#include "table/table_model.h"
#include "table/table_window.h"

using table::TableWindow;

namespace {

const char* const kSystem = DUCTCALC_TEST_DATA "/hand_worked.csv";

QString cell(const TableWindow& w, int row, int column) {
    return w.model()->data(w.model()->index(row, column), Qt::DisplayRole).toString();
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class WorkbookOpenTest : public QObject {
    Q_OBJECT

private slots:
    void aWorkbookOpensAndIsSavedBesideItAsCsv();
    void filesOfOtherKindsAreRefusedInWords_data();
    void filesOfOtherKindsAreRefusedInWords();
};

void WorkbookOpenTest::aWorkbookOpensAndIsSavedBesideItAsCsv() {
    QTemporaryDir dir;
    const QString workbook = dir.filePath(QStringLiteral("sys1.xlsx"));
    QProcess cli;
    cli.start(QStringLiteral(DUCTCALC_CLI),
              {QStringLiteral("system"), QString::fromUtf8(kSystem), QStringLiteral("--format"),
               QStringLiteral("xlsx"), QStringLiteral("-o"), workbook});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray written = contents(workbook);

    TableWindow fromCsv, fromWorkbook;
    QVERIFY(fromCsv.openFile(QString::fromUtf8(kSystem), true));
    QVERIFY(fromWorkbook.openFile(workbook, true));
    QCOMPARE(fromWorkbook.model()->systemRows(), fromCsv.model()->systemRows());
    for (int r = 0; r < fromCsv.model()->systemRows(); ++r)
        for (int c = table::kInputColumns; c < table::kColumns; ++c)
            QCOMPARE(cell(fromWorkbook, r, c), cell(fromCsv, r, c));

    // Save asks where, proposing a CSV file beside the workbook.
    QCOMPARE(fromWorkbook.filePath(), workbook);
    QVERIFY(fromWorkbook.savePath().isEmpty());
    const QString csv = fromWorkbook.proposedName(QStringLiteral("csv"));
    QCOMPARE(csv, dir.filePath(QStringLiteral("sys1.csv")));
    QVERIFY(fromWorkbook.saveFile(csv, true));
    QCOMPARE(fromWorkbook.savePath(), csv);
    QCOMPARE(contents(workbook), written);
    // The CSV file holds the same rows.
    TableWindow again;
    QVERIFY(again.openFile(csv, true));
    for (int r = 0; r < fromCsv.model()->systemRows(); ++r)
        for (int c = table::kInputColumns; c < table::kColumns; ++c)
            QCOMPARE(cell(again, r, c), cell(fromCsv, r, c));
}

void WorkbookOpenTest::filesOfOtherKindsAreRefusedInWords_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says");
    QTest::newRow("an old Excel workbook is named")
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0')
        << QStringLiteral("Excel 97-2003 工作簿（.xls）");
    QTest::newRow("a cut-off workbook is damaged")
        << QByteArray("PK\x03\x04\x14\x00\x00\x00\x08\x00", 10) << QStringLiteral("工作簿已损坏");
}

void WorkbookOpenTest::filesOfOtherKindsAreRefusedInWords() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.xlsx"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const table::LoadedSystem loaded = table::readSystemFile(path.toStdString());
    QVERIFY2(QString::fromStdString(loaded.error).contains(says), loaded.error.c_str());
    TableWindow window;
    QVERIFY(!window.openFile(path, true));
}

QTEST_MAIN(WorkbookOpenTest)
#include "tst_workbook_open.moc"
