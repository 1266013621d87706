// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's 线算图 view: a point per segment with the grid's figures, the
// index run marked, points that move as cells are edited, a click that
// selects the segment's row, and the chart exported and in the 计算书.
#include <QDockWidget>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "chartview/chart_widget.h"
#include "table/columns.h"
#include "table/grid_view.h"
#include "table/system_chart.h"
#include "table/system_file.h"
#include "table/table_model.h"
#include "table/table_window.h"

using table::TableWindow;

namespace {

const char* kSystem =
    "segment,flow,size,length,zeta,dp\n"
    "F-A,,500x320,5,0.5,\n"
    "A-B,2500,400x250,8,0.3,\n"
    "A-C,2500,400x250,8,0.25+0.05,10\n"
    "F-G,1000,200,10,0.5,\n";

QString cell(const TableWindow& w, int row, int column) {
    return w.model()->data(w.model()->index(row, column), Qt::DisplayRole).toString();
}

const ductsys::ChartPoint* pointOf(const TableWindow& w, const QString& name) {
    for (const auto& p : w.chart()->panel()->chart().points)
        if (QString::fromStdString(p.name) == name) return &p;
    return nullptr;
}

}  // namespace

class SystemChartTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        window_ = std::make_unique<TableWindow>();
        window_->model()->resetRows(table::readSystemText(kSystem).rows);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() {
        window_->model()->undoStack()->setClean();
        window_.reset();
    }
    void hiddenUntilAskedFor();
    void everySegmentIsAPointWithTheGridsFigures_data();
    void everySegmentIsAPointWithTheGridsFigures();
    void pointsMoveAsCellsAreEdited();
    void clickingAPointSelectsItsRow_data();
    void clickingAPointSelectsItsRow();
    void exportsByTheFilesSuffix_data();
    void exportsByTheFilesSuffix();
    void reportEndsWithTheChart();

private:
    void showChart() {
        window_->chart()->toggleViewAction()->trigger();
        QVERIFY(window_->chart()->isVisible());
        window_->chart()->resize(900, 650);
        QCoreApplication::processEvents();
    }
    std::unique_ptr<TableWindow> window_;
};

void SystemChartTest::hiddenUntilAskedFor() {
    QVERIFY(!window_->chart()->isVisible());
    QVERIFY(window_->chart()->panel()->chart().points.empty());
    QCOMPARE(window_->chart()->toggleViewAction()->text(), QStringLiteral("线算图(&G)"));
    showChart();
    QCOMPARE(window_->chart()->panel()->chart().points.size(), std::size_t{4});
}

void SystemChartTest::everySegmentIsAPointWithTheGridsFigures_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("indexRun");
    QTest::newRow("the trunk, on the index run") << 0 << false;
    QTest::newRow("a rectangular branch") << 1 << false;
    QTest::newRow("the branch with a filter") << 2 << false;
    QTest::newRow("the round run to G, the index run") << 3 << true;
}

void SystemChartTest::everySegmentIsAPointWithTheGridsFigures() {
    QFETCH(int, row);
    QFETCH(bool, indexRun);
    showChart();
    const QString name = cell(*window_, row, table::cSegment);
    const ductsys::ChartPoint* p = pointOf(*window_, name);
    QVERIFY2(p, qPrintable(name));
    // The summed air volume of F-A has no cell of its own.
    const auto& segment = window_->model()->result().segments[window_->model()->segmentOfRow(row)];
    QCOMPARE(p->flow, segment.flow);
    if (!cell(*window_, row, table::cFlow).isEmpty())
        QCOMPARE(QString::fromStdString(p->flowText()), cell(*window_, row, table::cFlow));
    QCOMPARE(QString::fromStdString(p->rmText()), cell(*window_, row, table::cRm));
    QCOMPARE(p->indexRun, indexRun || window_->model()->onIndexRun(row));
    const QString tip = chartview::ChartWidget::describe(*p);
    QVERIFY2(tip.contains(name) && tip.contains(cell(*window_, row, table::cRm)), qPrintable(tip));
}

void SystemChartTest::pointsMoveAsCellsAreEdited() {
    showChart();
    const float before = pointOf(*window_, QStringLiteral("F-G"))->rm;
    window_->model()->setData(window_->model()->index(3, table::cFlow), QStringLiteral("2000"),
                              Qt::EditRole);
    const ductsys::ChartPoint* p = pointOf(*window_, QStringLiteral("F-G"));
    QVERIFY(p);
    QCOMPARE(p->flow, 2000.0f);
    QVERIFY(p->rm > before);
    QCOMPARE(QString::fromStdString(p->rmText()), cell(*window_, 3, table::cRm));
    // A segment that can no longer be computed leaves the chart, and the
    // legend says that one is missing.
    window_->model()->setData(window_->model()->index(3, table::cFlow), QStringLiteral("abc"),
                              Qt::EditRole);
    QVERIFY(!pointOf(*window_, QStringLiteral("F-G")));
    QCOMPARE(window_->chart()->panel()->chart().unplaced.size(), std::size_t{1});
}

void SystemChartTest::clickingAPointSelectsItsRow_data() {
    QTest::addColumn<int>("row");
    QTest::newRow("the first row") << 0;
    QTest::newRow("a rectangular branch") << 1;
    QTest::newRow("the last row") << 3;
}

void SystemChartTest::clickingAPointSelectsItsRow() {
    QFETCH(int, row);
    showChart();
    const ductsys::ChartPoint* p = pointOf(*window_, cell(*window_, row, table::cSegment));
    QVERIFY(p);
    chartview::ChartWidget* view = window_->chart()->panel()->view();
    const QPointF at = view->positionOf(*p);
    QCOMPARE(view->pointAt(at), p);
    QTest::mouseClick(view, Qt::LeftButton, {}, at.toPoint());
    QCOMPARE(window_->grid()->currentIndex().row(), row);
}

void SystemChartTest::exportsByTheFilesSuffix_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("PNG") << "chart.png" << QByteArray("\x89PNG");
    QTest::newRow("PNG in capitals") << "CHART.PNG" << QByteArray("\x89PNG");
    QTest::newRow("SVG") << "chart.svg" << QByteArray("<?xml");
    QTest::newRow("PDF") << "chart.pdf" << QByteArray("%PDF");
    QTest::newRow("an unknown kind") << "chart.bmp" << QByteArray();
}

void SystemChartTest::exportsByTheFilesSuffix() {
    QFETCH(QString, name);
    QFETCH(QByteArray, start);
    showChart();
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QString problem = window_->chart()->panel()->exportTo(path);
    QFile file(path);
    if (start.isEmpty()) {
        QVERIFY(!problem.isEmpty());
        QVERIFY(!file.exists());
        return;
    }
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith(start));
    QVERIFY(!QFile::exists(path + QStringLiteral(".part")));
    if (name.endsWith(QStringLiteral(".svg"))) QCOMPARE(bytes.count("<circle"), 4);
}

void SystemChartTest::reportEndsWithTheChart() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(window_->exportPdf(path));
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    // The table fits one page; the chart takes the second.
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 2);
}

QTEST_MAIN(SystemChartTest)
#include "tst_system_chart.moc"
