// SPDX-License-Identifier: GPL-3.0-or-later
// The window at the keyboard: Enter, Tab, typing over a cell, F2; the
// clipboard both ways (GB18030 too); the title while unsaved; a file saved
// and opened again; the side panel's junctions; the report as PDF.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "system/air_state.h"
#include "table/grid_view.h"
#include "table/side_panel.h"
#include "table/system_file.h"
#include "table/table_model.h"
#include "table/table_window.h"

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

// The hand-worked system, from the fixture every test of it reads.
const char* const kSystem = DUCTCALC_TEST_DATA "/hand_worked.csv";

// The fixture's rows naming 公式一, the formula their figures were worked
// in (the grid's own default is 公式二).
std::vector<table::RowTexts> formulaOneRows() {
    std::vector<table::RowTexts> rows = table::readSystemFile(kSystem).rows;
    for (table::RowTexts& r : rows) r[table::cFormula].assign(1, '1');
    return rows;
}

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
    void insertedRowIsCurrent();
    void pasteIntoSelection_data();
    void pasteIntoSelection();
    void unclosedQuoteNamesItsLine();
    void savedFileReadsInTheCommandLine();
    void settingsAreEditsOfTheDocument();
    void focusMovesBetweenGridAndPanel_data();
    void focusMovesBetweenGridAndPanel();
    void exportsProposeTheDocumentsName();
    void figuresAreNeverCut();
    void identificationStaysInView();
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
    void workbookThatCannotBeWrittenSaysWhyInChinese();
    void airEntries_data();
    void airEntries();

private:
    std::unique_ptr<TableWindow> window_;
};

void TableWindowTest::keysMoveAsInASpreadsheet_data() {
    QTest::addColumn<int>("start");  // the column the cursor starts in, on row 1
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    const int flow = table::cFlow, last = table::cFormula;
    QTest::newRow("Enter moves down") << flow << int(Qt::Key_Return) << false << 2 << 3;
    QTest::newRow("Tab moves right") << flow << int(Qt::Key_Tab) << false << 1 << 4;
    QTest::newRow("Enter after typing commits and moves down")
        << flow << int(Qt::Key_Return) << true << 2 << 3;
    QTest::newRow("Tab after typing commits and moves right")
        << flow << int(Qt::Key_Tab) << true << 1 << 4;
    QTest::newRow("Tab on the last input skips the results to the next row")
        << last << int(Qt::Key_Tab) << false << 2 << 0;
    QTest::newRow("Tab after typing in the last input goes to the next row")
        << last << int(Qt::Key_Tab) << true << 2 << 0;
    QTest::newRow("Enter on the last input goes to the next row's first column")
        << last << int(Qt::Key_Return) << false << 2 << 0;
    QTest::newRow("Enter after typing in the last input does the same")
        << last << int(Qt::Key_Return) << true << 2 << 0;
    QTest::newRow("Shift+Tab on the first column goes to the row above's last input")
        << int(table::cSegment) << int(Qt::Key_Backtab) << false << 0 << last;
}

