// SPDX-License-Identifier: GPL-3.0-or-later
// The window at the keyboard: Enter, Tab, typing over a cell, F2; the
// clipboard both ways (GB18030 too); the title while unsaved; a file saved
// and opened again; the side panel's junctions; the report as PDF.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "grid_view.h"
#include "side_panel.h"
#include "system_file.h"
#include "table_model.h"
#include "table_window.h"

using table::TableWindow;

namespace {

QString cell(const TableWindow& w, int row, int column) {
    return w.model()->data(w.model()->index(row, column), Qt::DisplayRole).toString();
}

// Keys as a user types them: each to whatever has the focus (the grid for
// the first, the cell's editor it opens for the rest).
void typeKeys(const QString& text) {
    for (const QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void typeInto(TableWindow& w, int row, int column, const QString& text) {
    w.grid()->setCurrentIndex(w.model()->index(row, column));
    typeKeys(text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // The editor hands its text over once the key's event is done.
    QCoreApplication::processEvents();
}

const char* kSystem =
    "segment,flow,size,length,zeta,dp\n"
    "F-A,,500x320,5,0.5,\n"
    "A-B,2500,400x250,8,0.3,\n"
    "A-C,2500,400x250,8,0.25+0.05,10\n"
    "F-G,1000,200,10,0.5,\n";

}  // namespace

class TableWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        window_ = std::make_unique<TableWindow>();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
        window_->grid()->setFocus();
    }
    void cleanup() {
        window_->model()->undoStack()->setClean();
        window_.reset();
    }
    void keysMoveAsInASpreadsheet_data();
    void keysMoveAsInASpreadsheet();
    void typingReplacesTheCell();
    void typingIntoTheEmptyRowAddsARow();
    void titleMarksUnsavedChanges();
    void pasteFromClipboard_data();
    void pasteFromClipboard();
    void copyToClipboard();
    void saveAndOpenAgain();
    void junctionClickSelectsBranch();
    void pdfHasPagesWithTheTable();
    void workbookReadsBackWithTheGridsFigures();

private:
    std::unique_ptr<TableWindow> window_;
};

void TableWindowTest::keysMoveAsInASpreadsheet_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("Enter moves down") << int(Qt::Key_Return) << false << 2 << 3;
    QTest::newRow("Tab moves right") << int(Qt::Key_Tab) << false << 1 << 4;
    QTest::newRow("Enter after typing commits and moves down")
        << int(Qt::Key_Return) << true << 2 << 3;
    QTest::newRow("Tab after typing commits and moves right") << int(Qt::Key_Tab) << true << 1 << 4;
}

