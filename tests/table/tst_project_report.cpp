// SPDX-License-Identifier: GPL-3.0-or-later
// The 计算书 a reviewer signs, on the grid's side: 项目信息 kept with the
// document (Save, Open, undo), the PDF read back by pdftotext, and the
// remedies of a junction over the limit applied from the side panel as one
// undoable step.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "table/project_info.h"
#include "table/side_panel.h"
#include "table/system_file.h"
#include "table/table_model.h"
#include "table/table_window.h"

using table::TableModel;
using table::TableWindow;

namespace {

// The hand-worked system, from the fixture every test of it reads.
const char* const kSystem = DUCTCALC_TEST_DATA "/hand_worked.csv";

// Opens 项目信息 from its menu item, types `texts` (object name → text) into
// its fields and presses OK; whether the dialog took them.
bool fillProjectInfo(TableWindow& window, const QList<QPair<QString, QString>>& texts) {
    bool accepted = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<table::ProjectInfoDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        for (const auto& [field, text] : texts) dialog->field(field)->setText(text);
        dialog->accept();
        accepted = dialog->result() == QDialog::Accepted;
        if (!accepted) dialog->reject();
    });
    window.findChild<QAction*>(QStringLiteral("projectInfo"))->trigger();
    return accepted;
}

// A command's standard output, or none when the program is not installed.
std::optional<QString> run(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return std::nullopt;
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The junction at node A of the hand-worked system.
const ductsys::Junction& junctionA(const TableModel& m) {
    const ductsys::SystemResult& r = m.result();
    for (const ductsys::Junction& j : r.junctions)
        if (r.nodeNames[j.node] == "A") return j;
    qFatal("no junction A");
}

}  // namespace

class ProjectReportTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        window_ = std::make_unique<TableWindow>();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QVERIFY(window_->openFile(QString::fromUtf8(kSystem), true));
        // The figures below were worked in 公式一; the grid's own default is 公式二.
        table::DocumentSettings formulaOne = window_->model()->settings();
        formulaOne.formula = "1";
        window_->model()->applySettings(formulaOne);
    }
    void cleanup() {
        window_->model()->undoStack()->setClean();
        window_.reset();
    }
    void projectInfoIsPartOfTheDocument_data();
    void projectInfoIsPartOfTheDocument();
    void unreadableLeakageIsNotTaken();
    void pdfReadsBackAsTheReviewerSignsIt_data();
    void pdfReadsBackAsTheReviewerSignsIt();
    void pdfRepeatsTheHeaderOnEveryPage();
    void remedyAppliesAsOneStep_data();
    void remedyAppliesAsOneStep();
    void noResizeWithinTheLimitIsNotOffered();
    void panelShowsTheChosenJunctionsRemedies_data();
    void panelShowsTheChosenJunctionsRemedies();

private:
    std::unique_ptr<TableWindow> window_;
};

void ProjectReportTest::projectInfoIsPartOfTheDocument_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fileLine");  // the row above the header
    QTest::addColumn<QString>("fan");       // what the side panel's fan says, if anything
    QTest::newRow("the project's name in Chinese")
        << "project" << QStringLiteral("某办公楼空调工程")
        << QStringLiteral("工程名称,某办公楼空调工程") << QString();
    QTest::newRow("a system number with a slash")
        << "systemName"
        << "K-1/2F" << QStringLiteral("子项/系统编号,K-1/2F") << QString();
    QTest::newRow("a designer's names with a comma are quoted")
        << "designer" << QStringLiteral("张三, 李四") << QStringLiteral("设计,\"张三, 李四\"")
        << QString();
    QTest::newRow("the checker") << "checker" << QStringLiteral("王五")
                                 << QStringLiteral("校对,王五") << QString();
    QTest::newRow("the reviewer") << "reviewer" << QStringLiteral("赵六")
                                  << QStringLiteral("审核,赵六") << QString();
    QTest::newRow("the date") << "date"
                              << "2026-12-11" << QStringLiteral("日期,2026-12-11") << QString();
    // 6000 m3/h with 5 % for leakage: 6300 m3/h for the fan.
    QTest::newRow("a leakage allowance raises the fan's air volume")
        << "leakage"
        << "5" << QStringLiteral("漏风附加,5")
        << QStringLiteral("风量 6300 m3/h（含漏风附加 5.0 %）");
}

