// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "calc/tables.h"

namespace ui {

namespace {

constexpr const char* kResultProperty = "ductcalcResult";
constexpr const char* kLockedProperty = "ductcalcLocked";
constexpr const char* kResultWarningProperty = "ductcalcResultWarning";
constexpr const char* kBarDivisorProperty = "ductcalcRoughnessDivisor";

// A result label reads as its row's caption plus its value: Qt's own label
// interface has only a name, which would be either the caption or the
// number, never both. A screen reader speaks a label's name, and AT-SPI
// carries no value for a text, so the name holds both ("风速 8.841949 m/s");
// the value alone stays available as the value, and opens the description,
// followed by the warning of the inputs it was computed from, if any.
class ResultAccessible : public QAccessibleWidget {
public:
    explicit ResultAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        const QString value = static_cast<const QLabel*>(widget())->text().trimmed();
        switch (t) {
            case QAccessible::Value:
                return value;
            case QAccessible::Description: {
                const QString warning = widget()->property(kResultWarningProperty).toString();
                return warning.isEmpty() ? value : value + u'\n' + warning;
            }
            case QAccessible::Name: {
                const QString caption = widget()->accessibleName();
                return value.isEmpty() ? caption : caption + u' ' + value;
            }
            default:
                return QAccessibleWidget::text(t);
        }
    }
};

// A locked box: a text field whose text can be read, selected and copied,
// but not edited, so it offers no editing interface.
class LockedBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LockedBoxAccessible(QLineEdit* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.editable = false;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return box()->text();
        return QAccessibleWidget::text(t);
    }

    // QAccessibleTextInterface, straight from the box.
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && box()->hasSelectedText()) {
            *start = box()->selectionStart();
            *end = box()->selectionEnd();
        }
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { box()->deselect(); }
    void setSelection(int, int start, int end) override { box()->setSelection(start, end - start); }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    QString text(int start, int end) const override {
        const QString all = box()->text();
        start = qBound(0, start, int(all.size()));
        end = end < 0 ? int(all.size()) : qBound(start, end, int(all.size()));
        return all.mid(start, end - start);
    }
    int characterCount() const override { return int(box()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }
};

// A roughness scroll bar: its value is the K it sets, in mm, with the
// material's range, not the bar's raw step (16 for 0.16 mm).
class RoughnessBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit RoughnessBarAccessible(QScrollBar* bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    QScrollBar* bar() const { return static_cast<QScrollBar*>(widget()); }
    int divisor() const { return std::max(1, bar()->property(kBarDivisorProperty).toInt()); }
    double k(int step) const { return static_cast<double>(step) / divisor(); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return QString::fromStdString(calc::scrollKText(bar()->value(), divisor())) +
                   QStringLiteral(" mm");
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return k(bar()->value()); }
    void setCurrentValue(const QVariant& value) override {
        bar()->setValue(static_cast<int>(std::lround(value.toDouble() * divisor())));
    }
    QVariant maximumValue() const override { return k(bar()->maximum()); }
    QVariant minimumValue() const override { return k(bar()->minimum()); }
    QVariant minimumStepSize() const override { return k(bar()->singleStep()); }
};

QAccessibleInterface* windowFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("QLabel") && object->property(kResultProperty).toBool())
        return new ResultAccessible(static_cast<QLabel*>(object));
    if (object->property(kBarDivisorProperty).toInt() > 0)
        if (auto* bar = qobject_cast<QScrollBar*>(object)) return new RoughnessBarAccessible(bar);
    if (object->property(kLockedProperty).toBool())
        if (auto* box = qobject_cast<QLineEdit*>(object)) return new LockedBoxAccessible(box);
    return nullptr;
}

void installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace

void markAsResult(QLabel* label) {
    installFactory();
    label->setProperty(kResultProperty, true);
}

void markAsLocked(QLineEdit* box) {
    installFactory();
    box->setProperty(kLockedProperty, true);
}

void announceResult(QLabel* label) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent named(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent described(label, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

void markAsRoughnessBar(QScrollBar* bar, int divisor) {
    installFactory();
    bar->setProperty(kBarDivisorProperty, divisor);
}

void describeResultWarning(QLabel* label, const QString& warning) {
    if (label->property(kResultWarningProperty).toString() == warning) return;
    label->setProperty(kResultWarningProperty, warning);
    if (!QAccessible::isActive()) return;
    QAccessibleEvent event(label, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void describeWarning(QWidget* box, const QString& warning) {
    if (box->accessibleDescription() == warning) return;
    box->setAccessibleDescription(warning);
    if (!QAccessible::isActive()) return;
    QAccessibleEvent event(box, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

}  // namespace ui
