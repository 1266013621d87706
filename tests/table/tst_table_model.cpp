// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's model: edits recompute the system, the calculator's reading
// marks, the index run, undo and redo of every step, blocks in and out, the
// system's file.
#include <QTemporaryDir>
#include <QTest>

#include "size_choice.h"
#include "system_file.h"
#include "table_model.h"

using table::RowTexts;
using table::TableModel;
using table::TextBlock;

namespace {

// The system of tests/system/test_system.cpp, fan at F: the figures below
// are the calculator's (README) and the system layer's hand-worked ones.
//   F-A Σ 500x320 5 m ζ 0.5;  A-B 2500 400x250 8 m ζ 0.3;
//   A-C 2500 400×250 8 m ζ 0.25+0.05 dp 10;  F-G 1000 φ200 10 m ζ 0.5
std::vector<RowTexts> handWorked() {
    auto row = [](std::string seg, std::string flow, std::string size, std::string length,
                  std::string zeta, std::string dp = {}) {
        RowTexts r;
        r[table::cSegment] = seg;
        r[table::cFlow] = flow;
        r[table::cSize] = size;
        r[table::cLength] = length;
        r[table::cZeta] = zeta;
        r[table::cDp] = dp;
        return r;
    };
    return {row("F-A", "", "500x320", "5", "0.5"), row("A-B", "2500", "400x250", "8", "0.3"),
            row("A-C", "2500", "400×250", "8", "0.25+0.05", "10"),
            row("F-G", "1000", "φ200", "10", "0.5")};
}

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
    void fileRoundTrip();
    void gb18030File();
    void tabSeparated_data();
    void tabSeparated();
    void sizeChoices_data();
    void sizeChoices();
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
    QTest::newRow("a roughness held within its limits") << int(table::cK) << "20"
                                                        << "粗糙度限于 0.01 至 10 mm，按 10 计算";
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
    QVERIFY(m.cellWarning(3, column).contains(warning));
    QCOMPARE(m.data(cell, Qt::DecorationRole).isValid(), !warning.isEmpty());
    if (!warning.isEmpty()) QVERIFY(m.data(cell, Qt::ToolTipRole).toString().contains(warning));
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
    for (int r = 0; r < m.systemRows(); ++r)
        QCOMPARE(m.data(m.index(r, table::cSegment), Qt::BackgroundRole).isValid(),
                 rows.contains(r));
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
    m.setBlock(row, column, table::parseTabSeparated(block.toStdString()), QStringLiteral("粘贴"));
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
    other.setBlock(0, 0, table::parseTabSeparated(block), QStringLiteral("粘贴"));
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

void TableModelTest::fileRoundTrip() {
    std::vector<RowTexts> rows = handWorked();
    rows[0][table::cFrom] = "F";
    rows[0][table::cTo] = "A";
    rows[0][table::cSegment] = "主管, 1";  // a comma needs quotes
    rows[1][table::cMaterial] = "塑料板";
    rows[1][table::cK] = " 0.05 ";  // blanks kept
    rows[2][table::cUnit] = "m3/h";
    rows[3][table::cFormula] = "2";
    rows[3][table::cSegment] = "say \"G\"";  // quotes inside
    rows.push_back({});                      // a blank row stays
    const std::string text = table::systemFileText(rows);
    QVERIFY(text.starts_with("segment,from,to,flow,unit,size,length,zeta,dp,material,k,formula\n"));
    const table::LoadedSystem back = table::readSystemText(text);
    QVERIFY(back.error.empty());
    QCOMPARE(back.rows.size(), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) QCOMPARE(back.rows[r], rows[r]);
}

void TableModelTest::gb18030File() {
    // 段号,风量,尺寸 / 主管,1000,200 in GB18030, as saved by a Chinese
    // Windows spreadsheet, columns in an order of its own.
    const std::string utf8 = "风量,段号,尺寸,备注\n1000,主管,200,x\n";
    const auto bytes = [&] {
        // Encoded back with iconv through the test's own knowledge of the
        // two tables: GB18030 of 风量 is b7e7 c1bf, of 段号 b6ce bac5,
        // 尺寸 b3df b4e7, 主管 d6f7 b9dc, 备注 b1b8 d7a2.
        return std::string(
            "\xb7\xe7\xc1\xbf,\xb6\xce\xba\xc5,\xb3\xdf\xb4\xe7,\xb1\xb8\xd7\xa2\n"
            "1000,\xd6\xf7\xb9\xdc,200,x\n");
    }();
    QVERIFY(!table::isValidUtf8(bytes));
    QCOMPARE(table::gb18030ToUtf8(bytes).value_or(""), utf8);
    const table::LoadedSystem loaded = table::readSystemText(bytes);
    QVERIFY(loaded.error.empty());
    QVERIFY(loaded.wasGb18030);
    QCOMPARE(loaded.rows.size(), std::size_t{1});
    QCOMPARE(loaded.rows[0][table::cSegment], std::string("主管"));
    QCOMPARE(loaded.rows[0][table::cFlow], std::string("1000"));
    QCOMPARE(loaded.ignoredColumns, std::vector<std::string>{"备注"});
    TableModel m;
    m.resetRows(loaded.rows);
    QCOMPARE(text(m, 0, table::cVelocity), QStringLiteral("8.841949"));
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
    const TextBlock block = table::parseTabSeparated(input.toStdString());
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

QTEST_MAIN(TableModelTest)
#include "tst_table_model.moc"