void ProjectReportTest::projectInfoIsPartOfTheDocument() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, fileLine);
    QFETCH(QString, fan);
    TableModel* m = window_->model();
    const ductsys::DocumentSettings before = m->settings();
    QVERIFY(fillProjectInfo(*window_, {{field, text}}));
    // One step of the document: undoable, and the file is modified.
    QCOMPARE(m->undoStack()->count(), 1);
    QCOMPARE(m->undoStack()->undoText(), QStringLiteral("项目信息"));
    QVERIFY(window_->windowTitle().contains(QLatin1Char('*')));
    if (!fan.isEmpty()) {
        const QString shown = window_->sidePanel()->fanLabel()->text();
        QVERIFY2(shown.contains(fan), qPrintable(shown));
    }

    // Kept on Save as a row above the header, and read back on Open.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sys1.csv"));
    QVERIFY(window_->saveFile(path, true));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QVERIFY2(lines.contains(fileLine), qPrintable(lines.join(QLatin1Char('|'))));
    const qsizetype header =
        lines.indexOf(QRegularExpression(QStringLiteral("^(segment|段号),.*")));
    QVERIFY(header > 0);
    QVERIFY(lines.indexOf(fileLine) < header);
    TableWindow other;
    QVERIFY(other.openFile(path, true));
    QCOMPARE(other.model()->settings(), m->settings());
    QCOMPARE(other.model()->systemRows(), m->systemRows());

    // Undone, the field is as it was.
    m->undoStack()->undo();
    QCOMPARE(m->settings(), before);
    other.model()->undoStack()->setClean();
}

void ProjectReportTest::unreadableLeakageIsNotTaken() {
    TableModel* m = window_->model();
    bool refused = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<table::ProjectInfoDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->field(QStringLiteral("leakage"))->setText(QStringLiteral("五"));
        dialog->accept();
        // Still open, and saying why.
        refused = dialog->isVisible() && dialog->findChild<QLabel*>(QStringLiteral("problem"))
                                             ->text()
                                             .contains(QStringLiteral("漏风附加"));
        dialog->reject();
    });
    window_->findChild<QAction*>(QStringLiteral("projectInfo"))->trigger();
    QVERIFY(refused);
    QCOMPARE(m->undoStack()->count(), 0);
}

void ProjectReportTest::pdfReadsBackAsTheReviewerSignsIt_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("the title block's project") << QStringLiteral("某办公楼空调工程");
    QTest::newRow("the title block's system") << QStringLiteral("K-1");
    QTest::newRow("the designer") << QStringLiteral("张三");
    QTest::newRow("the date as given") << QStringLiteral("2026-12-11");
    QTest::newRow("the basis") << QStringLiteral("GB 50736-2012");
    QTest::newRow("the method") << QStringLiteral("校核计算");
    QTest::newRow("the friction formula by name") << QStringLiteral("公式一：");
    QTest::newRow("the air") << QStringLiteral("空气：20 °C，101.325 kPa");
    // F-G: 67.30085 Pa, the index run.
    QTest::newRow("the index run and its total")
        << QStringLiteral("最不利环路：F-G；阻力合计 67.3 Pa");
    // 6000 m3/h with 5 % leakage; 67.30085 × 1.1 = 74.03094 Pa.
    QTest::newRow("the fan-selection line")
        << QStringLiteral("风机选型：风量 6300 m3/h（含漏风附加 5.0 %），全压 74.0 Pa");
    // Junction A: A-B 21.41855 Pa against A-C 31.41855 Pa, 31.83 % apart;
    // a damper adds 10 Pa, ζ = 10 / 29.03163 = 0.3445 on A-B's Pd.
    QTest::newRow("the junction over the limit") << QStringLiteral("31.8%");
    QTest::newRow("the damper that balances it")
        << QStringLiteral("阀门：A-B 增加 10.0 Pa，ζ = 0.3445");
    QTest::newRow("fixed decimals: F-A's velocity 8.680555 as 8.68") << QStringLiteral(" 8.68 ");
    QTest::newRow("fixed decimals: F-A's λ 0.01596997 as 0.0160") << QStringLiteral(" 0.0160 ");
    QTest::newRow("fixed decimals: F-A's Re 224935.8 as 224936") << QStringLiteral(" 224936 ");
}

