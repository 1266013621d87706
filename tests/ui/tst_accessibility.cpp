// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader gets from the window: every input named after its
// caption or its row's label, every result as name plus value.
#include <QAccessible>
#include <QLabel>
#include <QScrollBar>
#include <QtTest>

#include "ui/appearance.h"
#include "ui/form1.h"

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::applyAppearance(); }
    void inputsAreNamed_data();
    void inputsAreNamed();
    void everyFocusableControlHasAName();
    void resultsReadAsNamePlusValue_data();
    void resultsReadAsNamePlusValue();
    void formulaPicturesAreDescribed();
    void roughnessBarsReadAsK_data();
    void roughnessBarsReadAsK();
};

namespace {
QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// What a screen reader announces as the control's name. Qt on Linux names a
// list by the label that labels it (its buddy, else its frame's title) and
// gives the list's chosen entry as its own name.
QString spokenName(QAccessibleInterface* iface) {
#ifdef Q_OS_UNIX
    if (iface->role() == QAccessible::ComboBox) {
        const auto labels = iface->relations(QAccessible::Label);
        return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
    }
#endif
    return iface->text(QAccessible::Name);
}
}  // namespace

void TestAccessibility::inputsAreNamed_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    const int edit = QAccessible::EditableText, combo = QAccessible::ComboBox,
              radio = QAccessible::RadioButton, check = QAccessible::CheckBox,
              bar = QAccessible::ScrollBar;
    QTest::newRow("air volume box") << "Text1"
                                    << "风量" << edit;
    QTest::newRow("flow unit list") << "Combo1"
                                    << "风量" << combo;
    QTest::newRow("non-standard size tick") << "Check1"
                                            << "非标尺寸" << check;
    QTest::newRow("circular duct option") << "Option1"
                                          << "圆形风管" << radio;
    QTest::newRow("rectangular duct option") << "Option2"
                                             << "矩形风管" << radio;
    QTest::newRow("standard diameter list") << "Combo2"
                                            << "直径" << combo;
    QTest::newRow("typed diameter box") << "Text2"
                                        << "直径" << edit;
    QTest::newRow("standard first side list") << "Combo3"
                                              << "长" << combo;
    QTest::newRow("typed first side box") << "Text3"
                                          << "长" << edit;
    QTest::newRow("standard second side list") << "Combo4"
                                               << "宽" << combo;
    QTest::newRow("typed second side box") << "Text4"
                                           << "宽" << edit;
    QTest::newRow("steel sheet option") << "Option3_0"
                                        << "薄钢板" << radio;
    QTest::newRow("steel sheet roughness box") << "Text5"
                                               << "薄钢板 粗糙度" << edit;
    QTest::newRow("steel sheet scroll bar") << "HScroll1"
                                            << "薄钢板 粗糙度" << bar;
    QTest::newRow("plywood roughness box") << "Text9"
                                           << "胶合板 粗糙度" << edit;
    QTest::newRow("brick scroll bar") << "HScroll6"
                                      << "砖砌体 粗糙度" << bar;
    QTest::newRow("custom option") << "Option3_8"
                                   << "自定义" << radio;
    QTest::newRow("custom roughness box") << "Text13"
                                          << "自定义 粗糙度" << edit;
    QTest::newRow("formula one option") << "Option4"
                                        << "公式一" << radio;
    QTest::newRow("formula two option") << "Option5"
                                        << "公式二" << radio;
}

void TestAccessibility::inputsAreNamed() {
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    Form1 form;
    form.Form_Load();
    auto* widget = form.findChild<QWidget*>(control);
    QVERIFY(widget);
    QAccessibleInterface* iface = accessible(widget);
    QVERIFY(iface);
    QCOMPARE(spokenName(iface), name);
    QCOMPARE(int(iface->role()), role);
}

