// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartview/chart_painter.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>

#include "system/chart_svg.h"

namespace chartview {

namespace {

QString text(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QPen linePen(ductsys::ChartLine::Kind kind) {
    using K = ductsys::ChartLine::Kind;
    switch (kind) {
        case K::diameter:
            return QPen(QColor(0x1f, 0x5f, 0xa8), 0.8);
        case K::velocity: {
            QPen pen(QColor(0xc0, 0x70, 0x00), 0.6);
            pen.setDashPattern({4, 3});
            return pen;
        }
        case K::ceiling:
            return QPen(QColor(0xd0, 0, 0), 1.6);
        case K::recommended: {
            QPen pen(QColor(0x2e, 0x8b, 0x57), 1.2);
            pen.setDashPattern({6, 3});
            return pen;
        }
    }
    return {};
}

void paintFrame(QPainter& p, const ductsys::Chart& chart, const ductsys::ChartLayout& at,
                QSizeF size) {
    const ductsys::ChartFrame& f = chart.frame;
    const QRectF plot(QPointF(at.left(), at.top()), QPointF(at.right(), at.bottom()));
    p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);

    const double bandTop = at.y(std::min(f.options.band.high, f.rm.high));
    const double bandBottom = at.y(std::max(f.options.band.low, f.rm.low));
    if (bandBottom > bandTop)
        p.fillRect(QRectF(at.left(), bandTop, at.right() - at.left(), bandBottom - bandTop),
                   QColor(0xdf, 0xf0, 0xd8));

    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    const QPen minor(QColor(0xbb, 0xbb, 0xbb), 0.5), major(QColor(0x88, 0x88, 0x88), 0.5);
    for (const ductsys::ChartTick& t : f.flow.ticks) {
        const double x = at.x(t.value);
        p.setPen(t.decade ? major : minor);
        p.drawLine(QPointF(x, at.top()), QPointF(x, at.bottom() + 4));
        p.setPen(Qt::black);
        p.drawText(QRectF(x - 30, at.bottom() + 5, 60, 14), Qt::AlignHCenter | Qt::AlignTop,
                   text(t.text));
    }
    for (const ductsys::ChartTick& t : f.rm.ticks) {
        const double y = at.y(t.value);
        p.setPen(t.decade ? major : minor);
        p.drawLine(QPointF(at.left() - 4, y), QPointF(at.right(), y));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y - 7, at.left() - 6, 14), Qt::AlignRight | Qt::AlignVCenter,
                   text(t.text));
    }
    p.drawText(QRectF(at.left(), at.bottom() + 22, at.right() - at.left(), 16), Qt::AlignHCenter,
               QStringLiteral("风量 L (m³/h)"));
    p.drawText(QRectF(0, 4, at.left() + 60, 16), Qt::AlignLeft, QStringLiteral("Rm (Pa/m)"));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);

    p.save();
    p.setClipRect(plot);
    p.setRenderHint(QPainter::Antialiasing);
    for (const ductsys::ChartLine& line : f.lines) {
        if (line.points.size() < 2) continue;
        QPolygonF poly;
        poly.reserve(static_cast<qsizetype>(line.points.size()));
        for (const ductsys::ChartXY& xy : line.points) poly << QPointF(at.x(xy.flow), at.y(xy.rm));
        p.setPen(linePen(line.kind));
        p.drawPolyline(poly);
    }
    p.restore();

    // Labels where a line leaves the plot: a diameter at its upper end, a
    // velocity at its lower end.
    font.setPixelSize(9);
    p.setFont(font);
    const QFontMetricsF metrics(font, p.device());
    for (const ductsys::ChartLine& line : f.lines) {
        double x = 0, y = 0;
        bool end = false;
        if (!at.labelPlace(line, x, y, end)) continue;
        const QString label = text(line.label);
        if (end) x -= metrics.horizontalAdvance(label);
        p.setPen(linePen(line.kind).color());
        p.drawText(QPointF(x, y), label);
    }

    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::black);
    double y = at.legendY();
    for (const std::string& line : chart.legend) {
        p.drawText(QPointF(at.left(), y), text(line));
        y += ductsys::ChartLayout::kLegendLine;
    }
}