void ProjectReportTest::pdfReadsBackAsTheReviewerSignsIt() {
    QFETCH(QString, text);
    TableModel* m = window_->model();
    ductsys::DocumentSettings s = m->settings();
    s.project = "某办公楼空调工程";
    s.systemName = "K-1";
    s.designer = "张三";
    s.date = "2026-12-11";
    s.leakage = "5";
    m->setSettings(s);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sys1.pdf"));
    QVERIFY(window_->exportPdf(path));
    const std::optional<QString> pdf =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdf) QSKIP("pdftotext (poppler-utils) is not installed");
    QVERIFY2(pdf->contains(text), qPrintable(*pdf));
    // The footer names the project and the page on each of the two pages
    // (the report's and the chart's); pdftotext drops the blanks between
    // Chinese characters and figures.
    QString flat = *pdf;
    flat.remove(QRegularExpression(QStringLiteral("\\s+")));
    QCOMPARE(flat.count(QStringLiteral("某办公楼空调工程")), 3);
    QVERIFY(flat.contains(QStringLiteral("某办公楼空调工程第1页共2页")));
    QVERIFY(flat.contains(QStringLiteral("某办公楼空调工程第2页共2页")));

    // A4 landscape: 842 × 595 points.
    const std::optional<QString> info = run(QStringLiteral("pdfinfo"), {path});
    QVERIFY(info);
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts")).match(*info);
    QVERIFY2(size.hasMatch(), qPrintable(*info));
    QCOMPARE(qRound(size.captured(1).toDouble()), 842);
    QCOMPARE(qRound(size.captured(2).toDouble()), 595);
}

void ProjectReportTest::pdfRepeatsTheHeaderOnEveryPage() {
    // A run of 120 segments in file order: the table takes several pages.
    std::vector<table::RowTexts> rows(120);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i][table::cSegment] = std::to_string(i + 1) + "-" + std::to_string(i + 2);
        rows[i][table::cFlow] = "1000";
        rows[i][table::cSize] = "φ250";
        rows[i][table::cLength] = "2";
    }
    window_->model()->resetRows(std::move(rows));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.pdf"));
    QVERIFY(window_->exportPdf(path));
    const std::optional<QString> info = run(QStringLiteral("pdfinfo"), {path});
    if (!info) QSKIP("pdfinfo (poppler-utils) is not installed");
    const int pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(*info).captured(1).toInt();
    QVERIFY2(pages >= 4, qPrintable(*info));
    // Every page of the table (the last is the chart's) carries its header.
    int tablePages = 0;
    for (int p = 1; p < pages; ++p) {
        const QString page =
            *run(QStringLiteral("pdftotext"),
                 {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(p),
                  QStringLiteral("-l"), QString::number(p), path, QStringLiteral("-")});
        QString flat = page;
        flat.remove(QRegularExpression(QStringLiteral("\\s+")));
        QVERIFY2(flat.contains(QStringLiteral("第%1页共%2页").arg(p).arg(pages)), qPrintable(page));
        // A page of the table has its rows: the segment, then its 1000 m3/h.
        if (!page.contains(QRegularExpression(QStringLiteral("(^|\\n)\\s*\\d+-\\d+\\s+1000\\s"))))
            continue;
        ++tablePages;
        QVERIFY2(page.contains(QStringLiteral("段号")) && page.contains(QStringLiteral("比摩阻")),
                 qPrintable(page));
    }
    QVERIFY(tablePages >= 2);
}

