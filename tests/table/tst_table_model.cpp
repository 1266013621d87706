// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's model: edits recompute the system, the calculator's reading
// marks, the index run, undo and redo of every step, blocks in and out, the
// system's file.
#include <QTemporaryDir>
#include <QTest>

#include <iconv.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTreeView>

#include "messages/catalogue.h"
#include "system/paste_block.h"
#include "system/presets.h"
#include "system/report.h"
#include "table/report.h"
#include "table/side_panel.h"
#include "table/size_choice.h"
#include "table/system_file.h"
#include "table/table_model.h"

using table::RowTexts;
using table::TableModel;
using table::TextBlock;

namespace {

// The system of tests/system/test_system.cpp, fan at F, from the fixture
// every test of it reads: the figures below are the calculator's (README)
// and the system layer's hand-worked ones.
//   F-A Σ 500x320 5 m ζ 0.5;  A-B 2500 400x250 8 m ζ 0.3;
//   A-C 2500 400×250 8 m ζ 0.25+0.05 dp 10;  F-G 1000 φ200 10 m ζ 0.5
// The rows as the file has them, naming no formula: the document's formula.
std::vector<RowTexts> handWorkedAsWritten() {
    const table::LoadedSystem loaded = table::readSystemFile(DUCTCALC_TEST_DATA "/hand_worked.csv");
    if (!loaded.error.empty() || loaded.rows.size() != 4) qFatal("the fixture cannot be read");
    return loaded.rows;
}
// The figures are the calculator's, worked in 公式一: each row names it, as
// the grid's own default is 公式二.
std::vector<RowTexts> handWorked() {
    std::vector<RowTexts> rows = handWorkedAsWritten();
    for (RowTexts& r : rows) r[table::cFormula] = "1";
    return rows;
}

TextBlock tabBlock(std::string_view text) { return {ductsys::tabSeparatedRows(text)}; }

QString text(const TableModel& m, int row, int column) {
    return m.data(m.index(row, column), Qt::DisplayRole).toString();
}

QList<int> indexRunRows(const TableModel& m) {
    QList<int> rows;
    for (int r = 0; r < m.systemRows(); ++r)
        if (m.onIndexRun(r)) rows << r;
    return rows;
}

}  // namespace

class TableModelTest : public QObject {
    Q_OBJECT

private slots:
    void computedCells_data();
    void computedCells();
    void editRecomputes_data();
    void editRecomputes();
    void readingMarks_data();
    void readingMarks();
    void rowErrorShowsReason();
    void reasonsInChinese_data();
    void reasonsInChinese();
    void laminarMarked_data();
    void laminarMarked();
    void indexRunHighlighted_data();
    void indexRunHighlighted();
    void undoRedoSteps_data();
    void undoRedoSteps();
    void pasteBlock_data();
    void pasteBlock();
    void copyBlockAsNumbers();
    void rowsInsertDeleteMove_data();
    void rowsInsertDeleteMove();
    void officeFiles_data();
    void officeFiles();
    void savedFileText_data();
    void savedFileText();
    void settingsAreEdits_data();
    void settingsAreEdits();
    void unreadableSettingsAreNamed();
    void velocityOverTheLimit();
    void oneBadRowSpoilsOnlyItself_data();
    void oneBadRowSpoilsOnlyItself();
    void editThatChangesNothingIsNoStep();
    void shortFirstRowTakesNoHeaderText();
    void largeSystemKeepsItsLastRow_data();
    void largeSystemKeepsItsLastRow();
    void sidePanelFigures_data();
    void sidePanelFigures();
    void sidePanelNamesRowsByTheGridsNumbers();
    void unreadableAltitudeIsNamed();
    void sizeChoiceMarks();
    void sizeDialogShowsTheCurrentSize();
    void reportMarksTheIndexRun();
    void pdfHasNoBlankPage();
    void flowInUse();
    void tabSeparated_data();
    void tabSeparated();
    void sizeChoices_data();
    void sizeChoices();
    void editedAsComputedAfresh_data();
    void editedAsComputedAfresh();
};

void TableModelTest::computedCells_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("shown");
    QTest::newRow("the summed flow's velocity, as the calculator shows 5000 m3/h in 500x320")
        << 0 << int(table::cVelocity) << "8.680555";
    QTest::newRow("a rectangle's equivalent diameter")
        << 1 << int(table::cEqDiameter) << "0.3076923";
    QTest::newRow("a circle's Rm by formula one") << 3 << int(table::cRm) << "4.376865";
    QTest::newRow("a circle's Reynolds number") << 3 << int(table::cReynolds) << "117423";
    QTest::newRow("a sum of coefficients gives the local loss")
        << 2 << int(table::cLocal) << "8.70949";
    QTest::newRow("the fixed loss is in the segment's total")
        << 2 << int(table::cTotal) << "31.41855";
    QTest::newRow("the total from the fan along a branch")
        << 2 << int(table::cPathTotal) << "63.38126";
    QTest::newRow("an input shows as typed") << 2 << int(table::cSize) << "400×250";
}

void TableModelTest::computedCells() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, shown);
    TableModel m;
    m.resetRows(handWorked());
    QCOMPARE(text(m, row, column), shown);
    QCOMPARE(bool(m.flags(m.index(row, column)) & Qt::ItemIsEditable), table::isInput(column));
}

void TableModelTest::editRecomputes_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("resultColumn");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a new flow changes the velocity")
        << int(table::cFlow) << "5000" << int(table::cVelocity) << "44.20974";
    QTest::newRow("formula two changes Rm")
        << int(table::cFormula) << "2" << int(table::cRm) << "5.054171";
    QTest::newRow("the flow's unit is read")
        << int(table::cUnit) << "m3/min" << int(table::cVelocity) << "530.5169";
    QTest::newRow("a rectangle typed with x")
        << int(table::cSize) << "500x320" << int(table::cEqDiameter) << "0.3902439";
}

void TableModelTest::editRecomputes() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(int, resultColumn);
    QFETCH(QString, shown);
    TableModel m;
    m.resetRows(handWorked());
    QVERIFY(m.setData(m.index(3, column), typed, Qt::EditRole));
    QCOMPARE(text(m, 3, column), typed);
    QCOMPARE(text(m, 3, resultColumn), shown);
}

