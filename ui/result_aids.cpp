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

#include "derived.h"
#include "form1.h"
#include "number_text.h"
#include "qt_text.h"

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

QString Form1::resultText(int row) const {
    const auto rows = resultRows();
    if (row < 0 || row >= static_cast<int>(rows.size())) return {};
    return rows[static_cast<std::size_t>(row)].value->text().trimmed();
}

QString Form1::resultsText() const {
    QString text;
    const auto rows = resultRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        text += rowName(rows[i].value) + u'\t' + resultText(static_cast<int>(i)) + u'\n';
    return text;
}

void Form1::copyAllResults() {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(resultsText());
}

void Form1::copyResult(int row) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(resultText(row));
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
    Label5->setToolTip(velocityTip);
    Label7->setToolTip(velocityTip);

    const QString formula =
        Option5->isChecked() ? QStringLiteral("公式二") : QStringLiteral("公式一");
    // A formula's guard (no flow, no roughness) leaves no friction factor;
    // its stored 0 is no λ to show.
    const QString lambda =
        outcome_.defined(Value::lambda) && calc_.lambda != 0 ? number(calc_.lambda) : none;
    const QString lossTip = QStringLiteral("沿程阻力系数 λ（%1）= %2").arg(formula, lambda);
    Label8->setToolTip(lossTip);
    Label11->setToolTip(lossTip);
}