void ProjectReportTest::remedyAppliesAsOneStep_data() {
    QTest::addColumn<QString>("maxVelocity");
    QTest::addColumn<int>("item");  // in the side panel's list: 1 the damper, 2 the resize
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<double>("imbalance");
    // Junction A: A-B 21.41855 Pa against A-C 31.41855 Pa (31.83 %). A-B
    // is 400x250, v 6.944444, Pd 29.03163 Pa.
    // The damper: 10 Pa, ζ = 10 / 29.03163 = 0.34445, written 0.3445:
    // A-B's ζ 0.3 + 0.3445 = 0.6445, Z = 0.6445 × 29.03163 = 18.71089,
    // total 12.70906 + 18.71089 = 31.41995; (31.41995 − 31.41855) /
    // 31.41995 = 0.0045 %.
    QTest::newRow("the damper adds its ζ to A-B's ζ cell")
        << QString() << 1 << int(table::cZeta) << "0.3+0.3445" << 0.0000445;
    // The resize within 10 m/s: 320x250 (250x250 would carry 11.1 m/s).
    // De = 2·0.32·0.25 / 0.57 = 0.2807018, v = 2500 / 3600 / 0.08 =
    // 8.680556, Re 161796, λ 0.01719102, Rm 2.778101, Rm·l 22.22481,
    // Pd 45.36193, Z 0.3 × 45.36193 = 13.60858, total 35.83339; against
    // A-C's 31.41855: 4.41484 / 35.83339 = 12.32 %, within 15 %.
    QTest::newRow("the resize within 10 m/s steps A-B down to 320*250")
        << "10" << 2 << int(table::cSize) << "320*250" << 0.1232046;
}

void ProjectReportTest::remedyAppliesAsOneStep() {
    QFETCH(QString, maxVelocity);
    QFETCH(int, item);
    QFETCH(int, column);
    QFETCH(QString, cell);
    QFETCH(double, imbalance);
    TableModel* m = window_->model();
    if (!maxVelocity.isEmpty()) {
        ductsys::DocumentSettings s = m->settings();
        s.maxVelocity = maxVelocity.toStdString();
        m->setSettings(s);
    }
    const int steps = m->undoStack()->count();
    constexpr int kAB = 1;  // A-B's row
    const QString before = m->data(m->index(kAB, column), Qt::EditRole).toString();
    QVERIFY(junctionA(*m).flagged);
    QListWidget* list = window_->sidePanel()->remedyList();
    // A-B's junction, its damper, its resize.
    QCOMPARE(list->count(), 3);
    QVERIFY(list->item(0)->text().contains(QStringLiteral("节点 A：A-B")));
    list->setCurrentRow(item);
    window_->sidePanel()->findChild<QPushButton*>(QStringLiteral("applyRemedy"))->click();

    QCOMPARE(m->undoStack()->count(), steps + 1);
    QCOMPARE(m->data(m->index(kAB, column), Qt::EditRole).toString(), cell);
    QVERIFY(m->marked(kAB, column));
    QVERIFY(!junctionA(*m).flagged);
    QVERIFY2(qAbs(*junctionA(*m).imbalance - imbalance) < 1e-6,
             qPrintable(QString::number(*junctionA(*m).imbalance, 'g', 10)));
    // The junction is balanced: nothing left to offer.
    QCOMPARE(list->count(), 1);

    m->undoStack()->undo();
    QCOMPARE(m->data(m->index(kAB, column), Qt::EditRole).toString(), before);
    QVERIFY(!m->marked(kAB, column));
    QVERIFY(junctionA(*m).flagged);
    QVERIFY(qAbs(*junctionA(*m).imbalance - 0.3183) < 1e-4);
}