void TableModelTest::readingMarks_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("warning");
    QTest::newRow("a spreadsheet's thousands separator") << int(table::cFlow) << "1,000"
                                                         << "只读取了 1，忽略了“,000”";
    QTest::newRow("a negative air volume") << int(table::cFlow) << "-100"
                                           << "风量为负数：-100";
    QTest::newRow("an air volume beyond the calculation") << int(table::cFlow) << "1e400"
                                                          << "数值 1e400 超出可计算的范围";
    QTest::newRow("a negative side") << int(table::cSize) << "-300"
                                     << "风管尺寸为负数：-300";
    QTest::newRow("a length with its unit") << int(table::cLength) << "10m"
                                            << "只读取了 10，忽略了“m”";
    QTest::newRow("one term of a sum") << int(table::cZeta) << "0.3+0.2x"
                                       << "只读取了 0.2，忽略了“x”";
    QTest::newRow("a roughness held within its limits says so once")
        << int(table::cK) << "20"
        << "粗糙度限于 0.01 至 10 mm，按 10 计算";
    QTest::newRow("a roughness below its limits") << int(table::cK) << "0.001"
                                                  << "粗糙度限于 0.01 至 10 mm，按 0.01 计算";
    QTest::newRow("a length over 10 m has no roughness limit") << int(table::cLength) << "12.5"
                                                               << "";
    QTest::newRow("a fixed loss over 10 Pa has no roughness limit") << int(table::cDp) << "150"
                                                                    << "";
    QTest::newRow("a coefficient below 0.01 has no roughness limit")
        << int(table::cZeta) << "0.005+0.3"
        << "";
    QTest::newRow("a long length read in part keeps only its own line")
        << int(table::cLength) << "25m"
        << "只读取了 25，忽略了“m”";
    QTest::newRow("an unknown unit") << int(table::cUnit) << "cfm"
                                     << "不是风量单位：cfm";
    QTest::newRow("a flow read whole has no mark") << int(table::cFlow) << "1000"
                                                   << "";
    QTest::newRow("an exponent's sign in a sum is no term") << int(table::cZeta) << "1e+0+0.5"
                                                            << "";
}

void TableModelTest::readingMarks() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, warning);
    TableModel m;
    m.resetRows(handWorked());
    m.setData(m.index(3, column), typed, Qt::EditRole);
    const QModelIndex cell = m.index(3, column);
    QCOMPARE(m.cellWarning(3, column), warning);
    QCOMPARE(m.data(cell, Qt::DecorationRole).isValid(), !warning.isEmpty());
    QCOMPARE(m.data(cell, Qt::ToolTipRole).toString(), warning);
}

void TableModelTest::rowErrorShowsReason() {
    TableModel m;
    m.resetRows(handWorked());
    m.setData(m.index(3, table::cSize), QStringLiteral("50O"), Qt::EditRole);
    // Nothing that depends on the size is shown, and the row says why.
    QCOMPARE(text(m, 3, table::cVelocity), QString());
    QVERIFY(m.data(m.index(3, table::cSegment), Qt::DecorationRole).isValid());
    QVERIFY(!m.data(m.index(3, table::cVelocity), Qt::ToolTipRole).toString().isEmpty());
    // The other rows are still computed.
    QCOMPARE(text(m, 1, table::cRm), QStringLiteral("1.588632"));
}

// The system layer reports codes; the grid words them in Chinese, as the
// rest of the window, where it once showed the command line's English.
void TableModelTest::reasonsInChinese_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a size that is no size") << int(table::cSize) << "50O"
                                            << "尺寸“50O”不是风管尺寸";
    QTest::newRow("a negative length") << int(table::cLength) << "-3"
                                       << "长度“-3”为负数";
    QTest::newRow("a term of a sum that is no number") << int(table::cZeta) << "0.3+1-2"
                                                       << "局部阻力系数中的项“1-2”不是数字";
    QTest::newRow("a fixed loss that is no number") << int(table::cDp) << "abc"
                                                    << "固定阻力“abc”不是数字";
    QTest::newRow("a segment name given twice") << int(table::cSegment) << "A-B"
                                                << "段号“A-B”出现了两次（第 2 行和第 4 行）";
}

void TableModelTest::reasonsInChinese() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, reason);
    TableModel m;
    m.resetRows(handWorked());
    m.setData(m.index(3, column), typed, Qt::EditRole);
    const QString tip = m.data(m.index(3, table::cSegment), Qt::ToolTipRole).toString();
    QVERIFY2(tip.contains(reason), qPrintable(tip));
    QVERIFY2(!tip.contains(QStringLiteral(" is ")), qPrintable(tip));
}

void TableModelTest::laminarMarked_data() {
    QTest::addColumn<QString>("flow");
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("laminar");
    QTest::newRow("a trickle through a wide duct is laminar") << "1"
                                                              << "2000" << true;
    QTest::newRow("no air at all is not laminar") << "0"
                                                  << "200" << false;
    QTest::newRow("the worked duct is turbulent") << "1000"
                                                  << "200" << false;
}

void TableModelTest::laminarMarked() {
    QFETCH(QString, flow);
    QFETCH(QString, size);
    QFETCH(bool, laminar);
    TableModel m;
    m.resetRows(handWorked());
    m.setData(m.index(3, table::cFlow), flow, Qt::EditRole);
    m.setData(m.index(3, table::cSize), size, Qt::EditRole);
    const QModelIndex reynolds = m.index(3, table::cReynolds);
    QCOMPARE(m.data(reynolds, Qt::DecorationRole).isValid(), laminar);
    QCOMPARE(m.data(reynolds, Qt::ToolTipRole).toString().contains(QStringLiteral("层流")),
             laminar);
    // The mark is the Reynolds number's alone.
    QVERIFY(!m.data(m.index(3, table::cVelocity), Qt::DecorationRole).isValid());
}

void TableModelTest::indexRunHighlighted_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("F-G's path is the largest") << 3 << "10" << QList<int>{3};
    QTest::newRow("a shorter F-G leaves the run through A-C") << 3 << "1" << QList<int>{0, 2};
}

void TableModelTest::indexRunHighlighted() {
    QFETCH(int, row);
    QFETCH(QString, length);
    QFETCH(QList<int>, rows);
    TableModel m;
    m.resetRows(handWorked());
    m.setData(m.index(row, table::cLength), length, Qt::EditRole);
    QCOMPARE(indexRunRows(m), rows);
    for (int r = 0; r < m.systemRows(); ++r) {
        QCOMPARE(m.data(m.index(r, table::cSegment), Qt::BackgroundRole).isValid(),
                 rows.contains(r));
        // A screen reader hears it too.
        QCOMPARE(m.data(m.index(r, table::cSegment), Qt::AccessibleDescriptionRole)
                     .toString()
                     .contains(QStringLiteral("最不利环路")),
                 rows.contains(r));
    }
}