void TableWindowTest::keysMoveAsInASpreadsheet() {
    QFETCH(int, key);
    QFETCH(bool, editing);
    QFETCH(int, row);
    QFETCH(int, column);
    window_->model()->resetRows(table::readSystemText(kSystem).rows);
    window_->grid()->setCurrentIndex(window_->model()->index(1, 3));
    if (editing) typeKeys(QStringLiteral("750"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCoreApplication::processEvents();
    QCOMPARE(window_->grid()->currentIndex().row(), row);
    QCOMPARE(window_->grid()->currentIndex().column(), column);
    QVERIFY(!window_->grid()->editing());
    QCOMPARE(cell(*window_, 1, 3), editing ? QStringLiteral("750") : QStringLiteral("2500"));
}

void TableWindowTest::typingReplacesTheCell() {
    window_->model()->resetRows(table::readSystemText(kSystem).rows);
    typeInto(*window_, 3, table::cFlow, QStringLiteral("2000"));
    QCOMPARE(cell(*window_, 3, table::cFlow), QStringLiteral("2000"));
    QCOMPARE(cell(*window_, 3, table::cVelocity), QStringLiteral("17.6839"));
    // F2 edits the text in place: typed characters are added to it.
    window_->grid()->setCurrentIndex(window_->model()->index(3, table::cLength));
    QTest::keyClick(window_->grid(), Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->end(false);
    QTest::keyClicks(editor, "0");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(cell(*window_, 3, table::cLength), QStringLiteral("100"));
    // Ctrl+Z takes both back.
    QTest::keyClick(window_->grid(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window_->grid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(cell(*window_, 3, table::cFlow), QStringLiteral("1000"));
    QCOMPARE(cell(*window_, 3, table::cLength), QStringLiteral("10"));
    QTest::keyClick(window_->grid(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(cell(*window_, 3, table::cFlow), QStringLiteral("2000"));
}

void TableWindowTest::typingIntoTheEmptyRowAddsARow() {
    // The row typed into stays where it is: the new empty row comes after it.
    typeInto(*window_, 0, table::cSegment, QStringLiteral("F-A"));
    QCOMPARE(window_->model()->systemRows(), 1);
    QCOMPARE(window_->grid()->currentIndex().row(), 1);
    window_->grid()->setCurrentIndex(window_->model()->index(1, table::cSegment));
    typeKeys(QStringLiteral("A-B"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(window_->grid()->currentIndex(), window_->model()->index(1, table::cFrom));
    QCOMPARE(cell(*window_, 1, table::cSegment), QStringLiteral("A-B"));
    // Saving while a cell is being typed in keeps what is typed.
    typeKeys(QStringLiteral("A"));
    QVERIFY(window_->grid()->editing());
    QTemporaryDir dir;
    QVERIFY(window_->saveFile(dir.filePath(QStringLiteral("s.csv")), true));
    QCOMPARE(cell(*window_, 1, table::cFrom), QStringLiteral("A"));
}

void TableWindowTest::titleMarksUnsavedChanges() {
    QVERIFY(window_->windowTitle().startsWith(QStringLiteral("未命名 - 风管水力计算表")));
    typeInto(*window_, 0, table::cSegment, QStringLiteral("1"));
    QVERIFY(window_->windowTitle().startsWith(QStringLiteral("未命名* - ")));
    window_->model()->undoStack()->undo();
    QVERIFY(window_->windowTitle().startsWith(QStringLiteral("未命名 - ")));
}

void TableWindowTest::pasteFromClipboard_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("UTF-8 from a spreadsheet")
        << QByteArray("\xe4\xb8\xbb\xe7\xae\xa1\t\t\t1000\tm3/h\t200\r\n");
    QTest::newRow("GB18030 from a Chinese Windows spreadsheet")
        << QByteArray("\xd6\xf7\xb9\xdc\t\t\t1000\tm3/h\t200\r\n");
}

void TableWindowTest::pasteFromClipboard() {
    QFETCH(QByteArray, bytes);
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("text/plain"), bytes);
    QApplication::clipboard()->setMimeData(mime);
    window_->grid()->setCurrentIndex(window_->model()->index(0, 0));
    window_->pasteClipboard();
    QCOMPARE(cell(*window_, 0, table::cSegment), QStringLiteral("主管"));
    QCOMPARE(cell(*window_, 0, table::cVelocity), QStringLiteral("8.841949"));
    QCOMPARE(window_->model()->systemRows(), 1);
}

void TableWindowTest::copyToClipboard() {
    window_->model()->resetRows(table::readSystemText(kSystem).rows);
    auto* grid = window_->grid();
    grid->setCurrentIndex(window_->model()->index(3, table::cVelocity));
    grid->selectionModel()->select(QItemSelection(window_->model()->index(3, table::cVelocity),
                                                  window_->model()->index(3, table::cRm)),
                                   QItemSelectionModel::ClearAndSelect);
    window_->copySelection();
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("8.841949\t117423\t0.01859947\t4.376865\n"));
}

void TableWindowTest::saveAndOpenAgain() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.csv"));
    window_->model()->resetRows(table::readSystemText(kSystem).rows);
    window_->model()->setData(window_->model()->index(3, table::cMaterial),
                              QStringLiteral("塑料板"), Qt::EditRole);
    QVERIFY(window_->saveFile(path, true));
    QVERIFY(window_->windowTitle().startsWith(QStringLiteral("run.csv - ")));
    TableWindow other;
    QVERIFY(other.openFile(path, true));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < table::kColumns; ++c) QCOMPARE(cell(other, r, c), cell(*window_, r, c));
    QVERIFY(!other.openFile(dir.filePath(QStringLiteral("missing.csv")), true));
}

void TableWindowTest::junctionClickSelectsBranch() {
    window_->model()->resetRows(table::readSystemText(kSystem).rows);
    QTreeWidget* tree = window_->sidePanel()->junctionTree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    // Junction A (10 / 31.41855 = 31.8 %) is over the 15 % limit, F is not.
    QTreeWidgetItem* f = tree->topLevelItem(0);
    QTreeWidgetItem* a = tree->topLevelItem(1);
    QCOMPARE(a->text(0), QStringLiteral("A"));
    QCOMPARE(a->text(1), QStringLiteral("31.82833 %"));
    QVERIFY(a->foreground(0).color() != f->foreground(0).color());
    // The branch F-A holds F-A, A-B and A-C.
    QTreeWidgetItem* fa = f->child(0);
    QCOMPARE(fa->text(0), QStringLiteral("F-A"));
    emit tree->itemClicked(fa, 0);
    QList<int> rows;
    for (const QModelIndex& i : window_->grid()->selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    QCOMPARE(rows, (QList<int>{0, 1, 2}));
    const QString fan = window_->sidePanel()->fanLabel()->text();
    QVERIFY2(fan.contains(QStringLiteral("风量：6000 m3/h")), qPrintable(fan));
    // The index run's total is the 累计 its last row shows.
    QVERIFY2(fan.contains(
                 QStringLiteral("最不利环路阻力：%1 Pa").arg(cell(*window_, 3, table::cPathTotal))),
             qPrintable(fan));
    QVERIFY2(fan.contains(QStringLiteral("风机压力：74.0309")), qPrintable(fan));
}

void TableWindowTest::pdfHasPagesWithTheTable() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    window_->model()->resetRows(table::readSystemText(kSystem).rows);
    QVERIFY(window_->exportPdf(path));
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QVERIFY(bytes.contains("/Type /Page"));
}

// The 计算书 the window exports, read back by openpyxl: its sheets, and the
// index run's total as a number cell equal to what the grid shows.
void TableWindowTest::workbookReadsBackWithTheGridsFigures() {
    // Debian's python3, which has python3-openpyxl, not one earlier on the path.
    const QString python3 = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo::exists(python3)) QSKIP("Debian's python3 is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("计算书.xlsx"));
    window_->model()->resetRows(table::readSystemText(kSystem).rows);
    QVERIFY(window_->exportWorkbook(path));
    const QString total = cell(*window_, 3, table::cPathTotal);
    QProcess python;
    python.start(python3, {QStringLiteral("-c"), QStringLiteral(R"(
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
print("|".join(book.sheetnames))
numbers = [c.value for row in book["水力计算表"].iter_rows() for c in row
           if isinstance(c.value, (int, float))]
print(any(abs(n - float(sys.argv[2])) <= 1e-6 * abs(n) for n in numbers))
)"),
                           path, total});
    QVERIFY(python.waitForFinished(60000));
    const QString out = QString::fromUtf8(python.readAllStandardOutput());
    if (python.exitCode() != 0 && python.readAllStandardError().contains("openpyxl"))
        QSKIP("python3-openpyxl is not installed");
    QCOMPARE(out, QStringLiteral("水力计算表|环路|说明|局部阻力明细\nTrue\n"));
}

QTEST_MAIN(TableWindowTest)
#include "tst_table_window.moc"
