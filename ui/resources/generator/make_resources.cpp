// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the two friction-factor formula bitmaps and the window icon that the
// main window shows, and the desktop's icons (icons/: scalable, and 24 to 256
// pixels), and writes them into the folder named on the command line.
//
// The images are committed to the repository; this program only has to run
// again when the artwork changes. Everything is drawn without antialiasing so
// the formulas come out as crisp two-colour bitmaps and the icon as a small
// indexed PNG.
//
// Run with QT_QPA_PLATFORM=offscreen when no display is available.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "formula_scales.h"

namespace {

[[noreturn]] void fail(const QString& message) {
    std::fprintf(stderr, "make_resources: %s\n", qPrintable(message));
    std::exit(1);
}

void makeCrisp(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

// ---------------------------------------------------------------------------
// Fonts
// ---------------------------------------------------------------------------

QFont serifFont(int pixelSize, bool italic) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(pixelSize);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);

    // A substituted font would silently change every glyph and the layout
    // with it, so refuse to draw anything rather than commit odd artwork.
    const QFontInfo info(font);
    if (!info.family().startsWith(QStringLiteral("DejaVu Serif")))
        fail(QStringLiteral("font DejaVu Serif is not available (got %1)").arg(info.family()));
    if (info.italic() != italic)
        fail(QStringLiteral("DejaVu Serif %1 is not available").arg(italic ? "Italic" : "Book"));
    return font;
}

// Ink rectangle of a string relative to its drawing origin (left end of the
// baseline). The glyphs are rendered and scanned instead of trusting the font
// metrics, because hinted one-bit glyphs can differ from the outline metrics
// by a pixel, and a pixel matters at this size.
QRect inkRect(const QString& text, const QFont& font) {
    const int px = font.pixelSize();
    const int side = px * (int(text.size()) + 4);
    QImage scratch(side, px * 4, QImage::Format_RGB32);
    scratch.fill(Qt::white);
    const QPoint origin(px, px * 2);
    {
        QPainter painter(&scratch);
        makeCrisp(painter);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(origin, text);
    }
    int left = scratch.width(), top = scratch.height(), right = -1, bottom = -1;
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x) {
            if (qGray(line[x]) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) fail(QStringLiteral("text \"%1\" draws nothing").arg(text));
    return QRect(QPoint(left, top) - origin, QPoint(right, bottom) - origin);
}

// ---------------------------------------------------------------------------
// Boxes: a tiny math layout. Every box is measured by its ink: it covers the
// columns [x, x + width) and the rows [baseline - ascent, baseline + descent).
// Spacing between boxes is therefore always given explicitly in pixels.
// ---------------------------------------------------------------------------

class Box {
public:
    virtual ~Box() = default;
    virtual void draw(QPainter& painter, int x, int baseline) const = 0;

    int width = 0;
    int ascent = 0;
    int descent = 0;
    int height() const { return ascent + descent; }
};

using BoxPtr = std::unique_ptr<Box>;

class TextBox : public Box {
public:
    TextBox(QString text, QFont font) : m_text(std::move(text)), m_font(std::move(font)) {
        m_ink = inkRect(m_text, m_font);
        width = m_ink.width();
        ascent = -m_ink.top();
        descent = m_ink.bottom() + 1;
    }

    void draw(QPainter& painter, int x, int baseline) const override {
        painter.setFont(m_font);
        painter.drawText(QPoint(x - m_ink.left(), baseline), m_text);
    }

private:
    QString m_text;
    QFont m_font;
    QRect m_ink;
};

class SpaceBox : public Box {
public:
    explicit SpaceBox(int w) { width = w; }
    void draw(QPainter&, int, int) const override {}
};

// Boxes side by side on a common baseline.
class RowBox : public Box {
public:
    explicit RowBox(std::vector<BoxPtr> items) : m_items(std::move(items)) {
        for (const auto& item : m_items) {
            width += item->width;
            ascent = std::max(ascent, item->ascent);
            descent = std::max(descent, item->descent);
        }
    }

    void draw(QPainter& painter, int x, int baseline) const override {
        for (const auto& item : m_items) {
            item->draw(painter, x, baseline);
            x += item->width;
        }
    }

private:
    std::vector<BoxPtr> m_items;
};