void TableModelTest::undoRedoSteps_data() {
    QTest::addColumn<int>("steps");
    QTest::newRow("one edit") << 1;
    QTest::newRow("an edit, a paste adding rows and a removal") << 3;
    QTest::newRow("every step of the sequence") << 5;
}

void TableModelTest::undoRedoSteps() {
    QFETCH(int, steps);
    TableModel m;
    m.resetRows(handWorked());
    auto snapshot = [&m] {
        QStringList all;
        for (int r = 0; r < m.rowCount(); ++r)
            for (int c = 0; c < table::kColumns; ++c) all << text(m, r, c);
        return all;
    };
    QList<QStringList> states{snapshot()};
    const std::function<void()> actions[] = {
        [&] { m.setData(m.index(3, table::cFlow), QStringLiteral("2000"), Qt::EditRole); },
        [&] {
            m.setBlock(3, table::cSegment, {{{"G-H", "", "", "500"}, {"H-I", "", "", "200"}}},
                       "粘贴");
        },
        [&] { m.removeSystemRows(1, 1); },
        [&] { m.insertBlankRows(0, 2); },
        [&] { m.moveSystemRows(2, 2, 1); },
    };
    for (int i = 0; i < steps; ++i) {
        actions[i]();
        states << snapshot();
        QVERIFY(states.back() != states[states.size() - 2]);
    }
    for (int i = steps; i > 0; --i) {
        m.undoStack()->undo();
        QCOMPARE(snapshot(), states[i - 1]);
    }
    for (int i = 1; i <= steps; ++i) {
        m.undoStack()->redo();
        QCOMPARE(snapshot(), states[i]);
    }
}

void TableModelTest::pasteBlock_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("block");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("lastFlow");
    QTest::newRow("inside the system, no rows added") << 1 << int(table::cFlow) << "3000\n2000\n"
                                                      << 4 << "1000";
    QTest::newRow("past the end adds rows")
        << 3 << int(table::cSegment) << "F-G\t\t\t800\nG-H\t\t\t400\r\nH-I\t\t\t200" << 6 << "200";
    QTest::newRow("into the empty row at the end") << 4 << int(table::cFlow) << "700" << 5 << "700";
    QTest::newRow("fields past the inputs are dropped")
        << 3 << int(table::cFormula) << "2\t99\t99" << 4 << "1000";
}

void TableModelTest::pasteBlock() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, block);
    QFETCH(int, rows);
    QFETCH(QString, lastFlow);
    TableModel m;
    m.resetRows(handWorked());
    m.setBlock(row, column, tabBlock(block.toStdString()), QStringLiteral("粘贴"));
    QCOMPARE(m.systemRows(), rows);
    QCOMPARE(text(m, rows - 1, table::cFlow), lastFlow);
    QCOMPARE(text(m, 3, table::cVelocity).isEmpty(), false);
    m.undoStack()->undo();
    QCOMPARE(m.systemRows(), 4);
    QCOMPARE(text(m, 3, table::cFlow), QStringLiteral("1000"));
}

void TableModelTest::copyBlockAsNumbers() {
    TableModel m;
    m.resetRows(handWorked());
    // Inputs as typed, figures as plain numbers: no leading blank.
    QCOMPARE(QString::fromStdString(m.blockText(2, table::cSegment, 3, table::cSegment)),
             QStringLiteral("A-C\nF-G\n"));
    QCOMPARE(QString::fromStdString(m.blockText(3, table::cVelocity, 3, table::cRm)),
             QStringLiteral("8.841949\t117423\t0.01859947\t4.376865\n"));
    // Copied out and pasted back, the inputs are the same.
    const std::string block = m.blockText(0, 0, 3, table::kInputColumns - 1);
    TableModel other;
    other.setBlock(0, 0, tabBlock(block), QStringLiteral("粘贴"));
    for (int r = 0; r < 4; ++r) QCOMPARE(other.rowTexts(r), m.rowTexts(r));
    QCOMPARE(text(other, 3, table::cPathTotal), text(m, 3, table::cPathTotal));
}

void TableModelTest::rowsInsertDeleteMove_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("two rows inserted before A-C")
        << "insert" << QStringList{"F-A", "A-B", "", "", "A-C", "F-G"};
    QTest::newRow("A-B deleted") << "delete" << QStringList{"F-A", "A-C", "F-G"};
    QTest::newRow("A-B and A-C moved down") << "down" << QStringList{"F-A", "F-G", "A-B", "A-C"};
    QTest::newRow("A-C moved up") << "up" << QStringList{"F-A", "A-C", "A-B", "F-G"};
}

void TableModelTest::rowsInsertDeleteMove() {
    QFETCH(QString, action);
    QFETCH(QStringList, names);
    TableModel m;
    m.resetRows(handWorked());
    const QString total = text(m, 3, table::cPathTotal);
    if (action == "insert") m.insertBlankRows(2, 2);
    if (action == "delete") m.removeSystemRows(1, 1);
    if (action == "down") QVERIFY(m.moveSystemRows(1, 2, 1));
    if (action == "up") QVERIFY(m.moveSystemRows(2, 1, -1));
    QStringList got;
    for (int r = 0; r < m.systemRows(); ++r) got << text(m, r, table::cSegment);
    QCOMPARE(got, names);
    // Order does not change a tree's figures.
    if (action != "delete") QCOMPARE(text(m, int(names.indexOf("F-G")), table::cPathTotal), total);
    m.undoStack()->undo();
    QCOMPARE(m.systemRows(), 4);
    QCOMPARE(text(m, 2, table::cSegment), QStringLiteral("A-C"));
}

