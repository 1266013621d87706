#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace ui {

namespace {

constexpr const char* kResultProperty = "ductcalcResult";

// A result label reads as its row's caption plus its value: Qt's own label
// interface has only a name, which would be either the caption or the
// number, never both. A screen reader speaks a label's name, and AT-SPI
// carries no value for a text, so the name holds both ("风速 8.841949 m/s");
// the value alone stays available as the value and the description.
class ResultAccessible : public QAccessibleWidget {
public:
    explicit ResultAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        const QString value = static_cast<const QLabel*>(widget())->text().trimmed();
        switch (t) {
            case QAccessible::Value:
            case QAccessible::Description:
                return value;
            case QAccessible::Name: {
                const QString caption = widget()->accessibleName();
                return value.isEmpty() ? caption : caption + u' ' + value;
            }
            default:
                return QAccessibleWidget::text(t);
        }
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
    QAccessibleEvent named(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent described(label, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

}  // namespace ui