// Geometry shared by every part of one formula at one scale.
struct Style {
    double scale = 1;  // 1 for the normal bitmap, 1.25 for the @1.25x one …
    int axis = 0;      // height of the fraction bars above the baseline
    int rule = 1;      // thickness of bars and of the delimiters' strokes

    // Whole pixels: every length is rounded once, at the scale it is drawn
    // at, so strokes keep their full width instead of being resampled.
    int px(int units) const { return int(std::lround(units * scale)); }
    // Top row of a bar centred on the axis.
    int barTop(int baseline) const { return baseline - axis - rule / 2; }
};

// Numerator over denominator with a bar on the axis.
class FractionBox : public Box {
public:
    FractionBox(BoxPtr numerator, BoxPtr denominator, const Style& style, int gap, int overhang)
        : m_num(std::move(numerator)),
          m_den(std::move(denominator)),
          m_style(style),
          m_gap(gap),
          m_overhang(overhang) {
        width = std::max(m_num->width, m_den->width) + 2 * m_overhang;
        const int barTop = m_style.barTop(0);
        const int numBaseline = barTop - m_gap - m_num->descent;
        const int denBaseline = barTop + m_style.rule + m_gap + m_den->ascent;
        ascent = m_num->ascent - numBaseline;
        descent = denBaseline + m_den->descent;
    }

    void draw(QPainter& painter, int x, int baseline) const override {
        const int barTop = m_style.barTop(baseline);
        const int numBaseline = barTop - m_gap - m_num->descent;
        const int denBaseline = barTop + m_style.rule + m_gap + m_den->ascent;
        m_num->draw(painter, x + (width - m_num->width + 1) / 2, numBaseline);
        m_den->draw(painter, x + (width - m_den->width + 1) / 2, denBaseline);
        painter.fillRect(QRect(x, barTop, width, m_style.rule), Qt::black);
    }

private:
    BoxPtr m_num;
    BoxPtr m_den;
    Style m_style;
    int m_gap;
    int m_overhang;
};

enum class Delimiter { Bracket, Parenthesis };

// Content between a pair of square brackets or parentheses that grow to
// enclose it. They reach `padding` rows past the content's ink at both ends
// rather than being centred on the bars: a tall exponent inside would
// otherwise leave a large empty space at the bottom.
class FenceBox : public Box {
public:
    FenceBox(Delimiter kind, BoxPtr content, const Style& style, int padding, int gap)
        : m_kind(kind), m_content(std::move(content)), m_style(style), m_gap(gap) {
        m_delimWidth = m_kind == Delimiter::Bracket ? style.px(3) + style.rule : style.px(4);
        ascent = m_content->ascent + padding;
        descent = m_content->descent + padding;
        if (m_kind == Delimiter::Parenthesis && height() > style.px(30)) m_delimWidth = style.px(5);
        width = 2 * (m_delimWidth + m_gap) + m_content->width;
    }

    void draw(QPainter& painter, int x, int baseline) const override {
        const int top = baseline - ascent;
        const int bottom = baseline + descent;  // exclusive
        drawDelimiter(painter, x, top, bottom, false);
        m_content->draw(painter, x + m_delimWidth + m_gap, baseline);
        drawDelimiter(painter, x + width - m_delimWidth, top, bottom, true);
    }

private:
    void drawDelimiter(QPainter& painter, int x, int top, int bottom, bool closing) const {
        const int t = m_style.rule;
        const int w = m_delimWidth;
        if (m_kind == Delimiter::Bracket) {
            const int stemX = closing ? x + w - t : x;
            painter.fillRect(QRect(stemX, top, t, bottom - top), Qt::black);
            painter.fillRect(QRect(x, top, w, t), Qt::black);
            painter.fillRect(QRect(x, bottom - t, w, t), Qt::black);
            return;
        }
        // A parenthesis is a crescent: thin at the tips, a little heavier in
        // the middle, as in the text face. Each row gets a run of pixels whose
        // outer edge follows a parabola.
        const int h = bottom - top;
        const double mid = (h - 1) / 2.0;
        for (int row = 0; row < h; ++row) {
            const double u = (row - mid) / mid;  // -1 .. 1
            const double bulge = 1.0 - u * u;    // 0 at the tips, 1 in the middle
            int offset = int(
                std::lround((w - t) * (1.0 - bulge)));  // distance of the ink from the outer side
            const int thickness = t + (bulge > 0.75 ? m_style.px(1) : 0);
            offset = std::min(offset, w - thickness);
            const int inkX = closing ? x + w - offset - thickness : x + offset;
            painter.fillRect(QRect(inkX, top + row, thickness, 1), Qt::black);
        }
    }