void paintPoints(QPainter& p, const ductsys::Chart& chart, const ductsys::ChartLayout& at,
                 std::uint32_t selected) {
    using K = ductsys::ChartPoint::Kind;
    const QRectF plot(QPointF(at.left(), at.top()), QPointF(at.right(), at.bottom()));
    p.save();
    p.setClipRect(plot.adjusted(-6, -6, 6, 6));
    p.setRenderHint(QPainter::Antialiasing);
    const ductsys::ChartPoint* ringed = nullptr;
    // The index run and the current duct last, on top of the others.
    for (int pass = 0; pass < 2; ++pass) {
        for (const ductsys::ChartPoint& pt : chart.points) {
            const bool strong = pt.indexRun || pt.kind == K::duct;
            if (strong != (pass == 1)) continue;
            const QColor colour = pt.tooFast                ? QColor(0xd0, 0, 0)
                                  : strong                  ? QColor(Qt::black)
                                  : pt.kind == K::neighbour ? QColor(0xbb, 0xbb, 0xbb)
                                                            : QColor(0x1f, 0x5f, 0xa8);
            const double r = strong ? 4.5 : 3.5;
            p.setPen(QPen(colour, 1.2));
            p.setBrush(pt.ownBasis ? QBrush(Qt::white) : QBrush(colour));
            p.drawEllipse(QPointF(at.x(pt.flow), at.y(pt.rm)), r, r);
            if (pt.kind == K::segment && pt.segment == selected) ringed = &pt;
        }
    }
    if (ringed) {
        p.setPen(QPen(QColor(0xe0, 0x80, 0), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(at.x(ringed->flow), at.y(ringed->rm)), 8, 8);
    }
    p.restore();
}

}  // namespace

void paintChart(QPainter& painter, const ductsys::Chart& chart, QSizeF size, std::uint32_t selected,
                Layer layer) {
    const ductsys::ChartLayout at(chart, size.width(), size.height());
    if (static_cast<int>(layer) & static_cast<int>(Layer::frame))
        paintFrame(painter, chart, at, size);
    if (static_cast<int>(layer) & static_cast<int>(Layer::points))
        paintPoints(painter, chart, at, selected);
}

QString exportChart(const ductsys::Chart& chart, const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QSizeF size(kExportWidth, kExportHeight);
    if (suffix == QLatin1String("svg")) {
        QSaveFile file(path);
        const std::string svg = ductsys::chartSvg(chart, kExportWidth, kExportHeight);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(svg.data(), static_cast<qint64>(svg.size())) !=
                static_cast<qint64>(svg.size()) ||
            !file.commit())
            return QStringLiteral("无法写入文件 %1").arg(path);
        return {};
    }
    if (suffix == QLatin1String("png")) {
        // Twice the size, for print and high-density screens.
        QImage image((size * 2).toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.scale(2, 2);
        paintChart(p, chart, size);
        p.end();
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
            return QStringLiteral("无法写入文件 %1").arg(path);
        return {};
    }
    if (suffix == QLatin1String("pdf")) {
        // QPdfWriter writes as it goes: into a temporary file, renamed once whole.
        const QString partial = path + QStringLiteral(".part");
        {
            QPdfWriter pdf(partial);
            pdf.setResolution(72);
            pdf.setPageSize(QPageSize(size, QPageSize::Point));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            pdf.setTitle(QStringLiteral("摩擦阻力线算图"));
            QPainter p;
            if (!p.begin(&pdf)) {
                QFile::remove(partial);
                return QStringLiteral("无法写入文件 %1").arg(path);
            }
            paintChart(p, chart, size);
            p.end();
        }
        QFile::remove(path);
        if (!QFile::rename(partial, path)) {
            QFile::remove(partial);
            return QStringLiteral("无法写入文件 %1").arg(path);
        }
        return {};
    }
    return QStringLiteral("不认识的文件类型 “%1”：请用 .png、.svg 或 .pdf").arg(suffix);
}

}  // namespace chartview
