// SPDX-License-Identifier: GPL-3.0-or-later
// The aids beside the results: the results to take away (copy, the context
// menu, Ctrl+Shift+C, resultsText) and the tool tips (the velocity pressure
// and the friction factor λ, the air-volume frame's own tip).
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QShortcut>
#include <QToolTip>

#include "calc/derived.h"
#include "calc/number_text.h"
#include "messages/catalogue.h"
#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/qt_text.h"
#include "widgets/marks.h"

using ui::qs;

// --- The result rows -----------------------------------------------------------

namespace {
// A row's name without the blanks that space its caption out ("风    速").
QString rowName(const QLabel* value) { return value->accessibleName(); }
}  // namespace

std::array<Form1::ResultRow, 7> Form1::resultRows() const {
    return {{{Label12, Label13},
             {Label9, Label10},
             {Label4, Label6},
             {Label16, Label17},
             {Label5, Label7},
             {Label14, Label15},
             {Label8, Label11}}};
}

calc::Result Form1::rowResult(int row) {
    static constexpr calc::Result kRows[] = {
        calc::Result::Label13, calc::Result::Label10, calc::Result::Label6, calc::Result::Label17,
        calc::Result::Label7,  calc::Result::Label15, calc::Result::Label11};
    return kRows[row];
}

namespace {
// The unit of each row, top to bottom: the size and the roughness are in
// millimetres though their labels name no unit, the Reynolds number has none.
constexpr const char16_t* kRowUnits[] = {u"mm", u"m3/h", u"mm", u"m", u"m/s", u"", u"Pa/m"};

bool validRow(int row) { return row >= 0 && row < 7; }
}  // namespace

QString Form1::resultText(int row) const {
    if (!validRow(row)) return {};
    return resultRows()[static_cast<std::size_t>(row)].value->text().trimmed();
}

QString Form1::resultWarning(int row) const {
    if (!validRow(row)) return {};
    return QString::fromStdString(msg::renderLines(
        resultWarnings_[static_cast<std::size_t>(rowResult(row))], msg::Language::chinese));
}

QString Form1::resultLine(int row) const {
    if (!validRow(row)) return {};
    const QString unit = QString::fromUtf16(kRowUnits[row]);
    QString number = resultText(row);
    // The label's own unit goes to the unit field; the size prompt and "—"
    // stay as shown.
    if (!unit.isEmpty() && number.endsWith(u' ' + unit)) number.chop(unit.size() + 1);
    QString line =
        rowName(resultRows()[static_cast<std::size_t>(row)].value) + u'\t' + number + u'\t' + unit;
    // A spreadsheet cell holds one line: the warning's points side by side.
    const QString warning = resultWarning(row);
    if (!warning.isEmpty()) line += u'\t' + QString(warning).replace(u'\n', u'；');
    return line;
}

QString Form1::resultsText() const {
    QString text;
    for (int row = 0; row < 7; ++row) text += resultLine(row) + u'\n';
    return text;
}

void Form1::copyAllResults() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(resultsText());
}

void Form1::copyResult(int row) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(resultLine(row) + u'\n');
}

// --- Results to take away ---------------------------------------------------

void Form1::buildCopyMenus() {
    const auto rows = resultRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (QLabel* label : {rows[i].caption, rows[i].value}) {
            label->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(label, &QWidget::customContextMenuRequested, this,
                    [this, label, i](const QPoint& pos) {
                        showResultMenu(static_cast<int>(i), label->mapToGlobal(pos));
                    });
        }
    }

    auto* copyAll = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this);
    copyAll->setContext(Qt::WindowShortcut);
    connect(copyAll, &QShortcut::activated, this, &Form1::copyAllResults);
}

void Form1::showResultMenu(int row, const QPoint& globalPos) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("resultMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(QStringLiteral("复制")), &QAction::triggered, this,
            [this, row] { copyResult(row); });
    QAction* all = menu->addAction(QStringLiteral("复制全部结果"));
    all->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(all, &QAction::triggered, this, &Form1::copyAllResults);
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("摩擦阻力线算图")), &QAction::triggered, this,
            &Form1::showChart);
    menu->popup(globalPos);
}

// --- Tool tips ----------------------------------------------------------------

void Form1::keepFrame1ToolTipOwn() {
    // The frame's tool tip belongs to the frame alone; its boxes would
    // otherwise pass their own tool-tip requests up to it.
    for (QWidget* child : Frame1->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // A control with a tool tip of its own shows it; the others show none.
        if (widget && widget->toolTip().isEmpty() && Frame1->isAncestorOf(widget)) {
            QToolTip::hideText();
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::updateResultTips() {
    using calc::Value;
    const QString none = qs(calc::kFailMarker);
    auto number = [](float x) { return qs(calc::numberText(x)).trimmed(); };

    // Velocity pressure: only for a velocity of a real section.
    QString pressure = none;
    if (outcome_.defined(Value::velocity) && outcome_.defined(Value::area) && calc_.area > 0) {
        if (const auto pv = calc::velocityPressure(calc_.velocity))
            pressure = number(*pv) + QStringLiteral(" Pa");
    }
    const QString velocityTip = QStringLiteral("动压 ρv²/2 = ") + pressure;

    const QString formula =
        Option5->isChecked() ? QStringLiteral("公式二") : QStringLiteral("公式一");
    // A formula's guard (no flow, no roughness) leaves no friction factor;
    // its stored 0 is no λ to show.
    const QString lambda =
        outcome_.defined(Value::lambda) && calc_.lambda != 0 ? number(calc_.lambda) : none;
    const QString lossTip = QStringLiteral("沿程阻力系数 λ（%1）= %2").arg(formula, lambda);

    // Each row's tip, and its mark: the warning of the inputs it is computed
    // from, below the row's own aid.
    const auto rows = resultRows();
    for (int row = 0; row < 7; ++row) {
        const ResultRow& r = rows[static_cast<std::size_t>(row)];
        const QString warning = resultWarning(row);
        QString tip = r.value == Label7 ? velocityTip : r.value == Label11 ? lossTip : QString();
        if (!warning.isEmpty()) tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + warning;
        r.caption->setToolTip(tip);
        r.value->setToolTip(tip);
        QLabel*& mark = resultMarks_[static_cast<std::size_t>(row)];
        if (!mark && !warning.isEmpty()) {
            // Inside the value label's right end, which no result text reaches.
            const int side = r.value->height() * 3 / 4;
            mark = new QLabel(r.value);
            mark->setObjectName(QStringLiteral("resultMark"));
            // The result itself carries the warning in its description.
            mark->setAccessibleName(QStringLiteral("警告"));
            mark->setPixmap(widgets::warningMark().pixmap(side, side));
            mark->setGeometry(r.value->width() - side - 2, (r.value->height() - side) / 2, side,
                              side);
        }
        if (mark) {
            mark->setToolTip(warning);
            mark->setVisible(!warning.isEmpty());
        }
        ui::describeResultWarning(r.value, warning);
    }
}
