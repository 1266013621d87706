// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the window can show that does not come from the user: captions,
// list entries, results, warnings, tool tips, its own menus and Qt's, in the
// language Qt's translations give them. The font tests check each character.
#pragma once

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

#include "calc/number_text.h"
#include "calc/reading_warning.h"
#include "calc/recalc.h"
#include "calc/tables.h"
#include "messages/catalogue.h"
#include "ui/form1.h"
#include "ui/layout.h"

namespace uitest {

inline QString qsOf(std::string_view t) {
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

// Pairs of a row name and a text; Qt's translations must be loaded first.
inline QList<std::pair<QString, QString>> shownTexts() {
    QList<std::pair<QString, QString>> out;
    for (const ui::ControlDesc& d : ui::formDescription())
        if (d.caption)
            out.append({QStringLiteral("caption of %1").arg(d.name), QString::fromUtf8(d.caption)});
    for (const calc::FlowUnit& unit : calc::flowUnits)
        out.append({QStringLiteral("unit ") + qsOf(unit.text), qsOf(unit.text)});
    for (const calc::Material& m : calc::materials)
        out.append({QStringLiteral("material ") + qsOf(m.name), qsOf(m.caption)});
    out.append({QStringLiteral("size prompt"), qsOf(calc::kSizePrompt)});
    out.append({QStringLiteral("failure marker"), qsOf(calc::kFailMarker)});

    // The warnings, as the boxes and the results show them.
    struct Typed {
        const char* text;
        calc::Quantity quantity;
    };
    for (const Typed& t :
         {Typed{"1,000", calc::Quantity::AirVolume}, Typed{"１,０００", calc::Quantity::AirVolume},
          Typed{"abc", calc::Quantity::AirVolume}, Typed{"-100", calc::Quantity::AirVolume},
          Typed{"1e400", calc::Quantity::AirVolume}, Typed{"-300", calc::Quantity::Size},
          Typed{"0.5", calc::Quantity::Size}, Typed{"25", calc::Quantity::Roughness},
          Typed{"-3", calc::Quantity::Roughness}})
        out.append({QStringLiteral("warning of ") + QString::fromUtf8(t.text),
                    QString::fromStdString(msg::renderLines(
                        calc::readingWarning(t.text, t.quantity), msg::Language::chinese))});

    // A window with every kind of mark, its tool tips and its menus.
    Form1 form;
    form.Form_Load();
    form.Check1->setValue(1);
    form.Text2->setText(QStringLiteral("0.5"));
    form.Text1->setText(QStringLiteral("１,０００"));
    for (int row = 0; row < 7; ++row) {
        out.append({QStringLiteral("result row %1").arg(row), form.resultLine(row)});
        out.append({QStringLiteral("mark of result row %1").arg(row), form.resultWarning(row)});
    }
    for (QWidget* w : form.findChildren<QWidget*>())
        if (!w->toolTip().isEmpty())
            out.append({QStringLiteral("tool tip of ") + w->objectName(), w->toolTip()});
    out.append({QStringLiteral("result menu"), QStringLiteral("复制 复制全部结果 Ctrl+Shift+C")});
    const std::unique_ptr<QMenu> edit(form.Text13->createStandardContextMenu());
    for (const QAction* action : edit->actions())
        out.append({QStringLiteral("edit menu: ") + action->text(),
                    action->text() + u' ' + action->shortcut().toString(QKeySequence::NativeText)});
    for (const char* source : {"Scroll here", "Left edge", "Right edge", "Page left", "Page right",
                               "Scroll left", "Scroll right"})
        out.append({QStringLiteral("scroll bar menu: ") + QLatin1String(source),
                    QCoreApplication::translate("QScrollBar", source)});

    // What the user types in Chinese mode.
    out.append({QStringLiteral("full-width input"),
                QStringLiteral("０１２３４５６７８９．，－＋ＥｅｍＭ\u3000。")});
    return out;
}

}  // namespace uitest
