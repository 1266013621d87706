// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include "calc_state.h"
#include "chart_painter.h"
#include "number_text.h"
#include "system_chart.h"
#include "table_model.h"

namespace table {

namespace {

QString name(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

}  // namespace

QString reportHtml(const TableModel& model, const QString& title) {
    const ductsys::SystemResult& r = model.result();
    QString html;
    html += QStringLiteral("<html><body style=\"font-size: 8pt\"><h2>%1</h2>")
                .arg(title.toHtmlEscaped());

    html += QStringLiteral(
                "<h3>风机</h3><p>风量 %1 m3/h；最不利环路阻力 %2 Pa；余量 %3 %；"
                "风机压力 %4 Pa</p>")
                .arg(shownFigure(r.fan.airVolume), shownFigure(r.fan.indexTotal),
                     shownFigure(r.fan.margin * 100), shownFigure(r.fan.pressure));
    // The air the figures stand for.
    const calc::AirState& air = model.options().air;
    html += QStringLiteral("<p>空气：%1 °C，%2 kPa；密度 %3 kg/m3，运动黏度 %4 m2/s</p>")
                .arg(shownFigure(model.temperature()), shownFigure(model.pressure()),
                     shownFigure(air.density), shownFigure(air.viscosity));
    for (const auto& e : r.errors)
        html += QStringLiteral("<p style=\"color:#b00000\">%1</p>")
                    .arg(QString::fromStdString(e.message).toHtmlEscaped());

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
        html += model.onIndexRun(row) ? QStringLiteral("<tr bgcolor=\"#ffeeb8\">")
                                      : QStringLiteral("<tr>");
        for (int c = 0; c < kColumns; ++c) {
            // Numbers right-aligned, as the grid shows them.
            const bool right = model.data(model.index(row, c), Qt::TextAlignmentRole)
                                   .value<Qt::Alignment>()
                                   .testFlag(Qt::AlignRight);
            html += QStringLiteral("<td%1>%2</td>")
                        .arg(right ? QStringLiteral(" align=\"right\"") : QString(),
                             name(model.cellText(row, c)));
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");

    html += QStringLiteral(
        "<h3>环路</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">"
        "<tr><th>末段</th><th>环路</th><th>累计阻力 Pa</th></tr>");
    for (const std::uint32_t outlet : r.outlets) {
        QString path;
        for (const std::uint32_t s : r.pathTo(outlet)) {
            if (!path.isEmpty()) path += QStringLiteral(" → ");
            path += name(r.segmentNames[s]);
        }
        const ductsys::Segment& seg = r.segments[outlet];
        html += QStringLiteral("<tr><td>%1%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(name(r.segmentNames[outlet]),
                         outlet == r.fan.indexOutlet ? QStringLiteral("（最不利环路）") : QString(),
                         path,
                         seg.has(ductsys::Figure::pathTotal)
                             ? shownFigure(seg.pathTotal)
                             : QString::fromUtf8(calc::kFailMarker.data()));
    }
    html += QStringLiteral("</table>");

    html += QStringLiteral(
        "<h3>节点</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">"
        "<tr><th>节点</th><th>支路（阻力 Pa）</th><th>不平衡率</th></tr>");
    for (const ductsys::Junction& j : r.junctions) {
        QString branches;
        for (std::uint32_t b = j.firstBranch; b < j.firstBranch + j.branchCount; ++b) {
            if (!branches.isEmpty()) branches += QStringLiteral("；");
            branches += name(r.segmentNames[r.branches[b].segment]) + QStringLiteral(" ") +
                        shownFigure(r.branches[b].total);
        }
        html += QStringLiteral("<tr%1><td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(j.flagged ? QStringLiteral(" style=\"color:#c00000\"") : QString(),
                         name(r.nodeNames[j.node]), branches,
                         j.imbalance ? shownFigure(*j.imbalance * 100) + QStringLiteral(" %")
                                     : QString::fromUtf8(calc::kFailMarker.data()));
    }
    html += QStringLiteral("</table></body></html>");
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
    doc.setHtml(reportHtml(model, title));
    doc.setPageSize(body.size());
    // The table's pages, then one page for the chart of the system.
    const int pages = doc.pageCount() + 1;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    for (int p = 0; p < pages; ++p) {
        if (p > 0) printer.newPage();
        painter.save();
        painter.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 8));
        painter.drawText(QRectF(0, 0, page.width(), band * 0.8), Qt::AlignLeft | Qt::AlignBottom,
                         title + QStringLiteral("  风管水力计算表"));
        painter.drawText(QRectF(0, 0, page.width(), band * 0.8), Qt::AlignRight | Qt::AlignBottom,
                         stamp);
        painter.drawLine(QPointF(0, band * 0.85), QPointF(page.width(), band * 0.85));
        painter.drawText(QRectF(0, page.height() - band * 0.8, page.width(), band * 0.8),
                         Qt::AlignHCenter | Qt::AlignTop,
                         QStringLiteral("第 %1 页，共 %2 页").arg(p + 1).arg(pages));
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