// UTF-8 text as GB18030 bytes, as a Chinese Windows spreadsheet saves it.
std::string asGb18030(const std::string& utf8) {
    const iconv_t cd = iconv_open("GB18030", "UTF-8");
    std::string out(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

// Every figure the grid shows of the hand-worked system's rows.
QStringList figures(const TableModel& m) {
    QStringList all;
    for (int r = 0; r < m.systemRows(); ++r)
        for (int c = table::kInputColumns; c < table::kColumns; ++c) all << text(m, r, c);
    return all;
}

void TableModelTest::officeFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kept");  // the kept column's name, empty for none
    const std::string office =
        "某大厦送风系统\n"
        "风量(m3/h);段号;尺寸;长度（m）;Σζ;固定阻力;备注\n"
        ";F-A;500x320;5;0.5;;主管\n"
        "2500;A-B;400x250;8;0.3;;\n"
        "2500;A-C;400×250;8;0.25+0.05;10;\"末端 \"\"甲\"\"\"\n"
        "1000;F-G;φ200;10;0.5;;\n"
        ";合计;;;;;\n";
    QTest::newRow("the fixture itself") << QByteArray() << QString();
    QTest::newRow("units in brackets, semicolons, a title row, a total row, 备注")
        << QByteArray::fromStdString(office) << "备注";
    QTest::newRow("the same in GB18030") << QByteArray::fromStdString(asGb18030(office)) << "备注";
    QTest::newRow("tabs, English names in any case, CRLF")
        << QByteArray(
               "Flow [m3/h]\tSEGMENT\tSize\tLength\tZeta\tDP\tnote\r\n"
               "\tF-A\t500x320\t5\t0.5\t\tx\r\n2500\tA-B\t400x250\t8\t0.3\t\t\r\n"
               "2500\tA-C\t400x250\t8\t0.25+0.05\t10\ty\r\n1000\tF-G\t200\t10\t0.5\t\t\r\n")
        << "note";
}

void TableModelTest::officeFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kept);
    TableModel reference;
    reference.resetRows(handWorkedAsWritten());
    table::LoadedSystem loaded = bytes.isEmpty()
                                     ? table::readSystemFile(DUCTCALC_TEST_DATA "/hand_worked.csv")
                                     : table::readSystemText(bytes.toStdString());
    QCOMPARE(QString::fromStdString(loaded.error), QString());
    TableModel m;
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.loadDocument(std::move(loaded));
    QCOMPARE(m.systemRows(), 4);
    QCOMPARE(figures(m), figures(reference));
    // Saved, the kept column is written back in its place with its texts,
    // and the file reads back to the same rows and figures.
    const std::string saved = m.fileText();
    if (!kept.isEmpty()) {
        QCOMPARE(m.layout().keptNames, std::vector<std::string>{kept.toStdString()});
        QVERIFY(
            QString::fromStdString(saved).contains(QLatin1Char(',') + kept + QLatin1Char('\n')));
    }
    TableModel back;
    back.loadDocument(table::readSystemText(saved));
    QCOMPARE(figures(back), figures(reference));
    for (int r = 0; r < 4; ++r) {
        QCOMPARE(back.rowTexts(r), m.rowTexts(r));
        QCOMPARE(back.keptTexts(r), m.keptTexts(r));
    }
    QCOMPARE(back.fileText(), saved);
}

void TableModelTest::savedFileText_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("saved");
    QTest::newRow("a new document: every column under its English name")
        << QString()
        << "segment,from,to,flow,unit,size,length,zeta,dp,material,k,formula\n"
           "F-A,,,,,500x320,5,0.5,,,,\n";
    QTest::newRow("a title row and a setting stay above the header, a total row goes")
        << "项目,某大厦\n送风\nsegment,size,flow\nF-A,500x320,100\n合计,,100\n"
        << "项目,某大厦\n送风\nsegment,size,flow,length,zeta\nF-A,500x320,100,5,0.5\n";
    QTest::newRow("the grid's settings are rows above the header")
        << "风机,F\n温度,40\nsegment,size,flow\nF-A,500x320,100\n"
        << "温度,40\n风机,F\nsegment,size,flow,length,zeta\nF-A,500x320,100,5,0.5\n";
    QTest::newRow("a field with a comma, a quote or blanks at its ends is quoted")
        << "segment,size,flow,备注\nF-A,500x320,100,\" a, \"\"b\"\"\"\n"
        << "segment,size,flow,备注,length,zeta\nF-A,500x320,100,\" a, \"\"b\"\"\",5,0.5\n";
}

void TableModelTest::savedFileText() {
    QFETCH(QString, file);
    QFETCH(QString, saved);
    TableModel m;
    if (!file.isEmpty()) m.loadDocument(table::readSystemText(file.toStdString()));
    // A length and a coefficient typed in the grid into columns the file
    // lacked: they are added after its own.
    m.setBlock(0, table::cSegment, {{{"F-A"}}}, QStringLiteral("编辑"));
    m.setBlock(0, table::cSize, {{{"500x320", "5", "0.5"}}}, QStringLiteral("编辑"));
    QCOMPARE(QString::fromStdString(m.fileText()), saved);
}

void TableModelTest::settingsAreEdits_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("column");   // a figure that changes, or -1
    QTest::addColumn<QString>("row");  // the row above the header
    QTest::newRow("the air's temperature") << "temperature"
                                           << "40" << int(table::cReynolds) << "温度,40";
    QTest::newRow("the altitude") << "altitude"
                                  << "2000" << int(table::cRm) << "海拔,2000";
    QTest::newRow("the fan's node") << "fan"
                                    << "A" << -1 << "风机,A";
    QTest::newRow("the margin") << "margin"
                                << "15" << -1 << "风机压力余量,15";
    QTest::newRow("the formula of rows that name none") << "formula"
                                                        << "1" << int(table::cRm) << "空白公式,1";
}

void TableModelTest::settingsAreEdits() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(int, column);
    QFETCH(QString, row);
    TableModel m;
    m.resetRows(handWorkedAsWritten());
    const QStringList before = figures(m);
    const QString pressure = table::shownFigure(m.result().fan.pressure);
    QVERIFY(m.undoStack()->isClean());
    table::DocumentSettings s = m.settings();
    for (const table::SettingName& n : table::kSettingNames)
        if (QString::fromUtf8(n.english.data(), qsizetype(n.english.size())) == field)
            s.*(n.field) = typed.toStdString();
    m.setSettings(s);
    QVERIFY(!m.undoStack()->isClean());
    constexpr int kFigures = table::kColumns - table::kInputColumns;
    if (column >= 0)
        QVERIFY(text(m, 3, column) != before[3 * kFigures + column - table::kInputColumns]);
    QVERIFY(QString::fromStdString(m.fileText()).startsWith(row + QLatin1Char('\n')));
    if (field != "fan") QVERIFY(table::shownFigure(m.result().fan.pressure) != pressure);
    // Kept on Save and read back.
    TableModel back;
    back.loadDocument(table::readSystemText(m.fileText()));
    QCOMPARE(back.settings(), m.settings());
    QCOMPARE(figures(back), figures(m));
    m.undoStack()->undo();
    QCOMPARE(figures(m), before);
    QCOMPARE(m.settings(), table::DocumentSettings{});
    // The same settings again are no step.
    m.setSettings(m.settings());
    QCOMPARE(m.undoStack()->count(), 1);
}