    Delimiter m_kind;
    BoxPtr m_content;
    Style m_style;
    int m_gap;
    int m_delimWidth = 0;
};

// A base with an exponent at its upper right. The exponent's ink ends
// `overlap` rows below the top of the base.
class SuperscriptBox : public Box {
public:
    SuperscriptBox(BoxPtr base, BoxPtr exponent, int gap, int overlap)
        : m_base(std::move(base)), m_exp(std::move(exponent)), m_gap(gap) {
        width = m_base->width + m_gap + m_exp->width;
        m_expBaseline = -m_base->ascent + overlap - m_exp->descent;
        ascent = std::max(m_base->ascent, m_exp->ascent - m_expBaseline);
        descent = std::max(m_base->descent, m_expBaseline + m_exp->descent);
    }

    void draw(QPainter& painter, int x, int baseline) const override {
        m_base->draw(painter, x, baseline);
        m_exp->draw(painter, x + m_base->width + m_gap, baseline + m_expBaseline);
    }

private:
    BoxPtr m_base;
    BoxPtr m_exp;
    int m_gap;
    int m_expBaseline = 0;
};

// Convenience builders so the formulas below read roughly like the maths.
class Builder {
public:
    // Font sizes round down: a glyph a pixel too large at 1.5x makes formula
    // two too wide for its box.
    Builder(double scale, int mainPx, int scriptPx)
        : m_main(serifFont(int(mainPx * scale), false)),
          m_mainItalic(serifFont(int(mainPx * scale), true)),
          m_script(serifFont(int(scriptPx * scale), false)) {
        m_style.scale = scale;
        m_style.rule = std::max(1, m_style.px(1));
        // The bars sit at the height of the middle of the plus sign, so that
        // "+" and "=" line up with them.
        const QRect plus = inkRect(QStringLiteral("+"), m_main);
        m_style.axis = -(plus.top() + plus.bottom() + 1) / 2;
        const QRect scriptPlus = inkRect(QStringLiteral("+"), m_script);
        m_scriptStyle = m_style;
        m_scriptStyle.axis = -(scriptPlus.top() + scriptPlus.bottom() + 1) / 2;
    }

    int px(int units) const { return m_style.px(units); }

    BoxPtr text(const QString& s) const { return std::make_unique<TextBox>(s, m_main); }
    BoxPtr italic(const QString& s) const { return std::make_unique<TextBox>(s, m_mainItalic); }
    BoxPtr script(const QString& s) const { return std::make_unique<TextBox>(s, m_script); }
    BoxPtr space(int units) const { return std::make_unique<SpaceBox>(px(units)); }

    template <typename... Boxes>
    BoxPtr row(Boxes... boxes) const {
        std::vector<BoxPtr> items;
        (items.push_back(std::move(boxes)), ...);
        return std::make_unique<RowBox>(std::move(items));
    }

    BoxPtr fraction(BoxPtr num, BoxPtr den, int overhang = 1) const {
        return std::make_unique<FractionBox>(std::move(num), std::move(den), m_style, px(2),
                                             px(overhang));
    }
    // A small fraction set in the script size, used as an exponent.
    BoxPtr scriptFraction(BoxPtr num, BoxPtr den) const {
        return std::make_unique<FractionBox>(std::move(num), std::move(den), m_scriptStyle, px(1),
                                             px(1));
    }
    BoxPtr fence(Delimiter kind, BoxPtr content) const {
        return std::make_unique<FenceBox>(kind, std::move(content), m_style, px(2), px(2));
    }
    // Superscript whose lower half sits beside the top of the base.
    BoxPtr power(BoxPtr base, BoxPtr exponent) const {
        const int overlap = (exponent->height() + 1) / 2;
        return std::make_unique<SuperscriptBox>(std::move(base), std::move(exponent), px(1),
                                                overlap);
    }
    // A fraction as exponent: its denominator beside the upper end of the
    // base, which puts the bar one fraction gap above the base's top.
    BoxPtr fractionPower(BoxPtr base, BoxPtr fractionExponent, int denominatorHeight) const {
        const int overlap = denominatorHeight;
        return std::make_unique<SuperscriptBox>(std::move(base), std::move(fractionExponent), px(1),
                                                overlap);
    }

private:
    QFont m_main;
    QFont m_mainItalic;
    QFont m_script;
    Style m_style;
    Style m_scriptStyle;
};

