#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>

namespace ui {

namespace {

constexpr const char* kResultProperty = "ductcalcResult";

// A result label reads as name plus value, like a read-only field: Qt's own
// label interface has only a name, which would be either the caption or the
// number, never both.
class ResultAccessible : public QAccessibleWidget {
public:
    explicit ResultAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return static_cast<const QLabel*>(widget())->text().trimmed();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* resultFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("QLabel") || !object->property(kResultProperty).toBool())
        return nullptr;
    return new ResultAccessible(static_cast<QLabel*>(object));
}

}  // namespace

void markAsResult(QLabel* label) {
    static const bool installed = [] {
        QAccessible::installFactory(resultFactory);
        return true;
    }();
    (void)installed;
    label->setProperty(kResultProperty, true);
}

void announceResult(QLabel* label) {
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent event(label, label->text());
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