void TableModelTest::unreadableSettingsAreNamed() {
    TableModel m;
    m.resetRows(handWorked());
    const QStringList before = figures(m);
    table::DocumentSettings s;
    s.temperature = "40";
    m.setSettings(s);
    s.temperature = "abc";
    m.setSettings(s);
    // Not the 40 °C typed before: the default, and the panel says so.
    QCOMPARE(figures(m), before);
    QCOMPARE(m.temperature(), 20.0);
    QCOMPARE(m.settingsProblem(), QStringLiteral("温度“abc”无法读取，按默认值计算"));
}

void TableModelTest::velocityOverTheLimit() {
    TableModel m;
    m.resetRows(handWorked());
    table::DocumentSettings s;
    s.maxVelocity = "8";
    m.setSettings(s);
    // F-A 8.680555 and F-G 8.841949 m/s are over 8; A-B and A-C are not.
    QList<int> marked;
    for (int r = 0; r < 4; ++r)
        if (m.overLimit(r)) marked << r;
    QCOMPARE(marked, (QList<int>{0, 3}));
    QCOMPARE(m.data(m.index(3, table::cVelocity), Qt::ToolTipRole).toString(),
             QStringLiteral("风速超过限值 8 m/s"));
    QVERIFY(!m.data(m.index(1, table::cVelocity), Qt::ToolTipRole).isValid());
}

void TableModelTest::flowInUse() {
    TableModel m;
    m.resetRows(handWorked());
    // F-A's 风量 is empty: its flow is the sum beyond it, grey and read-only.
    QCOMPARE(text(m, 0, table::cFlow), QString());
    QCOMPARE(text(m, 0, table::cFlowInUse), QStringLiteral("5000"));
    QCOMPARE(text(m, 3, table::cFlowInUse), QStringLiteral("1000"));
    QVERIFY(!(m.flags(m.index(0, table::cFlowInUse)) & Qt::ItemIsEditable));
}

RowTexts segmentRow(std::string name, std::string flow, std::string size = "200",
                    std::string length = "5") {
    RowTexts r;
    r[table::cSegment] = std::move(name);
    r[table::cFlow] = std::move(flow);
    r[table::cSize] = std::move(size);
    r[table::cLength] = std::move(length);
    return r;
}

void TableModelTest::oneBadRowSpoilsOnlyItself_data() {
    QTest::addColumn<QStringList>("segments");  // name:flow:size
    QTest::addColumn<QList<int>>("marked");     // rows with the red mark
    QTest::addColumn<QStringList>("tips");      // a word of each marked row's tip
    QTest::addColumn<QString>("problems");      // the side panel's first line
    QTest::addColumn<bool>("fan");              // whether the fan's pressure is known
    QTest::newRow("a row not connected yet")
        << QStringList{"F-A::200", "A-B:300:200", "X-Y:100:200", "A-C:300:200"} << QList<int>{2}
        << QStringList{"未与风机节点"} << "第 3 行未计入系统：管段“X-Y”未与风机节点" << true;
    QTest::newRow("a name given twice: the later row is left out")
        << QStringList{"F-A::200", "A-B:300:200", "A-B:100:200"} << QList<int>{2}
        << QStringList{"出现了两次"} << "第 3 行未计入系统：段号“A-B”" << true;
    QTest::newRow("the rows of a loop")
        << QStringList{"F-A:300:200", "A-B:200:200", "B-C:100:200", "C-A:100:200", "F-G:100:200"}
        << QList<int>{1, 2, 3} << QStringList{"构成环路", "构成环路", "构成环路"}
        << "第 2 行未计入系统" << true;
    QTest::newRow("a branch that cannot be computed names itself, not the trunk")
        << QStringList{"F-A::200", "A-B:300:abc", "A-C:300:200"} << QList<int>{1}
        << QStringList{"未能全部算出"} << "第 2 行未能算出" << false;
}

void TableModelTest::oneBadRowSpoilsOnlyItself() {
    QFETCH(QStringList, segments);
    QFETCH(QList<int>, marked);
    QFETCH(QStringList, tips);
    QFETCH(QString, problems);
    QFETCH(bool, fan);
    std::vector<RowTexts> rows;
    for (const QString& s : segments)
        rows.push_back(segmentRow(s.section(':', 0, 0).toStdString(),
                                  s.section(':', 1, 1).toStdString(),
                                  s.section(':', 2, 2).toStdString()));
    TableModel m;
    m.resetRows(rows);
    table::SidePanel panel(&m);
    QList<int> got;
    for (int r = 0; r < m.systemRows(); ++r)
        if (m.data(m.index(r, table::cSegment), Qt::DecorationRole).isValid()) got << r;
    QCOMPARE(got, marked);
    for (int i = 0; i < marked.size(); ++i) {
        const QString tip = m.data(m.index(marked[i], table::cSegment), Qt::ToolTipRole).toString();
        QVERIFY2(tip.contains(tips[i]), qPrintable(tip));
    }
    // The other rows are computed, as a tree without the faulty ones.
    for (int r = 0; r < m.systemRows(); ++r)
        if (!marked.contains(r)) QVERIFY(!text(m, r, table::cTotal).isEmpty());
    QCOMPARE(m.result().fan.pressure.has_value(), fan);
    const QString shown = panel.problemLabel()->text();
    QVERIFY2(shown.startsWith(problems), qPrintable(shown));
}

void TableModelTest::editThatChangesNothingIsNoStep() {
    TableModel m;
    m.resetRows(handWorked());
    QVERIFY(!m.setData(m.index(1, table::cFlow), QStringLiteral("2500"), Qt::EditRole));
    QCOMPARE(m.undoStack()->count(), 0);
    QVERIFY(m.undoStack()->isClean());
}