void ProjectReportTest::noResizeWithinTheLimitIsNotOffered() {
    // With 公共建筑's 6.5 m/s for a 支管, A-B (6.94 m/s already) has no
    // smaller size: the resize says so and cannot be applied.
    TableModel* m = window_->model();
    const std::vector<ductsys::Remedy> remedies = m->allRemedies();
    QCOMPARE(remedies.size(), std::size_t(1));
    QVERIFY(remedies[0].resize.empty());
    QVERIFY(!m->applyRemedy(remedies[0], TableModel::RemedyKind::resize));
    QCOMPARE(m->undoStack()->count(), 0);
    QListWidget* list = window_->sidePanel()->remedyList();
    QVERIFY(list->item(2)->text().contains(QStringLiteral("没有更接近平衡的标准尺寸")));
    list->setCurrentRow(2);
    QVERIFY(
        !window_->sidePanel()->findChild<QPushButton*>(QStringLiteral("applyRemedy"))->isEnabled());
    QVERIFY(window_->sidePanel()
                ->findChild<QLabel*>(QStringLiteral("remedyLimits"))
                ->text()
                .contains(QStringLiteral("GB 50736-2012")));
}

void ProjectReportTest::panelShowsTheChosenJunctionsRemedies_data() {
    QTest::addColumn<int>("junctions");  // over the limit
    QTest::addColumn<int>("chosen");     // the tree's row chosen, -1 for none
    QTest::addColumn<QStringList>("lines");
    // Junction Jn: Jn-An and Jn-Bn, each φ250 at 1000 m3/h with ζ 1
    // (19.27757 Pa), Jn-Bn with 10 Pa more: 10 / 29.27757 = 34.2 %.
    QTest::newRow("a few junctions over the limit are all listed")
        << 2 << -1
        << QStringList{QStringLiteral("节点 J1：J1-A1"), QStringLiteral("节点 J2：J2-A2")};
    QTest::newRow("many are listed to the fifth, and the rest counted")
        << 7 << -1
        << QStringList{QStringLiteral("节点 J5：J5-A5"), QStringLiteral("另有 2 个节点超过限值")};
    // The tree's rows: F first, then J1 … in order of appearance.
    QTest::newRow("the junction chosen in the tree alone")
        << 7 << 7 << QStringList{QStringLiteral("节点 J7：J7-A7")};
    QTest::newRow("a junction within the limit chosen says so")
        << 7 << 0 << QStringList{QStringLiteral("所选节点在限值内")};
}

void ProjectReportTest::panelShowsTheChosenJunctionsRemedies() {
    QFETCH(int, junctions);
    QFETCH(int, chosen);
    QFETCH(QStringList, lines);
    std::vector<table::RowTexts> rows;
    for (int n = 1; n <= junctions; ++n) {
        const std::string j = "J" + std::to_string(n);
        for (const char* end : {"", "A", "B"}) {
            table::RowTexts& r = rows.emplace_back();
            r[table::cSize] = "φ250";
            if (*end == 0) {
                r[table::cSegment] = "F-" + j;
                continue;
            }
            r[table::cSegment] = j + "-" + end + std::to_string(n);
            r[table::cFlow] = "1000";
            r[table::cZeta] = "1";
            if (*end == 'B') r[table::cDp] = "10";
        }
    }
    window_->model()->resetRows(std::move(rows));
    QTreeView* tree = window_->sidePanel()->junctionTree();
    if (chosen >= 0) tree->setCurrentIndex(tree->model()->index(chosen, 0));
    QListWidget* list = window_->sidePanel()->remedyList();
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
    for (const QString& line : lines)
        QVERIFY2(shown.filter(line).size() == 1, qPrintable(shown.join(QLatin1Char('|'))));
    // Five junctions at most, three lines each.
    QVERIFY(list->count() <= 5 * 3 + 1);
}

QTEST_MAIN(ProjectReportTest)
#include "tst_project_report.moc"