// ---------------------------------------------------------------------------
// The two formulas
// ---------------------------------------------------------------------------

// Font sizes in pixels at 1x: the main text and the superscripts / the small
// one-third exponent.
constexpr int kMainPx = 13;
constexpr int kScriptPx = 10;

const QString kLambda = QString(QChar(0x03BB));

// λ = 0.25 / [ lg K/(3.71D) + 5.74/(0.9Re) ]²
BoxPtr formulaOne(double scale) {
    const Builder b(scale, kMainPx, kScriptPx);
    auto bracket =
        b.fence(Delimiter::Bracket,
                b.row(b.text("lg"), b.space(2),
                      b.fraction(b.italic("K"), b.row(b.text("3.71"), b.space(1), b.italic("D"))),
                      b.space(3), b.text("+"), b.space(3),
                      b.fraction(b.text("5.74"), b.row(b.text("0.9"), b.space(1), b.text("Re")))));
    auto denominator = b.power(std::move(bracket), b.script("2"));
    return b.row(b.text(kLambda), b.space(4), b.text("="), b.space(4),
                 b.fraction(b.text("0.25"), std::move(denominator), 2));
}

// λ = 0.0055 [ 1 + ( 20000 K/d + 10⁶/Re )^(1/3) ]
BoxPtr formulaTwo(double scale) {
    const Builder b(scale, kMainPx, kScriptPx);
    auto oneThirdDenominator = b.script("3");
    const int denominatorHeight = oneThirdDenominator->height();
    auto parenthesis =
        b.fence(Delimiter::Parenthesis,
                b.row(b.text("20000"), b.space(2), b.fraction(b.italic("K"), b.italic("d")),
                      b.space(3), b.text("+"), b.space(3),
                      b.fraction(b.power(b.text("10"), b.script("6")), b.text("Re"))));
    auto cubeRoot = b.fractionPower(std::move(parenthesis),
                                    b.scriptFraction(b.script("1"), std::move(oneThirdDenominator)),
                                    denominatorHeight);
    auto bracket = b.fence(Delimiter::Bracket, b.row(b.text("1"), b.space(3), b.text("+"),
                                                     b.space(3), std::move(cubeRoot)));
    return b.row(b.text(kLambda), b.space(4), b.text("="), b.space(4), b.text("0.0055"), b.space(3),
                 std::move(bracket));
}

// ---------------------------------------------------------------------------
// Rendering and output
// ---------------------------------------------------------------------------

struct FormulaTarget {
    QString fileName;
    QSize size;     // at 1x
    QRect inkArea;  // at 1x: where black pixels may appear
    BoxPtr (*layout)(double scale);
};

QRect blackBounds(const QImage& image) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(0, 0, 0)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Saves a two-colour image as an uncompressed 24-bit BMP. Qt's writer picks
// the bit depth itself, so read the header back rather than assume it.
void saveBmp24(const QImage& image, const QString& path) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (!rgb.save(path, "BMP")) fail(QStringLiteral("cannot write %1").arg(path));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(QStringLiteral("cannot read back %1").arg(path));
    const QByteArray header = file.read(54);
    // BITMAPFILEHEADER (14 bytes), then BITMAPINFOHEADER: the bit count is
    // the little-endian 16-bit value at offset 28, the 32-bit compression at 30.
    auto le16 = [&header](int at) { return uchar(header[at]) | (uchar(header[at + 1]) << 8); };
    if (header.size() != 54 || !header.startsWith("BM") || le16(28) != 24 || le16(30) != 0 ||
        le16(32) != 0)
        fail(QStringLiteral("%1 was not written as an uncompressed 24-bit BMP").arg(path));
}