void TableModelTest::shortFirstRowTakesNoHeaderText() {
    const table::LoadedSystem loaded =
        table::readSystemText("segment,flow,size,length,备注\nF-A,1000,200\n");
    QCOMPARE(loaded.rows.size(), std::size_t{1});
    QCOMPARE(loaded.rows[0][table::cLength], std::string());
    QCOMPARE(loaded.kept[0], std::vector<std::string>{""});
}

void TableModelTest::largeSystemKeepsItsLastRow_data() {
    QTest::addColumn<int>("rows");
    QTest::newRow("2048 + 1 rows") << 2049;
    QTest::newRow("2 x 2048 + 1 rows") << 4097;
}

void TableModelTest::largeSystemKeepsItsLastRow() {
    QFETCH(int, rows);
    std::vector<RowTexts> run;
    for (int i = 0; i < rows; ++i)
        run.push_back(segmentRow(std::to_string(i) + "-" + std::to_string(i + 1),
                                 i + 1 == rows ? "1000" : ""));
    TableModel m;
    m.resetRows(run);
    QCOMPARE(m.systemRows(), rows);
    QCOMPARE(text(m, rows - 1, table::cVelocity), QStringLiteral("8.841949"));
    QCOMPARE(text(m, 0, table::cFlowInUse), QStringLiteral("1000"));
}

void TableModelTest::sidePanelFigures_data() {
    QTest::addColumn<QString>("imbalance");
    QTest::addColumn<QString>("margin");
    QTest::addColumn<bool>("aFlagged");
    QTest::addColumn<QString>("pressure");
    QTest::newRow("the defaults: 15 % and 10 %") << ""
                                                 << "" << true << "74.03093";
    QTest::newRow("a looser imbalance limit leaves the fan alone") << "40"
                                                                   << "" << false << "74.03093";
    QTest::newRow("a larger margin leaves the junctions alone") << ""
                                                                << "20" << true << "80.76101";
}

void TableModelTest::sidePanelFigures() {
    QFETCH(QString, imbalance);
    QFETCH(QString, margin);
    QFETCH(bool, aFlagged);
    QFETCH(QString, pressure);
    TableModel m;
    m.resetRows(handWorked());
    table::SidePanel panel(&m);
    table::DocumentSettings s;
    s.maxImbalance = imbalance.toStdString();
    s.margin = margin.toStdString();
    m.setSettings(s);
    const auto& junctions = m.result().junctions;
    QCOMPARE(junctions.size(), std::size_t{2});
    QCOMPARE(junctions[1].flagged, aFlagged);
    QCOMPARE(table::shownFigure(m.result().fan.pressure), pressure);
    const QString fan = panel.fanLabel()->text();
    QVERIFY2(fan.contains(QStringLiteral("余量：%1 %").arg(margin.isEmpty() ? "10" : margin)),
             qPrintable(fan));
    QVERIFY2(fan.contains(QStringLiteral("最不利环路末段：F-G")), qPrintable(fan));
}

void TableModelTest::sidePanelNamesRowsByTheGridsNumbers() {
    // Segments without names, a blank row among them: the panel names a
    // segment by the row the grid shows it on.
    std::vector<RowTexts> rows(4);
    const char* const ends[][3] = {
        {"F", "A", ""}, {"A", "B", "1000"}, {"", "", ""}, {"A", "C", "1000"}};
    for (int r = 0; r < 4; ++r) {
        rows[r][table::cFrom] = ends[r][0];
        rows[r][table::cTo] = ends[r][1];
        rows[r][table::cFlow] = ends[r][2];
        if (r != 2) rows[r][table::cSize] = "200", rows[r][table::cLength] = "5";
    }
    rows[3][table::cLength] = "9";
    TableModel m;
    m.resetRows(rows);
    table::SidePanel panel(&m);
    const QString fan = panel.fanLabel()->text();
    QVERIFY2(fan.contains(QStringLiteral("最不利环路末段：第 4 行")), qPrintable(fan));
    const QAbstractItemModel* junctions = panel.junctionTree()->model();
    const QModelIndex a = junctions->index(0, 0);
    QCOMPARE(junctions->index(1, 0, a).data().toString(), QStringLiteral("第 4 行"));
    // With no index run (no fan), no last segment is named.
    table::DocumentSettings s;
    s.fan = "Z";
    m.setSettings(s);
    QVERIFY(!panel.fanLabel()->text().contains(QStringLiteral("最不利环路末段")));
}

void TableModelTest::unreadableAltitudeIsNamed() {
    TableModel m;
    m.resetRows(handWorked());
    table::DocumentSettings s;
    s.altitude = "2 km";
    m.setSettings(s);
    QCOMPARE(m.settingsProblem(), QStringLiteral("海拔“2 km”无法读取，按默认值计算"));
    QCOMPARE(m.pressure(), 101.325);
}

void TableModelTest::sizeChoiceMarks() {
    TableModel m;
    m.resetRows(handWorked());
    // 3600 m3/h in 500x250 is exactly 8 m/s: within a limit of 8.
    m.setData(m.index(3, table::cFlow), QStringLiteral("3600"), Qt::EditRole);
    m.setData(m.index(3, table::cSize), QStringLiteral("500×250"), Qt::EditRole);
    const auto options = table::sizeOptions(m, 3, {.maxVelocity = 8.0, .maxRm = std::nullopt});
    const auto find = [&](const std::string& size) {
        return std::find_if(options.begin(), options.end(),
                            [&](const auto& o) { return o.text == size; });
    };
    QVERIFY(find("500x250") != options.end());
    QCOMPARE(QString::fromStdString(find("500x250")->velocity), QStringLiteral("8"));
    QVERIFY(find("500x250")->meets);
    QVERIFY(find("500x250")->current);
    QCOMPARE(std::count_if(options.begin(), options.end(), [](const auto& o) { return o.current; }),
             1);
    QVERIFY(find("400x400") != options.end());  // square sizes too
    QCOMPARE(find("400")->shown(), std::string("φ400"));
    // A code's preset: its recommended sizes first, smallest first.
    table::SizeLimits limits{.maxVelocity = std::nullopt, .maxRm = std::nullopt};
    limits.preset = ductsys::findVelocityPreset("public-main");  // 5-6.5 m/s, at most 8
    auto ranked = table::sizeOptions(m, 3, limits);
    table::rankSizeOptions(ranked);
    QVERIFY(ranked.front().recommended);
    for (std::size_t i = 1; i < ranked.size(); ++i) {
        QVERIFY(ranked[i - 1].recommended >= ranked[i].recommended);
        if (ranked[i - 1].recommended == ranked[i].recommended &&
            ranked[i - 1].meets == ranked[i].meets)
            QVERIFY(ranked[i - 1].area <= ranked[i].area);
    }
    for (const auto& o : ranked)
        if (o.recommended) {
            const double v = std::stod(o.velocity);
            QVERIFY(v >= 5 && v <= 6.5);
        }
}