void TestAccessibility::everyFocusableControlHasAName() {
    Form1 form;
    form.Form_Load();
    const auto widgets = form.findChildren<QWidget*>();
    int checked = 0;
    for (QWidget* w : widgets) {
        if (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty()) continue;
        QAccessibleInterface* iface = accessible(w);
        QVERIFY(iface);
        QVERIFY2(!spokenName(iface).trimmed().isEmpty(), qPrintable(w->objectName()));
        ++checked;
    }
    QVERIFY(checked > 0);
}

void TestAccessibility::resultsReadAsNamePlusValue_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    // A screen reader speaks a label's name: the row's caption and its value.
    QTest::newRow("roughness") << "Label13"
                               << "粗糙度 0.16"
                               << "0.16";
    QTest::newRow("air volume") << "Label10"
                                << "风量 1000 m3/h"
                                << "1000 m3/h";
    QTest::newRow("duct size") << "Label6"
                               << "风管尺寸 φ 200"
                               << "φ 200";
    QTest::newRow("equivalent diameter") << "Label17"
                                         << "当量直径 0.2 m"
                                         << "0.2 m";
    QTest::newRow("velocity") << "Label7"
                              << "风速 8.841949 m/s"
                              << "8.841949 m/s";
    QTest::newRow("Reynolds number") << "Label15"
                                     << "雷诺数 117423"
                                     << "117423";
    QTest::newRow("specific friction loss") << "Label11"
                                            << "比摩阻 4.376865 Pa/m"
                                            << "4.376865 Pa/m";
}

void TestAccessibility::resultsReadAsNamePlusValue() {
    QFETCH(QString, label);
    Form1 form;
    form.Form_Load();
    form.Combo2->setText(QStringLiteral("200"));
    form.Text1->setText(QStringLiteral("1000"));
    QAccessibleInterface* iface = accessible(form.findChild<QLabel*>(label));
    QVERIFY(iface);
    QTEST(iface->text(QAccessible::Name), "name");
    QTEST(iface->text(QAccessible::Value), "value");
    QTEST(iface->text(QAccessible::Description), "value");
}

void TestAccessibility::formulaPicturesAreDescribed() {
    Form1 form;
    for (QLabel* picture : {form.Picture1, form.Picture2}) {
        QAccessibleInterface* iface = accessible(picture);
        QVERIFY(iface);
        QVERIFY(!iface->text(QAccessible::Name).isEmpty());
        QVERIFY(iface->text(QAccessible::Description).startsWith(QStringLiteral("λ = ")));
    }
}

void TestAccessibility::roughnessBarsReadAsK_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<QString>("text");
    QTest::newRow("薄钢板 at 0.16 mm") << "HScroll1" << 0.16 << 0.15 << 0.18 << "0.16 mm";
    QTest::newRow("塑料板 at 0.03 mm") << "HScroll2" << 0.03 << 0.01 << 0.05 << "0.03 mm";
    QTest::newRow("砖砌体 at 5 mm") << "HScroll6" << 5.0 << 3.0 << 6.0 << "5 mm";
    QTest::newRow("混凝土 at 2 mm") << "HScroll7" << 2.0 << 1.0 << 3.0 << "2 mm";
    QTest::newRow("木板 at 0.6 mm") << "HScroll8" << 0.6 << 0.2 << 1.0 << "0.6 mm";
}

// A roughness bar reads as the K it sets, in mm, not as its raw step.
void TestAccessibility::roughnessBarsReadAsK() {
    QFETCH(QString, bar);
    QFETCH(double, value);
    Form1 form;
    form.Form_Load();
    QAccessibleInterface* iface = accessible(form.findChild<QScrollBar*>(bar));
    QVERIFY(iface);
    QAccessibleValueInterface* k = iface->valueInterface();
    QVERIFY(k);
    QCOMPARE(k->currentValue().toDouble(), value);
    QTEST(k->minimumValue().toDouble(), "minimum");
    QTEST(k->maximumValue().toDouble(), "maximum");
    QTEST(iface->text(QAccessible::Value), "text");
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