// Whole pixels of a 1x length at `scale`.
int scaled(int length, double scale) { return int(std::lround(length * scale)); }

void renderFormula(const FormulaTarget& target, const ui::FormulaScale& drawn, const QString& dir) {
    const double scale = drawn.scale;
    const BoxPtr formula = target.layout(scale);

    // Draw on a roomy sheet first, then move the ink into the allowed area.
    const int margin = scaled(8, scale);
    QImage sheet(formula->width + 2 * margin, formula->height() + 2 * margin, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        makeCrisp(painter);
        painter.setPen(Qt::black);
        formula->draw(painter, margin, margin + formula->ascent);
    }
    // Only pure black and pure white may reach the bitmap.
    for (int y = 0; y < sheet.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(sheet.scanLine(y));
        for (int x = 0; x < sheet.width(); ++x)
            line[x] = qGray(line[x]) < 128 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }

    const QRect ink = blackBounds(sheet);
    const QSize size(scaled(target.size.width(), scale), scaled(target.size.height(), scale));
    const QRect area(scaled(target.inkArea.left(), scale), scaled(target.inkArea.top(), scale),
                     scaled(target.inkArea.width(), scale), scaled(target.inkArea.height(), scale));
    const QString name = target.fileName + QLatin1String(drawn.suffix) + QStringLiteral(".bmp");
    if (ink.isNull()) fail(QStringLiteral("%1: nothing drawn").arg(name));
    if (ink.width() > area.width() || ink.height() > area.height())
        fail(QStringLiteral("%1: the formula needs %2 x %3 pixels but only %4 x %5 are free")
                 .arg(name)
                 .arg(ink.width())
                 .arg(ink.height())
                 .arg(area.width())
                 .arg(area.height()));

    // Centre the ink in the free area.
    const QPoint destination(area.left() + (area.width() - ink.width()) / 2,
                             area.top() + (area.height() - ink.height()) / 2);
    QImage out(size, QImage::Format_RGB888);
    out.fill(Qt::white);
    {
        QPainter painter(&out);
        makeCrisp(painter);
        painter.drawImage(destination, sheet, ink);
    }

    const QRect placed = blackBounds(out);
    if (!area.contains(placed)) fail(QStringLiteral("%1: ink escaped the free area").arg(name));

    saveBmp24(out, QDir(dir).filePath(name));
    std::printf("%s: %dx%d, ink %dx%d at (%d,%d), free area %dx%d at (%d,%d)\n", qPrintable(name),
                size.width(), size.height(), placed.width(), placed.height(), placed.x(),
                placed.y(), area.width(), area.height(), area.x(), area.y());
}

// ---------------------------------------------------------------------------
// Window icon: an aeroplane seen from above, nose up.
// ---------------------------------------------------------------------------

struct IconPart {
    QVector<QPoint> points;  // corners, in pixel-corner coordinates
    QRgb fill;
};

constexpr QRgb kTransparent = 0x00000000;
constexpr QRgb kOutline = 0xff1c2e4a;
constexpr QRgb kBody = 0xffdfe7f0;
constexpr QRgb kWing = 0xff3f7fc7;
constexpr QRgb kTail = 0xff2f62a0;
constexpr QRgb kWindow = 0xff7fd4ff;

// The shapes of the icon drawn on a grid of `size` pixels (16 or 32), in
// pixel-corner coordinates, back to front.
std::vector<IconPart> iconParts(int size) {
    std::vector<IconPart> parts;
    if (size == 32) {
        parts = {
            // swept main wings
            {{{14, 11}, {2, 19}, {2, 21}, {14, 18}, {18, 18}, {30, 21}, {30, 19}, {18, 11}}, kWing},
            // tail plane
            {{{14, 24}, {9, 27}, {9, 29}, {14, 28}, {18, 28}, {23, 29}, {23, 27}, {18, 24}}, kTail},
            // fuselage
            {{{15, 2}, {14, 4}, {14, 28}, {15, 30}, {17, 30}, {18, 28}, {18, 4}, {17, 2}}, kBody},
            // cockpit window
            {{{15, 4}, {15, 6}, {17, 6}, {17, 4}}, kWindow},
        };
    } else {
        parts = {
            {{{7, 5}, {1, 9}, {1, 10}, {7, 9}, {9, 9}, {15, 10}, {15, 9}, {9, 5}}, kWing},
            {{{7, 12}, {4, 14}, {4, 15}, {7, 14}, {9, 14}, {12, 15}, {12, 14}, {9, 12}}, kWing},
            {{{7, 1}, {7, 15}, {9, 15}, {9, 1}}, kOutline},
        };
    }

    return parts;
}