void TableModelTest::sizeDialogShowsTheCurrentSize() {
    TableModel m;
    m.resetRows(handWorked());
    // φ200 is too fast for 8 m/s, and is listed all the same, marked current.
    table::SizeDialog dialog(m, 3);
    QStringList current;
    for (int r = 0; r < dialog.list()->rowCount(); ++r)
        if (dialog.list()->item(r, 3)->text().contains(QStringLiteral("当前")))
            current << dialog.list()->item(r, 0)->text();
    QCOMPARE(current, QStringList{QStringLiteral("φ200")});
}

void TableModelTest::reportMarksTheIndexRun() {
    TableModel m;
    std::vector<RowTexts> rows = handWorked();
    rows.insert(rows.begin() + 2, RowTexts{});  // a blank row is left out
    m.resetRows(rows);
    const QString html = table::reportHtml(m);
    QCOMPARE(html.count(QStringLiteral("<tr bgcolor=\"#ffeeb8\">")), 1);
    QVERIFY(html.contains(QStringLiteral("<tr bgcolor=\"#ffeeb8\"><td>F-G</td>")));
    QCOMPARE(html.count(QStringLiteral("（最不利环路）")), 1);
    QVERIFY(html.contains(QStringLiteral("F-G（最不利环路）")));
    QVERIFY(html.contains(QStringLiteral("余量 10.0 %")));
    QVERIFY(html.contains(QStringLiteral("空气：20 °C，101.325 kPa")));
    // Four rows of figures and the header: the blank row is not printed.
    const QString table = html.section(QStringLiteral("<h3>水力计算表</h3>"), 1)
                              .section(QStringLiteral("<h3>"), 0, 0);
    QCOMPARE(table.count(QStringLiteral("<tr")), 5);
    // The summed flow of F-A, right-aligned like every number.
    QVERIFY(html.contains(QStringLiteral("<td align=\"right\">5000</td>")));
}

void TableModelTest::pdfHasNoBlankPage() {
    TableModel m;
    m.resetRows(handWorked());
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("r.pdf")));
    printer.setPageOrientation(QPageLayout::Landscape);
    QVERIFY(table::printReport(m, QStringLiteral("sys1"), printer));
    QFile pdf(dir.filePath(QStringLiteral("r.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QString bytes = QString::fromLatin1(pdf.readAll());
    // The table's one page and the friction chart's: no blank page between.
    QCOMPARE(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 2);
}

void TableModelTest::tabSeparated_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("rows");  // fields joined by |
    QTest::newRow("a final line end ends the last row") << "a\tb\n" << QStringList{"a|b"};
    QTest::newRow("CRLF line ends") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("empty fields kept") << "\t\tc" << QStringList{"||c"};
    QTest::newRow("a quoted field holds a tab and a line end")
        << "\"x\ty\nz\"\t1" << QStringList{"x\ty\nz|1"};
    QTest::newRow("doubled quotes inside quotes")
        << "\"say \"\"hi\"\"\"" << QStringList{"say \"hi\""};
}

void TableModelTest::tabSeparated() {
    QFETCH(QString, input);
    QFETCH(QStringList, rows);
    const TextBlock block = tabBlock(input.toStdString());
    QStringList got;
    for (const auto& fields : block.rows) {
        QStringList f;
        for (const auto& s : fields) f << QString::fromStdString(s);
        got << f.join('|');
    }
    QCOMPARE(got, rows);
}

void TableModelTest::sizeChoices_data() {
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("velocity");
    QTest::addColumn<QString>("rm");
    QTest::addColumn<bool>("meets");
    QTest::addColumn<bool>("current");
    // 1000 m3/h, thin steel sheet, formula one: ductcalc-cli size's figures.
    QTest::newRow("the row's own size, too fast") << "200"
                                                  << "8.841949"
                                                  << "4.376865" << false << true;
    QTest::newRow("the smallest circle within 6 m/s and 2 Pa/m") << "250"
                                                                 << "5.658847"
                                                                 << "1.361303" << true << false;
    QTest::newRow("the smallest rectangle within the limits") << "250x200"
                                                              << "5.555555"
                                                              << "1.517038" << true << false;
    QTest::newRow("a rectangle beyond the aspect limit is not listed") << "2000x120"
                                                                       << ""
                                                                       << "" << false << false;
}

void TableModelTest::sizeChoices() {
    QFETCH(QString, size);
    QFETCH(QString, velocity);
    QFETCH(QString, rm);
    QFETCH(bool, meets);
    QFETCH(bool, current);
    TableModel m;
    m.resetRows(handWorked());
    const auto options = table::sizeOptions(m, 3, {.maxVelocity = 6.0, .maxRm = 2.0});
    const auto found = std::find_if(options.begin(), options.end(),
                                    [&](const auto& o) { return o.text == size.toStdString(); });
    if (velocity.isEmpty()) {
        QVERIFY(found == options.end());
        return;
    }
    QVERIFY(found != options.end());
    QCOMPARE(QString::fromStdString(found->velocity), velocity);
    QCOMPARE(QString::fromStdString(found->rm), rm);
    QCOMPARE(found->meets, meets);
    QCOMPARE(found->current, current);
    // Written into the cell as a step that can be undone.
    m.setBlock(3, table::cSize, {{{size.toStdString()}}}, QStringLiteral("选择尺寸"));
    QCOMPARE(text(m, 3, table::cVelocity), velocity);
    m.undoStack()->undo();
    QCOMPARE(text(m, 3, table::cSize), QStringLiteral("φ200"));
}

namespace {

// A random tree of `segments` rows, more than one batch of the calculation:
// segment i joins node i + 1 to a node before it, flows on the outlets only,
// sizes, lengths and ζ sums of every kind.
std::vector<RowTexts> randomTree(int segments) {
    static const char* const kSizes[] = {"200", "φ250", "320x200", "400x250", "630x400"};
    static const char* const kLengths[] = {"3", "4.5", "6", "8.2", "12"};
    static const char* const kZetas[] = {"0.3", "0.25+0.1", "1.5", ""};
    static const char* const kFlows[] = {"200", "350", "500", "800"};
    std::uint32_t seed = 2026;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    std::vector<int> parent(static_cast<std::size_t>(segments));
    std::vector<bool> hasChild(static_cast<std::size_t>(segments) + 1, false);
    for (int i = 0; i < segments; ++i) {
        parent[static_cast<std::size_t>(i)] = static_cast<int>(next() % (i + 1u));
        hasChild[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])] = true;
    }
    std::vector<RowTexts> rows(static_cast<std::size_t>(segments));
    for (int i = 0; i < segments; ++i) {
        RowTexts& r = rows[static_cast<std::size_t>(i)];
        r[table::cSegment] =
            std::to_string(parent[static_cast<std::size_t>(i)]) + '-' + std::to_string(i + 1);
        if (!hasChild[static_cast<std::size_t>(i) + 1]) r[table::cFlow] = kFlows[next() % 4];
        r[table::cSize] = kSizes[next() % 5];
        r[table::cLength] = kLengths[next() % 5];
        r[table::cZeta] = kZetas[next() % 4];
    }
    return rows;
}

