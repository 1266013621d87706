// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts inside the Chinese window: the edit menu of a text box and
// the other texts Qt shows by itself come in Chinese.
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QtTest>

#include "ui/appearance.h"
#include "ui/form1.h"

namespace {

// A menu entry as the user reads it: without its mnemonic ("撤消(&U)") and
// its shortcut.
QString readable(const QAction* action) {
    QString text = action->text();
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")));
    return text.section(u'\t', 0, 0).trimmed();
}

bool hasLatinWord(const QString& text) {
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
}

}  // namespace

class TestQtTexts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::setUpApplication(); }
    void editMenuOfATextBoxIsChinese_data();
    void editMenuOfATextBoxIsChinese();
    void textsQtShowsByItselfAreChinese_data();
    void textsQtShowsByItselfAreChinese();
};

void TestQtTexts::editMenuOfATextBoxIsChinese_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("entries");  // some entries the menu must hold
    QTest::newRow("the air volume box")
        << "Text1" << QStringList{"撤消", "重做", "剪切", "复制", "粘贴", "删除", "全选"};
    QTest::newRow("the custom roughness box") << "Text13" << QStringList{"撤消", "复制", "粘贴"};
    QTest::newRow("a locked roughness box") << "Text5" << QStringList{"复制", "全选"};
}

// Right-clicking a text box opens Qt's edit menu; every entry reads in Chinese.
void TestQtTexts::editMenuOfATextBoxIsChinese() {
    QFETCH(QString, box);
    QFETCH(QStringList, entries);
    Form1 form;
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* edit = form.findChild<QLineEdit*>(box);
    QVERIFY(edit);
    const QPoint pos = edit->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, edit->mapToGlobal(pos));
    QApplication::sendEvent(edit, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY2(menu, "no menu opened");
    QStringList shown;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator()) shown << readable(action);
    menu->close();
    for (const QString& entry : shown) QVERIFY2(!hasLatinWord(entry), qPrintable(entry));
    for (const QString& entry : entries)
        QVERIFY2(shown.contains(entry), qPrintable(entry + " missing from " + shown.join(u'|')));
}

void TestQtTexts::textsQtShowsByItselfAreChinese_data() {
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::newRow("a scroll bar's menu: scroll here") << "QScrollBar"
                                                      << "Scroll here";
    QTest::newRow("a scroll bar's menu: left edge") << "QScrollBar"
                                                    << "Left edge";
    QTest::newRow("a scroll bar's menu: page right") << "QScrollBar"
                                                     << "Page right";
    QTest::newRow("the edit menu: select all") << "QLineEdit"
                                               << "Select All";
}

void TestQtTexts::textsQtShowsByItselfAreChinese() {
    QFETCH(QString, context);
    QFETCH(QString, source);
    QString text = QCoreApplication::translate(qPrintable(context), qPrintable(source));
    QVERIFY2(text != source, qPrintable(context + ": " + source + " is not translated"));
    QVERIFY2(!hasLatinWord(text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")))),
             qPrintable(text));
}

QTEST_MAIN(TestQtTexts)
#include "tst_qt_texts.moc"
