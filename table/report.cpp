// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/report.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QDate>
#include <QDateTime>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include "calc/calc_state.h"
#include "calc/number_text.h"
#include "chartview/chart_painter.h"
#include "messages/catalogue.h"
#include "system/fittings.h"
#include "system/junction_remedies.h"
#include "system/readers.h"
#include "system/report.h"
#include "system/report_sections.h"
#include "table/system_chart.h"
#include "table/table_model.h"
#include "table/words.h"

namespace table {

namespace {

QString name(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

// A segment's figure by its key, from the values its reports show.
std::optional<float> figureOf(const ductsys::ReportValues& values, ductsys::FigureKey key) {
    for (std::size_t c = 0; c < ductsys::kReportFigures.size(); ++c)
        if (ductsys::kReportFigures[c] == key) return values[c];
    return std::nullopt;
}

}  // namespace

QString reportHtml(const TableModel& model) {
    const ductsys::SystemResult& r = model.result();
    QString html;
    // The file's name stands in the page's header; the document's own
    // title block follows the heading. Sections sit close, so that a small
    // system's report fits its first page.
    html += QStringLiteral(
        "<html><head><style>p { margin-top: 1px; margin-bottom: 1px; } "
        "h3 { margin-top: 7px; margin-bottom: 2px; }</style></head>"
        "<body style=\"font-size: 8pt\"><h2>风管水力计算书</h2>");

    // The title block a reviewer signs: captions and values in pairs, the
    // empty ones left blank to be filled in by hand.
    const auto block = ductsys::titleBlock(
        model.settings(),
        QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString());
    html +=
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    constexpr std::size_t kPairs = 3;
    for (std::size_t first = 0; first < block.size(); first += kPairs) {
        html += QStringLiteral("<tr>");
        for (std::size_t i = first; i < first + kPairs && i < block.size(); ++i)
            html +=
                QStringLiteral("<th align=\"left\" width=\"10%\">%1</th><td width=\"23%\">%2</td>")
                    .arg(name(block[i].caption), name(block[i].value));
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");

    html += QStringLiteral("<h3>计算依据</h3>");
    for (const std::string& line : ductsys::calculationBasis(false))
        html += QStringLiteral("<p>%1</p>").arg(name(line));
    html += QStringLiteral("<h3>计算方法</h3><p>%1</p>")
                .arg(name(ductsys::calculationMethod(ductsys::SizingMethod::none)));

    // The air the figures stand for.
    const calc::AirState& air = model.options().air;
    html += QStringLiteral(
                "<h3>空气状态</h3><p>空气：%1 °C，%2 kPa；密度 %3 kg/m3，运动黏度 %4 m2/s</p>")
                .arg(shownFigure(model.temperature()), shownFigure(model.pressure()),
                     shownFigure(air.density), shownFigure(air.viscosity));
    html += QStringLiteral("<h3>摩擦系数公式</h3>");
    for (const std::string& line : ductsys::frictionFormulaNames(ductsys::formulasInUse(r)))
        html += QStringLiteral("<p>%1</p>").arg(name(line));
    for (const auto& e : r.errors)
        html += QStringLiteral("<p style=\"color:#b00000\">%1</p>")
                    .arg(said(e.message).toHtmlEscaped());

    html += QStringLiteral(
        "<h3>水力计算表</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">"
        "<thead><tr>");
    for (int c = 0; c < kColumns; ++c)
        html += QStringLiteral("<th>%1</th>")
                    .arg(model.headerData(c, Qt::Horizontal, Qt::DisplayRole)
                             .toString()
                             .toHtmlEscaped()
                             .replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    html += QStringLiteral("</tr></thead>");
    for (int row = 0; row < model.systemRows(); ++row) {
        // Empty rows of the grid are no segments.
        if (model.segmentOfRow(row) == ductsys::kNone) continue;
        const ductsys::ReportValues values =
            ductsys::reportValues(r.segments[model.segmentOfRow(row)]);
        html += model.onIndexRun(row) ? QStringLiteral("<tr bgcolor=\"#ffeeb8\">")
                                      : QStringLiteral("<tr>");
        for (int c = 0; c < kColumns; ++c) {
            // Numbers right-aligned, as the grid shows them.
            const bool right = model.data(model.index(row, c), Qt::TextAlignmentRole)
                                   .value<Qt::Alignment>()
                                   .testFlag(Qt::AlignRight);
            html += QStringLiteral("<td%1>%2</td>")
                        .arg(right ? QStringLiteral(" align=\"right\"") : QString(),
                             name(isInput(c)
                                      ? model.cellText(row, c)
                                      : ductsys::fixedFigure(
                                            kColumnFigures[c - kInputColumns],
                                            figureOf(values, kColumnFigures[c - kInputColumns]))));
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");

    // The index run and its total, then every path from the fan.
    html += QStringLiteral("<h3>最不利环路</h3>");
    if (r.fan.indexOutlet != ductsys::kNone) {
        QString run;
        for (const std::uint32_t s : r.pathTo(r.fan.indexOutlet)) {
            if (!run.isEmpty()) run += QStringLiteral(" → ");
            run += name(ductsys::segmentLabel(r, s));
        }
        html += QStringLiteral("<p>最不利环路：%1；阻力合计 %2 Pa</p>")
                    .arg(run, name(ductsys::fixedText(*r.fan.indexTotal, 1)));
    } else {
        html += QStringLiteral("<p>最不利环路：无法确定%1</p>")
                    .arg(r.fan.reason.empty() ? QString()
                                              : QStringLiteral("（%1）").arg(name(msg::renderList(
                                                    r.fan.reason, msg::Language::chinese))));
    }
    html += QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">"
        "<thead><tr><th>末段</th><th>环路</th><th>累计阻力 Pa</th></tr></thead>");
    for (const std::uint32_t outlet : r.outlets) {
        QString path;
        for (const std::uint32_t s : r.pathTo(outlet)) {
            if (!path.isEmpty()) path += QStringLiteral(" → ");
            path += name(r.segmentNames[s]);
        }
        const ductsys::Segment& seg = r.segments[outlet];
        html += QStringLiteral("<tr><td>%1%2</td><td>%3</td><td align=\"right\">%4</td></tr>")
                    .arg(name(r.segmentNames[outlet]),
                         outlet == r.fan.indexOutlet ? QStringLiteral("（最不利环路）") : QString(),
                         path,
                         seg.has(ductsys::Figure::pathTotal)
                             ? name(ductsys::fixedText(seg.pathTotal, 1))
                             : QString::fromUtf8(calc::kFailMarker.data()));
    }
    html += QStringLiteral("</table>");

    html +=
        QStringLiteral("<h3>风机选型</h3><p>%1</p>")
            .arg(name(ductsys::fanSelectionLine(ductsys::fanSelection(r.fan, model.leakage()))));

    // Each junction, and for one over the limit what would balance it.
    html += QStringLiteral(
        "<h3>节点不平衡率与平衡措施</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">"
        "<thead><tr><th>节点</th><th>支路（阻力 Pa）</th><th>不平衡率</th><th>平衡措施</th></tr>"
        "</thead>");
    const std::vector<ductsys::Remedy> remedies = model.allRemedies();
    for (std::uint32_t j = 0; j < r.junctions.size(); ++j) {
        const ductsys::Junction& junction = r.junctions[j];
        QString branches;
        for (std::uint32_t b = junction.firstBranch;
             b < junction.firstBranch + junction.branchCount; ++b) {
            if (!branches.isEmpty()) branches += QStringLiteral("；");
            branches += name(r.segmentNames[r.branches[b].segment]) + QStringLiteral(" ") +
                        (r.branches[b].total ? name(ductsys::fixedText(*r.branches[b].total, 1))
                                             : QString::fromUtf8(calc::kFailMarker.data()));
        }
        QString remedyText;
        for (const ductsys::Remedy& remedy : remedies) {
            if (remedy.junction != j) continue;
            for (const std::string& line :
                 {ductsys::remedyDamperLine(r, remedy), ductsys::remedyResizeLine(r, remedy)})
                remedyText +=
                    (remedyText.isEmpty() ? QString() : QStringLiteral("<br>")) + name(line);
        }
        if (remedyText.isEmpty()) remedyText = junction.flagged ? QStringLiteral("—") : QString();
        html += QStringLiteral(
                    "<tr%1><td>%2</td><td>%3</td><td align=\"right\">%4</td><td>%5</td></tr>")
                    .arg(junction.flagged ? QStringLiteral(" style=\"color:#c00000\"") : QString(),
                         name(r.nodeNames[junction.node]), branches,
                         junction.imbalance ? name(ductsys::imbalanceText(*junction.imbalance))
                                            : QString::fromUtf8(calc::kFailMarker.data()),
                         remedyText);
    }
    html += QStringLiteral("</table>");
    if (!remedies.empty())
        html += QStringLiteral("<p>改尺寸的风速限值：%1</p>")
                    .arg(name(ductsys::remedyLimitsName(model.maxVelocity())));

    // 局部阻力明细: where each fitting's ζ comes from, as the workbook lists it.
    if (!r.zetaDetails.empty()) {
        html += QStringLiteral(
            "<h3>局部阻力明细</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">"
            "<thead><tr><th>段号</th><th>局部阻力</th><th>管件</th><th>参数</th><th>ζ</th>"
            "<th>参照速度</th><th>本段ζ</th><th>出处</th><th>适用范围</th></tr></thead>");
        auto zeta = [](std::optional<double> x) {
            float single = 0;
            return x && calc::storeSingle(single, *x)
                       ? QString::fromStdString(calc::bareNumberText(single))
                       : QString::fromUtf8(calc::kFailMarker.data());
        };
        for (const ductsys::ZetaDetail& d : r.zetaDetails) {
            for (const ductsys::TermResult& t : d.terms) {
                const ductsys::fittings::Fitting* f =
                    t.id.empty() ? nullptr : ductsys::fittings::find(t.id);
                html +=
                    QStringLiteral(
                        "<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td>"
                        "<td>%6</td><td>%7</td><td>%8</td><td>%9</td></tr>")
                        .arg(name(r.segmentNames[d.segment]), name(t.text),
                             f ? name(f->chinese) + QStringLiteral(" ") + name(f->id)
                               : QStringLiteral("数值"),
                             name(t.arguments), zeta(t.zeta),
                             name(ductsys::fittings::refersToCaption(t.refersTo)),
                             zeta(t.onSegment), name(t.source),
                             t.valid ? QStringLiteral("是")
                                     : QStringLiteral("否：") +
                                           name(msg::renderList(t.note, msg::Language::chinese)));
            }
        }
        html += QStringLiteral("</table>");
    }
    html += QStringLiteral("</body></html>");
    return html;
}

bool printReport(const TableModel& model, const QString& title, QPrinter& printer,
                 const ductsys::ChartOptions& chart) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const qreal dpi = printer.resolution();
    const qreal band = dpi * 0.35;  // header and footer, each
    const QRectF body(0, band, page.width(), page.height() - 2 * band);

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 8));
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setHtml(reportHtml(model));
    doc.setPageSize(body.size());
    // The table's pages, then one page for the chart of the system.
    const int pages = doc.pageCount() + 1;
    // The footer names the project, or the file when the title block has none.
    const std::string_view named = ductsys::trimmed(model.settings().project);
    const QString project =
        named.empty() ? title : QString::fromUtf8(named.data(), qsizetype(named.size()));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    for (int p = 0; p < pages; ++p) {
        if (p > 0) printer.newPage();
        painter.save();
        painter.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 8));
        painter.drawText(QRectF(0, 0, page.width(), band * 0.8), Qt::AlignLeft | Qt::AlignBottom,
                         title + QStringLiteral("  风管水力计算书"));
        painter.drawText(QRectF(0, 0, page.width(), band * 0.8), Qt::AlignRight | Qt::AlignBottom,
                         stamp);
        painter.drawLine(QPointF(0, band * 0.85), QPointF(page.width(), band * 0.85));
        const QRectF footer(0, page.height() - band * 0.8, page.width(), band * 0.8);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignTop, project);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignTop,
                         QStringLiteral("第 %1 页 共 %2 页").arg(p + 1).arg(pages));
        painter.restore();

        if (p == pages - 1) {
            // The chart at its export size, scaled to the body and centred.
            painter.save();
            const QSizeF size(chartview::kExportWidth, chartview::kExportHeight);
            const qreal scale =
                std::min(body.width() / size.width(), body.height() / size.height());
            painter.translate(body.left() + (body.width() - size.width() * scale) / 2, body.top());
            painter.scale(scale, scale);
            chartview::paintChart(painter, systemChart(model, chart), size);
            painter.restore();
            continue;
        }
        painter.save();
        painter.translate(body.left(), body.top() - p * body.height());
        const QRectF clip(0, p * body.height(), body.width(), body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip;
        painter.setClipRect(clip);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
    return true;
}

}  // namespace table