QImage drawIcon(int size) {
    // Each size has its own drawing: halving the large one turns the outline
    // into mush, so the small one is flat colour without an outline and with a
    // dark fuselage that stands out on light and dark title bars alike.
    // Shapes are symmetric about the vertical centre line x = size / 2.
    const std::vector<IconPart> parts = iconParts(size);

    QImage canvas(size, size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        makeCrisp(painter);
        painter.setPen(Qt::NoPen);
        for (const IconPart& part : parts) {
            painter.setBrush(QColor::fromRgba(part.fill));
            painter.drawPolygon(QPolygon(part.points));
        }
    }
    // Filling is not exactly symmetric at the pixel level; mirror the left
    // half so both wings come out identical.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size / 2; ++x) canvas.setPixel(size - 1 - x, y, canvas.pixel(x, y));

    // The large icon gets a dark one-pixel outline around the silhouette and
    // between the fuselage and the wings, so the light fuselage reads on a
    // light background too.
    if (size == 32) {
        const QImage filled = canvas.copy();
        auto at = [&filled, size](int x, int y) -> QRgb {
            return x < 0 || y < 0 || x >= size || y >= size ? kTransparent : filled.pixel(x, y);
        };
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb here = at(x, y);
                const QRgb around[] = {at(x - 1, y), at(x + 1, y), at(x, y - 1), at(x, y + 1)};
                const bool edgeOfShape =
                    qAlpha(here) == 0 && std::any_of(std::begin(around), std::end(around),
                                                     [](QRgb c) { return qAlpha(c) != 0; });
                const bool edgeOfBody =
                    here == kBody && std::any_of(std::begin(around), std::end(around),
                                                 [](QRgb c) { return c == kWing || c == kTail; });
                if (edgeOfShape || edgeOfBody) canvas.setPixel(x, y, kOutline);
            }
        }
    }

    // A fixed palette, transparent first, so both sizes share colours and the
    // PNG stays a small indexed file.
    const QVector<QRgb> palette = {kTransparent, kOutline, kBody, kWing, kTail, kWindow};
    QImage indexed(size, size, QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = canvas.pixel(x, y);
            const int index = qAlpha(pixel) == 0 ? 0 : int(palette.indexOf(pixel));
            if (index < 0)
                fail(QStringLiteral("icon%1: stray colour #%2 at (%3,%4)")
                         .arg(size)
                         .arg(pixel, 8, 16, QChar('0'))
                         .arg(x)
                         .arg(y));
            indexed.setPixel(x, y, uint(index));
        }
    }
    return indexed;
}

void writeIcon(int size, const QString& dir) {
    const QString path = QDir(dir).filePath(QStringLiteral("icon%1.png").arg(size));
    if (!drawIcon(size).save(path, "PNG")) fail(QStringLiteral("cannot write %1").arg(path));
    std::printf("icon%d.png: %dx%d\n", size, size, size);
}

// ---------------------------------------------------------------------------
// Desktop icons: the large window icon as a scalable drawing, and bitmaps of
// it for the icon theme's bigger sizes. The 16 and 32 pixel bitmaps of the
// theme are the window's own hand-tuned icons.
// ---------------------------------------------------------------------------

constexpr int kScalableGrid = 32;  // the drawing's own units
constexpr int kThemeSizes[] = {24, 48, 64, 128, 256};

// The cockpit window sits on the fuselage and needs no outline; every other
// part is outlined, which also separates the fuselage from the wings.
bool outlined(const IconPart& part) { return part.fill != kWindow; }

QString svgColour(QRgb colour) {
    return QStringLiteral("#%1").arg(colour & 0xffffffu, 6, 16, QChar('0'));
}