void TableWindowTest::keysMoveAsInASpreadsheet() {
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(bool, editing);
    QFETCH(int, row);
    QFETCH(int, column);
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    window_->grid()->setCurrentIndex(window_->model()->index(1, start));
    const QString before = cell(*window_, 1, start);
    if (editing) typeKeys(QStringLiteral("2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCoreApplication::processEvents();
    QCOMPARE(window_->grid()->currentIndex().row(), row);
    QCOMPARE(window_->grid()->currentIndex().column(), column);
    QVERIFY(!window_->grid()->editing());
    QCOMPARE(cell(*window_, 1, start), editing ? QStringLiteral("2") : before);
}

void TableWindowTest::insertedRowIsCurrent() {
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    window_->grid()->setCurrentIndex(window_->model()->index(1, table::cFlow));
    QTest::keyClick(window_->grid(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(window_->model()->systemRows(), 5);
    QCOMPARE(window_->grid()->currentIndex().row(), 1);
    QCOMPARE(cell(*window_, 1, table::cSegment), QString());
    // The next Ctrl+Delete takes the new empty row, not A-B under it.
    QTest::keyClick(window_->grid(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(window_->model()->systemRows(), 4);
    QCOMPARE(cell(*window_, 1, table::cSegment), QStringLiteral("A-B"));
}

void TableWindowTest::pasteIntoSelection_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QStringList>("lengths");  // of the four rows, after
    QTest::addColumn<int>("rows");
    QTest::newRow("one value onto a selected range fills it")
        << "12" << QStringList{"5", "12", "12", "12"} << 4;
    QTest::newRow("a block starts at the current cell")
        << "12\n13" << QStringList{"5", "12", "13", "10"} << 4;
    QTest::newRow("rows with their header go to their columns, from the first")
        << "风量(m3/h);段号;尺寸;长度\n100;G-H;200;7\n"
        << QStringList{"5", "7", "8", "10"} << 4;
}

void TableWindowTest::pasteIntoSelection() {
    QFETCH(QString, pasted);
    QFETCH(QStringList, lengths);
    QFETCH(int, rows);
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    auto* grid = window_->grid();
    grid->setCurrentIndex(window_->model()->index(1, table::cLength));
    grid->selectionModel()->select(QItemSelection(window_->model()->index(1, table::cLength),
                                                  window_->model()->index(3, table::cLength)),
                                   QItemSelectionModel::ClearAndSelect);
    window_->pasteText(pasted);
    QCOMPARE(window_->model()->systemRows(), rows);
    QStringList got;
    for (int r = 0; r < 4; ++r) got << cell(*window_, r, table::cLength);
    QCOMPARE(got, lengths);
    QCOMPARE(window_->model()->undoStack()->count(), 1);
}

void TableWindowTest::unclosedQuoteNamesItsLine() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quote.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("segment,flow,size\nF-A,100,200\n\"G-H,100,200\nH-I,100,200\nI-J,100,200\n");
    file.close();
    const table::LoadedSystem loaded = table::readSystemFile(path.toStdString());
    QCOMPARE(QString::fromStdString(loaded.error),
             QStringLiteral("第 3 行不是 CSV：引号位置不对或未闭合"));
    QVERIFY(!window_->openFile(path, true));
    // Pasted, the same block is refused with the same line.
    window_->pasteText(QString::fromUtf8(QFile::encodeName(QString())) +
                       QStringLiteral("segment,flow,size\nF-A,100,200\n\"G-H,100,200\n"));
    QCOMPARE(window_->model()->systemRows(), 0);
}

void TableWindowTest::savedFileReadsInTheCommandLine() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sys1.csv"));
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    // A kept column and a blank row between the segments, as a designer
    // leaves them.
    window_->model()->insertBlankRows(2, 1);
    QVERIFY(window_->saveFile(path, true));
    QProcess cli;
    cli.start(QStringLiteral(DUCTCALC_CLI),
              {QStringLiteral("system"), QStringLiteral("--format"), QStringLiteral("csv"), path});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    QStringList lines =
        QString::fromUtf8(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    const QStringList header = lines.takeFirst().split(',');
    QCOMPARE(lines.size(), 4);
    const struct {
        const char* name;
        int column;
    } figures[] = {
        {"flow", table::cFlowInUse},         {"equivalent_diameter", table::cEqDiameter},
        {"velocity", table::cVelocity},      {"reynolds", table::cReynolds},
        {"lambda", table::cLambda},          {"rm", table::cRm},
        {"friction_loss", table::cFriction}, {"velocity_pressure", table::cVelocityPressure},
        {"local_loss", table::cLocal},       {"total", table::cTotal},
        {"path_total", table::cPathTotal}};
    int gridRow = 0;
    for (const QString& line : lines) {
        if (window_->model()->segmentOfRow(gridRow) == ductsys::kNone) ++gridRow;
        const QStringList fields = line.split(',');
        for (const auto& f : figures) {
            const int at = int(header.indexOf(QString::fromLatin1(f.name)));
            QVERIFY2(at >= 0, f.name);
            QVERIFY2(cell(*window_, gridRow, f.column) == fields[at],
                     qPrintable(QStringLiteral("row %1 %2: %3 / %4")
                                    .arg(gridRow)
                                    .arg(f.name, cell(*window_, gridRow, f.column), fields[at])));
        }
        ++gridRow;
    }
}

void TableWindowTest::settingsAreEditsOfTheDocument() {
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    auto* temperature = window_->sidePanel()->findChild<QLineEdit*>(QStringLiteral("temperature"));
    QVERIFY(temperature);
    const QString before = cell(*window_, 3, table::cReynolds);
    temperature->setFocus();
    temperature->setText(QStringLiteral("40"));
    QTest::keyClick(temperature, Qt::Key_Return);
    QVERIFY(cell(*window_, 3, table::cReynolds) != before);
    QVERIFY(window_->windowTitle().startsWith(QStringLiteral("未命名* - ")));
    window_->model()->undoStack()->undo();
    QCOMPARE(cell(*window_, 3, table::cReynolds), before);
    QCOMPARE(temperature->text(), QString());
}

void TableWindowTest::focusMovesBetweenGridAndPanel_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("F6") << int(Qt::Key_F6) << int(Qt::NoModifier);
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier);
}

void TableWindowTest::focusMovesBetweenGridAndPanel() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QVERIFY(window_->grid()->hasFocus());
    QTest::keyClick(window_->grid(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(window_->sidePanel()->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(window_->grid()->hasFocus());
}

void TableWindowTest::exportsProposeTheDocumentsName() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sys1.csv"));
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    QCOMPARE(window_->proposedName(QStringLiteral("xlsx")), QStringLiteral("未命名.xlsx"));
    QVERIFY(window_->saveFile(path, true));
    QCOMPARE(window_->proposedName(QStringLiteral("xlsx")),
             dir.filePath(QStringLiteral("sys1.xlsx")));
    QCOMPARE(window_->proposedName(QStringLiteral("pdf")),
             dir.filePath(QStringLiteral("sys1.pdf")));
}

void TableWindowTest::figuresAreNeverCut() {
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    // A Reynolds number with an exponent, as a large flow gives.
    window_->model()->setData(window_->model()->index(3, table::cFlow), QStringLiteral("3e7"),
                              Qt::EditRole);
    auto* grid = window_->grid();
    const QFontMetrics metrics(grid->font());
    for (int c = 0; c < table::kColumns; ++c) {
        const QString caption =
            window_->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        for (const QString& line : caption.split('\n'))
            QVERIFY2(metrics.horizontalAdvance(line) < grid->columnWidth(c), qPrintable(line));
        for (int r = 0; r < 4; ++r)
            QVERIFY2((table::isInput(c) && c != table::cSize) ||
                         metrics.horizontalAdvance(cell(*window_, r, c)) < grid->columnWidth(c),
                     qPrintable(cell(*window_, r, c)));
    }
    QCOMPARE(grid->textElideMode(), Qt::ElideNone);
    QVERIFY(!grid->accessibleName().isEmpty());
}

void TableWindowTest::identificationStaysInView() {
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    auto* grid = window_->grid();
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    QCoreApplication::processEvents();
    QTableView* frozen = grid->frozenView();
    QVERIFY(frozen->isVisible());
    for (int c = 0; c < table::kColumns; ++c) QCOMPARE(frozen->isColumnHidden(c), c > table::cTo);
    // The frozen columns cover exactly 段号, 起点 and 终点, over the grid.
    QCOMPARE(frozen->width(), grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2));
}

void TableWindowTest::typingReplacesTheCell() {
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
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
    window_->model()->resetRows(formulaOneRows());
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
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
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
    window_->model()->resetRows(formulaOneRows());
    QTreeView* tree = window_->sidePanel()->junctionTree();
    const QAbstractItemModel* junctions = tree->model();
    QCOMPARE(junctions->rowCount(), 2);
    // Junction A (10 / 31.41855 = 31.8 %) is over the 15 % limit, F is not.
    const QModelIndex f = junctions->index(0, 0);
    const QModelIndex a = junctions->index(1, 0);
    QCOMPARE(a.data().toString(), QStringLiteral("A"));
    QCOMPARE(junctions->index(1, 1).data().toString(), QStringLiteral("31.82833 %"));
    QVERIFY(a.data(Qt::ForegroundRole) != f.data(Qt::ForegroundRole));
    // The branch F-A holds F-A, A-B and A-C.
    const QModelIndex fa = junctions->index(0, 0, f);
    QCOMPARE(fa.data().toString(), QStringLiteral("F-A"));
    emit tree->clicked(fa);
    QList<int> rows;
    for (const QModelIndex& i : window_->grid()->selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    QCOMPARE(rows, (QList<int>{0, 1, 2}));
    // The junctions' model holds through a figure's edit and a branch's removal.
    QAbstractItemModelTester tester(tree->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    window_->model()->setData(window_->model()->index(1, table::cLength), QStringLiteral("9"),
                              Qt::EditRole);
    window_->model()->removeSystemRows(3, 1);
    QCOMPARE(junctions->rowCount(), 1);
    window_->model()->undoStack()->undo();
    window_->model()->undoStack()->undo();
    QCOMPARE(junctions->rowCount(), 2);
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
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    QVERIFY(window_->exportPdf(path));
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QVERIFY(bytes.contains("/Type /Page"));
}

// A workbook in a folder that is not there: nothing is written, and the
// reason is the window's language.
void TableWindowTest::workbookThatCannotBeWrittenSaysWhyInChinese() {
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    const QString path = QStringLiteral("/nonexistent/计算书.xlsx");
    QVERIFY(!window_->exportWorkbook(path));
    QCOMPARE(
        window_->workbookProblem(),
        QStringLiteral("无法创建工作簿文件，文件夹不存在或没有写入权限（Error creating output xlsx "
                       "file. Usually a permissions error.）"));
    QVERIFY(!QFileInfo::exists(path));
}

// The 计算书 the window exports, read back by openpyxl: its sheets, and the
// index run's total (a live sum, its value cached) equal to what the grid
// shows.
void TableWindowTest::workbookReadsBackWithTheGridsFigures() {
    // Debian's python3, which has python3-openpyxl, not one earlier on the path.
    const QString python3 = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo::exists(python3)) QSKIP("Debian's python3 is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("计算书.xlsx"));
    window_->model()->resetRows(table::readSystemFile(kSystem).rows);
    QVERIFY(window_->exportWorkbook(path));
    const QString total = cell(*window_, 3, table::cPathTotal);
    QProcess python;
    python.start(python3, {QStringLiteral("-c"), QStringLiteral(R"(
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1], data_only=True)
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

void TableWindowTest::airEntries_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("then");
    QTest::addColumn<double>("temperature");
    QTest::addColumn<double>("altitude");
    QTest::addColumn<bool>("given");
    QTest::addColumn<bool>("named");
    QTest::newRow("an unreadable temperature is named, and figures and report agree")
        << "temperature"
        << "40"
        << "abc" << 20.0 << 0.0 << false << true;
    QTest::newRow("an unreadable altitude is named, not taken silently as sea level")
        << "altitude"
        << "1500"
        << "abc" << 20.0 << 0.0 << false << true;
    QTest::newRow("a readable entry after an unreadable one")
        << "temperature"
        << "abc"
        << "30" << 30.0 << 0.0 << true << false;
    QTest::newRow("an altitude alone is at 20 degrees")
        << "altitude"
        << ""
        << "1500" << 20.0 << 1500.0 << true << false;
    QTest::newRow("emptied boxes give the window's air") << "temperature"
                                                         << "40"
                                                         << "" << 20.0 << 0.0 << false << false;
}

void TableWindowTest::airEntries() {
    QFETCH(QString, box);
    QFETCH(QString, first);
    QFETCH(QString, then);
    QFETCH(double, temperature);
    QFETCH(double, altitude);
    QFETCH(bool, given);
    QFETCH(bool, named);
    auto* panel = window_->findChild<table::SidePanel*>();
    QVERIFY(panel);
    auto* edit = panel->findChild<QLineEdit*>(box);
    QVERIFY(edit);
    for (const QString& text : {first, then}) {
        edit->setText(text);
        emit edit->editingFinished();
    }
    ductsys::ReportInfo info;
    panel->describeAir(info);
    const double pressure = *ductsys::pressureAtAltitude(altitude);
    QCOMPARE(info.temperature, temperature);
    QCOMPARE(info.pressure, pressure);
    QCOMPARE(info.airGiven, given);
    // The figures are computed with the air the report names.
    const calc::AirState air = given ? *ductsys::airAt(temperature, pressure) : calc::AirState{};
    QCOMPARE(window_->model()->options().air.density, air.density);
    QCOMPARE(info.air.density, air.density);
    QCOMPARE(window_->model()->settingsProblem().contains(QStringLiteral("无法读取")), named);
}

QTEST_MAIN(TableWindowTest)
#include "tst_table_window.moc"