// Everything the grid shows of a document: every cell with its tool tip,
// each row's fault, the warnings, the junctions and the fan.
QStringList shownFigures(const TableModel& m) {
    QStringList out;
    for (int r = 0; r < m.systemRows(); ++r) {
        for (int c = 0; c < table::kColumns; ++c)
            out << QString::fromStdString(m.cellText(r, c))
                << m.data(m.index(r, c), Qt::ToolTipRole).toString();
        out << QString::fromStdString(m.rowFault(r));
    }
    const ductsys::SystemResult& result = m.result();
    for (const ductsys::Warning& w : result.warnings)
        out << QString::number(w.segment) +
                   QString::fromStdString(msg::render(w.message, msg::Language::english));
    for (const ductsys::Junction& j : result.junctions)
        out << QString::number(j.imbalance.value_or(-1), 'g', 17) << QString::number(j.flagged);
    out << QString::number(result.fan.pressure.value_or(-1), 'g', 17)
        << QString::number(result.fan.airVolume.value_or(-1), 'g', 17)
        << QString::number(result.fan.indexOutlet)
        << QString::fromStdString(msg::renderLines(result.fan.reason, msg::Language::english));
    return out;
}

// Compares the figures of an edited model with those of a new model given
// the same rows and settings: an edit recomputes only what it changed.
void compareWithFresh(const TableModel& edited) {
    TableModel fresh;
    fresh.applySettings(edited.settings());
    std::vector<RowTexts> rows;
    for (int r = 0; r < edited.systemRows(); ++r) rows.push_back(edited.rowTexts(r));
    fresh.resetRows(rows);
    const QStringList a = shownFigures(edited), b = shownFigures(fresh);
    QCOMPARE(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            QFAIL(qPrintable(QStringLiteral("item %1: %2 against %3").arg(i).arg(a[i], b[i])));
}

}  // namespace

void TableModelTest::editedAsComputedAfresh_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    // Whether the edit meets a system with a row at fault: row 2600 joined
    // to a node no one reaches.
    QTest::addColumn<bool>("atFault");
    QTest::addColumn<QString>("typed");  // "delete": the row is deleted
    QTest::newRow("a length") << 1500 << int(table::cLength) << false << "7.5";
    QTest::newRow("a size") << 40 << int(table::cSize) << false << "500x320";
    QTest::newRow("an outlet's flow, which every segment toward the fan carries")
        << -1 << int(table::cFlow) << false << "1650";
    QTest::newRow("a flow typed where the sum was") << 0 << int(table::cFlow) << false << "900";
    QTest::newRow("a ζ sum") << 2100 << int(table::cZeta) << false << "0.1+0.2+0.3";
    QTest::newRow("the flow's unit") << -1 << int(table::cUnit) << false << "L/s";
    QTest::newRow("the formula") << 7 << int(table::cFormula) << false << "1";
    QTest::newRow("a size that cannot be read") << 300 << int(table::cSize) << false << "abc";
    QTest::newRow("a segment moved to another node, which changes the tree")
        << 2500 << int(table::cSegment) << false << "3-2501";
    QTest::newRow("a segment joined to a node no one reaches")
        << 2600 << int(table::cSegment) << false << "99999-2601";
    QTest::newRow("an outlet deleted") << -1 << int(table::cSegment) << false << "delete";
    QTest::newRow("a segment deleted with the segments beyond it left unconnected")
        << 1 << int(table::cSegment) << false << "delete";
    QTest::newRow("the air's temperature") << -2 << int(table::cSegment) << false << "40";
    QTest::newRow("the fan's node") << -3 << int(table::cSegment) << false << "5";
    QTest::newRow("a 起点 typed without its 终点") << 2500 << int(table::cFrom) << false << "3";
    QTest::newRow("a length, with a row at fault") << 1500 << int(table::cLength) << true << "7.5";
    QTest::newRow("a segment named as another, with a row at fault")
        << 1500 << int(table::cSegment) << true << "0-1";
    QTest::newRow("the row at fault mended") << 2600 << int(table::cSegment) << true << "7-2601";
}

void TableModelTest::editedAsComputedAfresh() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, atFault);
    QFETCH(QString, typed);
    TableModel m;
    m.resetRows(randomTree(3000));
    if (atFault) QVERIFY(m.setData(m.index(2600, table::cSegment), "99999-2601", Qt::EditRole));
    // -1: the last outlet, whose air every segment toward the fan carries.
    if (row == -1)
        for (row = m.systemRows() - 1; m.rowTexts(row)[table::cFlow].empty(); --row) {
        }
    // -2, -3: the air's temperature, the fan's node.
    if (row == -2 || row == -3) {
        ductsys::DocumentSettings settings = m.settings();
        (row == -2 ? settings.temperature : settings.fan) = typed.toStdString();
        m.setSettings(settings);
    } else if (typed == QLatin1String("delete")) {
        m.removeSystemRows(row, 1);
    } else {
        QVERIFY(m.setData(m.index(row, column), typed, Qt::EditRole));
    }
    compareWithFresh(m);
    // And back: undone, the figures are the first ones again.
    m.undoStack()->undo();
    compareWithFresh(m);
    m.undoStack()->redo();
    compareWithFresh(m);
}

QTEST_MAIN(TableModelTest)
#include "tst_table_model.moc"