// The table program's icon: the calculator's, with a small grid in front of
// its lower right corner.
constexpr QRgb kSheet = 0xffffffff;
std::vector<IconPart> tableIconParts() {
    std::vector<IconPart> parts = iconParts(kScalableGrid);
    parts.push_back({{{17, 17}, {31, 17}, {31, 31}, {17, 31}}, kSheet});
    parts.push_back({{{17, 17}, {31, 17}, {31, 21}, {17, 21}}, kWing});
    for (const int x : {17, 22, 26})
        for (const int y : {21, 26}) {
            const int right = x == 26 ? 31 : x + (x == 17 ? 5 : 4);
            parts.push_back({{{x, y}, {right, y}, {right, y + 5}, {x, y + 5}}, kSheet});
        }
    return parts;
}

void writeScalableIcon(const QString& path, const std::vector<IconPart>& shapes) {
    QString svg = QStringLiteral(
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                      "viewBox=\"0 0 %1 %1\">\n")
                      .arg(kScalableGrid);
    for (const IconPart& part : shapes) {
        QStringList points;
        for (const QPoint& p : part.points) points << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
        svg += QStringLiteral("  <polygon points=\"%1\" fill=\"%2\"")
                   .arg(points.join(' '), svgColour(part.fill));
        if (outlined(part))
            svg += QStringLiteral(" stroke=\"%1\" stroke-width=\"1\" stroke-linejoin=\"round\"")
                       .arg(svgColour(kOutline));
        svg += QStringLiteral("/>\n");
    }
    svg += QStringLiteral("</svg>\n");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(svg.toUtf8()) < 0)
        fail(QStringLiteral("cannot write %1").arg(path));
    std::printf("%s: scalable\n", qPrintable(QFileInfo(path).fileName()));
}

// The same shapes as the scalable drawing, smoothed, at `size` pixels.
QImage drawThemeIcon(int size, const std::vector<IconPart>& shapes) {
    QImage canvas(size, size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(double(size) / kScalableGrid, double(size) / kScalableGrid);
    for (const IconPart& part : shapes) {
        painter.setBrush(QColor::fromRgba(part.fill));
        if (outlined(part))
            painter.setPen(
                QPen(QColor::fromRgba(kOutline), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        else
            painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygon(part.points));
    }
    return canvas;
}

void writeDesktopIcons(const QString& dir) {
    const QString iconDir = QDir(dir).filePath(QStringLiteral("icons"));
    if (!QDir().mkpath(iconDir)) fail(QStringLiteral("cannot create %1").arg(iconDir));
    const struct {
        QString name;
        std::vector<IconPart> shapes;
    } icons[] = {{QStringLiteral("ductcalc"), iconParts(kScalableGrid)},
                 {QStringLiteral("ductcalc-table"), tableIconParts()}};
    for (const auto& icon : icons) {
        writeScalableIcon(QDir(iconDir).filePath(icon.name + QStringLiteral(".svg")), icon.shapes);
        for (const int size : kThemeSizes) {
            const QString path =
                QDir(iconDir).filePath(QStringLiteral("%1-%2.png").arg(icon.name).arg(size));
            if (!drawThemeIcon(size, icon.shapes).save(path, "PNG"))
                fail(QStringLiteral("cannot write %1").arg(path));
            std::printf("icons/%s-%d.png: %dx%d\n", qPrintable(icon.name), size, size, size);
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: make_resources OUTPUT_FOLDER\n");
        return 2;
    }
    const QString dir = args.at(1);
    if (!QDir().mkpath(dir)) fail(QStringLiteral("cannot create %1").arg(dir));

    const FormulaTarget targets[] = {
        {QStringLiteral("formula1"), QSize(171, 69), QRect(QPoint(5, 4), QPoint(166, 65)),
         formulaOne},
        {QStringLiteral("formula2"), QSize(231, 72), QRect(QPoint(5, 3), QPoint(227, 67)),
         formulaTwo},
    };
    for (const FormulaTarget& target : targets) {
        // Every common screen scale gets a bitmap drawn at it: one resampled
        // from another scale breaks thin strokes apart.
        for (const ui::FormulaScale& drawn : ui::kFormulaScales) renderFormula(target, drawn, dir);
    }
    writeIcon(32, dir);
    writeIcon(16, dir);
    writeDesktopIcons(dir);
    return 0;
}
