// SPDX-License-Identifier: GPL-3.0-or-later
// The event rules of the thin layer over Qt's widgets, checked on small
// stand-alone widgets: which assignments and which user actions raise a
// control's event, how often, and that the event runs nested inside the
// assignment with the new value already in place.

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QSignalSpy>
#include <QTest>
#include <QTestEventList>
#include <QWidget>

#include <algorithm>
#include <array>
#include <memory>

#include "tests/ui/user_actions.h"
#include "ui/appearance.h"
#include "ui/controls.h"

using ui::CheckBox;
using ui::ComboBox;
using ui::HScrollBar;
using ui::OptionButton;
using ui::TextBox;

namespace {

// A top-level window to hold the control under test, shown and active so
// that focus and keyboard behave as on the screen.
std::unique_ptr<QWidget> shownWindow(int width = 300, int height = 200) {
    auto window = std::make_unique<QWidget>();
    window->resize(width, height);
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the test window did not become active");
    return window;
}

// What a connected handler saw: the value in place when it ran, and whether
// the assignment that raised it had not returned yet.
template <typename T>
struct HandlerLog {
    QList<T> seen;
    QList<bool> duringAssignment;
    bool assigning = false;
};

using uitest::scrollBarPart;

}  // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::applyAppearance(); }

    // --- Text box ----------------------------------------------------------

    void textAssignmentRaisesChangeOnlyForANewText_data() {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("assigned");
        QTest::addColumn<int>("expectedSignalCount");

        QTest::newRow("a new text raises Change once") << "Text1"
                                                       << "0" << 1;
        QTest::newRow("the same text raises nothing") << "100"
                                                      << "100" << 0;
        QTest::newRow("emptying the box raises Change once") << "100"
                                                             << "" << 1;
        QTest::newRow("an empty box set to empty raises nothing") << ""
                                                                  << "" << 0;
        QTest::newRow("a text that differs only in case is new") << "e"
                                                                 << "E" << 1;
        QTest::newRow("a trailing blank makes a new text") << "100"
                                                           << "100 " << 1;
    }

    void textAssignmentRaisesChangeOnlyForANewText() {
        QFETCH(QString, initial);
        QFETCH(QString, assigned);
        QFETCH(int, expectedSignalCount);

        QWidget frame;
        TextBox box(&frame);
        box.setText(initial);
        QSignalSpy changes(&box, &TextBox::changeRaised);
        QSignalSpy clicks(&box, &TextBox::clickRaised);
        HandlerLog<QString> log;
        connect(&box, &TextBox::changeRaised, this, [&] {
            log.seen << box.text();
            log.duringAssignment << log.assigning;
        });

        log.assigning = true;
        box.setText(assigned);
        log.assigning = false;

        QCOMPARE(changes.count(), expectedSignalCount);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(box.text(), assigned);
        QCOMPARE(log.seen, QList<QString>(expectedSignalCount, assigned));
        QCOMPARE(log.duringAssignment, QList<bool>(expectedSignalCount, true));
    }

    void typingIntoAnEditableBox_data() {
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QTestEventList>("keys");
        QTest::addColumn<QString>("expectedText");
        QTest::addColumn<int>("expectedSignalCount");

        QTestEventList twoDigits;
        twoDigits.addKeyClicks(QStringLiteral("12"));
        QTest::newRow("each typed character raises Change") << "" << twoDigits << "12" << 2;

        QTestEventList backspace;
        backspace.addKeyClick(Qt::Key_End);
        backspace.addKeyClick(Qt::Key_Backspace);
        QTest::newRow("backspace raises Change once") << "100" << backspace << "10" << 1;
        QTest::newRow("backspace in an empty box raises nothing") << "" << backspace << "" << 0;

        QTestEventList moving;
        moving.addKeyClick(Qt::Key_Home);
        moving.addKeyClick(Qt::Key_Right);
        moving.addKeyClick(Qt::Key_End);
        QTest::newRow("moving the cursor raises nothing") << "100" << moving << "100" << 0;

        QTestEventList replaceAll;
        replaceAll.addKeyClick(Qt::Key_A, Qt::ControlModifier);
        replaceAll.addKeyClicks(QStringLiteral("5"));
        QTest::newRow("typing over a selection raises Change once")
            << "100" << replaceAll << "5" << 1;
    }

    void typingIntoAnEditableBox() {
        QFETCH(QString, initial);
        QFETCH(QTestEventList, keys);
        QFETCH(QString, expectedText);
        QFETCH(int, expectedSignalCount);

        auto window = shownWindow();
        auto* box = new TextBox(window.get());
        box->setText(initial);
        box->show();
        box->setFocus();
        QSignalSpy changes(box, &TextBox::changeRaised);

        keys.simulate(box);

        QCOMPARE(box->text(), expectedText);
        QCOMPARE(changes.count(), expectedSignalCount);
    }

    void lockedBoxCannotBeEdited_data() {
        QTest::addColumn<QTestEventList>("keys");

        QTestEventList digits;
        digits.addKeyClicks(QStringLiteral("15"));
        QTest::newRow("typing digits") << digits;

        QTestEventList erase;
        erase.addKeyClick(Qt::Key_End);
        erase.addKeyClick(Qt::Key_Backspace);
        erase.addKeyClick(Qt::Key_Home);
        erase.addKeyClick(Qt::Key_Delete);
        QTest::newRow("backspace and delete") << erase;

        QTestEventList cut;
        cut.addKeyClick(Qt::Key_A, Qt::ControlModifier);
        cut.addKeyClick(Qt::Key_X, Qt::ControlModifier);
        QTest::newRow("cutting the whole text") << cut;

        QTestEventList paste;
        paste.addKeyClick(Qt::Key_A, Qt::ControlModifier);
        paste.addKeyClick(Qt::Key_V, Qt::ControlModifier);
        QTest::newRow("pasting over the whole text") << paste;
    }

    void lockedBoxCannotBeEdited() {
        QFETCH(QTestEventList, keys);

        auto window = shownWindow();
        auto* box = new TextBox(window.get());
        box->setText(QStringLiteral("0.16"));
        box->setLocked(true);
        box->show();
        box->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("7"));
        QSignalSpy changes(box, &TextBox::changeRaised);

        keys.simulate(box);

        QCOMPARE(box->text(), QStringLiteral("0.16"));
        QCOMPARE(changes.count(), 0);
    }

    void lockedBoxTakesFocusAndReportsClicks() {
        auto window = shownWindow();
        auto* other = new TextBox(window.get());
        auto* box = new TextBox(window.get());
        box->move(0, 40);
        box->setText(QStringLiteral("0.16"));
        box->setLocked(true);
        other->show();
        box->show();
        other->setFocus();
        QVERIFY(other->hasFocus());
        QSignalSpy clicks(box, &TextBox::clickRaised);
        QSignalSpy changes(box, &TextBox::changeRaised);

        QTest::mouseClick(box, Qt::LeftButton);

        QCOMPARE(clicks.count(), 1);
        QCOMPARE(changes.count(), 0);
        QVERIFY(box->hasFocus());
        QVERIFY(box->focusPolicy() & Qt::TabFocus);
        QCOMPARE(box->text(), QStringLiteral("0.16"));
    }

    void mouseClickOnABox_data() {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("releasedInside");
        QTest::addColumn<int>("expectedSignalCount");

        QTest::newRow("a left click on a locked box is reported")
            << true << Qt::LeftButton << true << 1;
        QTest::newRow("a left click on an editable box is reported")
            << false << Qt::LeftButton << true << 1;
        QTest::newRow("a press released outside the box is no click")
            << true << Qt::LeftButton << false << 0;
        QTest::newRow("the right button makes no click") << true << Qt::RightButton << true << 0;
    }

    void mouseClickOnABox() {
        QFETCH(bool, locked);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, releasedInside);
        QFETCH(int, expectedSignalCount);

        auto window = shownWindow();
        auto* box = new TextBox(window.get());
        box->setGeometry(10, 10, 80, 18);
        box->setText(QStringLiteral("5"));
        box->setLocked(locked);
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->show();
        QSignalSpy clicks(box, &TextBox::clickRaised);

        const QPoint inside = box->rect().center();
        const QPoint outside(box->width() + 20, inside.y());
        QTest::mousePress(box, button, {}, inside);
        QTest::mouseRelease(box, button, {}, releasedInside ? inside : outside);

        QCOMPARE(clicks.count(), expectedSignalCount);
    }

    // The custom roughness box rewrites an out-of-limits text from inside its
    // own Change handler; that nested assignment raises Change once more and
    // the outer handler then finishes.
    void replacingTheTextInsideItsChangeHandlerNestsOneLevel_data() {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("expectedSeen");
        QTest::addColumn<QString>("expectedText");

        QTest::newRow("an assigned text over the limit is replaced once")
            << false << "25" << QStringList{"25", "10"} << "10";
        QTest::newRow("a typed digit that goes over the limit is replaced once")
            << true << "5" << QStringList{"15", "10"} << "10";
        QTest::newRow("a text within the limit is kept") << false << "7" << QStringList{"7"} << "7";
        QTest::newRow("assigning the replacement itself raises nothing")
            << false << "1" << QStringList{} << "1";
    }

    void replacingTheTextInsideItsChangeHandlerNestsOneLevel() {
        QFETCH(bool, typed);
        QFETCH(QString, input);
        QFETCH(QStringList, expectedSeen);
        QFETCH(QString, expectedText);

        auto window = shownWindow();
        auto* box = new TextBox(window.get());
        box->setText(QStringLiteral("1"));
        box->show();
        box->setFocus();
        box->end(false);

        QStringList seen;
        QStringList finished;
        int depth = 0;
        int deepest = 0;
        connect(box, &TextBox::changeRaised, this, [&] {
            ++depth;
            deepest = std::max(deepest, depth);
            const QString text = box->text();
            seen << text;
            if (text.toDouble() > 10) box->setText(QStringLiteral("10"));
            finished << text;
            --depth;
        });

        if (typed)
            QTest::keyClicks(box, input);
        else
            box->setText(input);

        QCOMPARE(seen, expectedSeen);
        // The nested run ends first, then the one that raised it.
        QStringList reversed(expectedSeen.rbegin(), expectedSeen.rend());
        QCOMPARE(finished, reversed);
        QCOMPARE(deepest, int(expectedSeen.size()));
        QCOMPARE(box->text(), expectedText);
    }

    // --- Combo box -----------------------------------------------------------

    void addingEntriesToAnEmptyListChoosesNothing() {
        QWidget frame;
        ComboBox list(&frame);
        QSignalSpy clicks(&list, &ComboBox::clickRaised);

        list.addEntry(QStringLiteral("m3/h"));
        list.addEntry(QStringLiteral("m3/min"));
        list.addEntry(QStringLiteral("CFM"));

        QCOMPARE(list.count(), 3);
        QCOMPARE(list.currentIndex(), -1);
        QCOMPARE(list.text(), QString());
        QCOMPARE(clicks.count(), 0);
        QVERIFY(!list.isEditable());
    }

    void addingEntriesKeepsTheChosenEntry() {
        QWidget frame;
        ComboBox list(&frame);
        list.addEntry(QStringLiteral("120"));
        list.addEntry(QStringLiteral("160"));
        list.setText(QStringLiteral("160"));
        QSignalSpy clicks(&list, &ComboBox::clickRaised);

        list.addEntry(QStringLiteral("200"));

        QCOMPARE(list.text(), QStringLiteral("160"));
        QCOMPARE(clicks.count(), 0);
    }

    void clearingTheListRaisesNothing_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("chosen");

        QTest::newRow("an empty list") << QStringList{} << QString();
        QTest::newRow("a list with nothing chosen") << QStringList{"100", "120"} << QString();
        QTest::newRow("a list with its first entry chosen") << QStringList{"100", "120"} << "100";
        QTest::newRow("a list with its last entry chosen") << QStringList{"100", "120"} << "120";
    }

    void clearingTheListRaisesNothing() {
        QFETCH(QStringList, entries);
        QFETCH(QString, chosen);

        QWidget frame;
        ComboBox list(&frame);
        for (const QString& entry : entries) list.addEntry(entry);
        list.setText(chosen);
        QSignalSpy clicks(&list, &ComboBox::clickRaised);

        list.clearList();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.text(), QString());

        // Filling it again still leaves the choice to the program or the user.
        list.addEntry(QStringLiteral("100"));
        QCOMPARE(list.text(), QString());
        QCOMPARE(clicks.count(), 0);
    }

    void settingTheTextChoosesThatEntry_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("assigned");
        QTest::addColumn<QString>("expectedText");
        QTest::addColumn<int>("expectedSignalCount");

        QTest::newRow("an entry is chosen with one click") << ""
                                                           << "l/s"
                                                           << "l/s" << 1;
        QTest::newRow("the first entry is chosen from no choice") << ""
                                                                  << "m3/h"
                                                                  << "m3/h" << 1;
        QTest::newRow("another entry replaces the chosen one with one click") << "m3/h"
                                                                              << "CFM"
                                                                              << "CFM" << 1;
        QTest::newRow("the chosen entry again raises nothing") << "m3/h"
                                                               << "m3/h"
                                                               << "m3/h" << 0;
        QTest::newRow("a text not in the list changes nothing") << "m3/h"
                                                                << "ft3/h"
                                                                << "m3/h" << 0;
        QTest::newRow("a text not in the list leaves no choice as it was") << ""
                                                                           << "ft3/h"
                                                                           << "" << 0;
        QTest::newRow("the start of an entry is not that entry") << "CFM"
                                                                 << "m3"
                                                                 << "CFM" << 0;
        QTest::newRow("an entry in other letter case is not that entry") << "CFM"
                                                                         << "M3/H"
                                                                         << "CFM" << 0;
        QTest::newRow("the empty text changes nothing") << "CFM"
                                                        << ""
                                                        << "CFM" << 0;
    }

    void settingTheTextChoosesThatEntry() {
        QFETCH(QString, chosen);
        QFETCH(QString, assigned);
        QFETCH(QString, expectedText);
        QFETCH(int, expectedSignalCount);

        QWidget frame;
        ComboBox list(&frame);
        for (const char* unit : {"m3/h", "m3/min", "l/s", "CFM"})
            list.addEntry(QString::fromLatin1(unit));
        list.setText(chosen);
        QCOMPARE(list.text(), chosen);
        QSignalSpy clicks(&list, &ComboBox::clickRaised);
        HandlerLog<QString> log;
        connect(&list, &ComboBox::clickRaised, this, [&] {
            log.seen << list.text();
            log.duringAssignment << log.assigning;
        });

        log.assigning = true;
        list.setText(assigned);
        log.assigning = false;

        QCOMPARE(clicks.count(), expectedSignalCount);
        QCOMPARE(list.text(), expectedText);
        QCOMPARE(log.seen, QList<QString>(expectedSignalCount, expectedText));
        QCOMPARE(log.duringAssignment, QList<bool>(expectedSignalCount, true));
    }

    void choosingAnEntryWithTheKeyboard_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("expectedText");
        QTest::addColumn<int>("expectedSignalCount");

        QTest::newRow("down chooses the next entry") << "m3/h" << Qt::Key_Down << "m3/min" << 1;
        QTest::newRow("up chooses the previous entry") << "l/s" << Qt::Key_Up << "m3/min" << 1;
        QTest::newRow("down on the last entry raises nothing")
            << "CFM" << Qt::Key_Down << "CFM" << 0;
        QTest::newRow("up on the first entry raises nothing")
            << "m3/h" << Qt::Key_Up << "m3/h" << 0;
        QTest::newRow("end chooses the last entry") << "m3/h" << Qt::Key_End << "CFM" << 1;
    }

    void choosingAnEntryWithTheKeyboard() {
        QFETCH(QString, chosen);
        QFETCH(Qt::Key, key);
        QFETCH(QString, expectedText);
        QFETCH(int, expectedSignalCount);

        auto window = shownWindow();
        auto* list = new ComboBox(window.get());
        for (const char* unit : {"m3/h", "m3/min", "l/s", "CFM"})
            list->addEntry(QString::fromLatin1(unit));
        list->setText(chosen);
        list->show();
        list->setFocus();
        QSignalSpy clicks(list, &ComboBox::clickRaised);

        QTest::keyClick(list, key);

        QCOMPARE(list->text(), expectedText);
        QCOMPARE(clicks.count(), expectedSignalCount);
    }

    // --- Option buttons --------------------------------------------------------

    // Two frames of option buttons, like the duct shape and the formula choice:
    // "A0".."A2" in one, "B0" and "B1" in the other; A0 and B0 selected. The
    // buttons have no caption: a click anywhere on their rectangle counts.
    void optionButtonsAreExclusivePerFrame_data() {
        QTest::addColumn<QString>("select");
        QTest::addColumn<bool>("byMouse");
        QTest::addColumn<QStringList>("expectedSelected");
        QTest::addColumn<int>("expectedSignalCount");

        QTest::newRow("code selects another button of the first frame")
            << "A2" << false << QStringList{"A2", "B0"} << 1;
        QTest::newRow("code selects in the second frame and leaves the first alone")
            << "B1" << false << QStringList{"A0", "B1"} << 1;
        QTest::newRow("code selecting the selected button raises nothing")
            << "A0" << false << QStringList{"A0", "B0"} << 0;
        QTest::newRow("a click selects another button of the first frame")
            << "A1" << true << QStringList{"A1", "B0"} << 1;
        QTest::newRow("a click in the second frame leaves the first alone")
            << "B1" << true << QStringList{"A0", "B1"} << 1;
        QTest::newRow("a click on the selected button raises nothing")
            << "B0" << true << QStringList{"A0", "B0"} << 0;
    }

    void optionButtonsAreExclusivePerFrame() {
        QFETCH(QString, select);
        QFETCH(bool, byMouse);
        QFETCH(QStringList, expectedSelected);
        QFETCH(int, expectedSignalCount);

        auto window = shownWindow();
        auto* frameA = new QGroupBox(QStringLiteral("A"), window.get());
        auto* frameB = new QGroupBox(QStringLiteral("B"), window.get());
        frameA->setGeometry(0, 0, 140, 120);
        frameB->setGeometry(150, 0, 140, 120);
        QMap<QString, OptionButton*> buttons;
        for (int i = 0; i < 3; ++i)
            buttons.insert(QStringLiteral("A%1").arg(i), new OptionButton(QString(), frameA));
        for (int i = 0; i < 2; ++i)
            buttons.insert(QStringLiteral("B%1").arg(i), new OptionButton(QString(), frameB));
        int row = 0;
        for (auto it = buttons.begin(); it != buttons.end(); ++it, ++row)
            it.value()->setGeometry(10, 20 + 25 * (row % 3), 100, 20);
        buttons["A0"]->setValue(-1);
        buttons["B0"]->setValue(-1);
        frameA->show();
        frameB->show();

        QMap<QString, int> clicks;
        for (auto it = buttons.begin(); it != buttons.end(); ++it) {
            const QString name = it.key();
            connect(it.value(), &OptionButton::clickRaised, this,
                    [&clicks, name] { ++clicks[name]; });
        }

        if (byMouse)
            QTest::mouseClick(buttons[select], Qt::LeftButton);
        else
            buttons[select]->setValue(-1);

        for (auto it = buttons.begin(); it != buttons.end(); ++it) {
            const bool selected = expectedSelected.contains(it.key());
            QVERIFY2(it.value()->value() == (selected ? -1 : 0), qPrintable(it.key()));
            QCOMPARE(clicks.value(it.key()), it.key() == select ? expectedSignalCount : 0);
        }
    }

    void theClearedButtonIsClearedWhenTheNewOnesClickArrives() {
        QWidget frame;
        std::array<OptionButton*, 3> group{};
        for (auto& button : group) button = new OptionButton(QString(), &frame);
        group[0]->setValue(-1);

        QList<std::array<int, 3>> valuesSeen;
        QList<bool> duringAssignment;
        bool assigning = false;
        connect(group[2], &OptionButton::clickRaised, this, [&] {
            valuesSeen << std::array{group[0]->value(), group[1]->value(), group[2]->value()};
            duringAssignment << assigning;
        });

        assigning = true;
        group[2]->setValue(-1);
        assigning = false;

        QCOMPARE(valuesSeen.size(), 1);
        QCOMPARE(valuesSeen.front(), (std::array{0, 0, -1}));
        QCOMPARE(duringAssignment, QList<bool>{true});
    }

    // Tab stops once at a group, on its selected button, whichever button
    // last had the focus; the other buttons still take a click.
    void tabStopsAtTheSelectedOptionOnly_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("focusedBefore");  // a button given the focus before the selection
        QTest::addColumn<int>("focusedAfter");   // and one given it after

        QTest::newRow("the first button selected") << 0 << -1 << -1;
        QTest::newRow("the middle button selected") << 1 << -1 << -1;
        QTest::newRow("the last button selected") << 2 << -1 << -1;
        QTest::newRow("the selected one after another button took the focus") << 1 << -1 << 2;
        QTest::newRow("the selected one after code moved the selection away from the focus")
            << 0 << 1 << -1;
    }

    void tabStopsAtTheSelectedOptionOnly() {
        QFETCH(int, selected);
        QFETCH(int, focusedBefore);
        QFETCH(int, focusedAfter);

        auto window = shownWindow();
        auto* before = new TextBox(window.get());
        auto* frame = new QGroupBox(window.get());
        frame->setGeometry(0, 30, 200, 100);
        std::array<OptionButton*, 3> group{};
        for (int i = 0; i < 3; ++i) {
            group[i] = new OptionButton(QStringLiteral("option %1").arg(i), frame);
            group[i]->setGeometry(10, 10 + 25 * i, 150, 20);
        }
        auto* after = new TextBox(window.get());
        after->move(0, 140);
        QWidget::setTabOrder(before, group[0]);
        QWidget::setTabOrder(group[0], group[1]);
        QWidget::setTabOrder(group[1], group[2]);
        QWidget::setTabOrder(group[2], after);
        before->show();
        frame->show();
        after->show();

        // The focus can land on a button that is not selected, for instance by
        // a press of the mouse released elsewhere.
        auto giveFocus = [&group](int index) {
            if (index < 0) return;
            group[index]->setFocus(Qt::MouseFocusReason);
            QVERIFY(group[index]->hasFocus());
        };
        giveFocus(focusedBefore);
        group[selected]->setValue(-1);
        giveFocus(focusedAfter);
        QCOMPARE(group[selected]->value(), -1);

        before->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), group[selected]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), after);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), group[selected]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), before);

        const int other = (selected + 1) % 3;
        QTest::mouseClick(group[other], Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), group[other]);
        QCOMPARE(group[other]->value(), -1);
    }

    // --- Check box -------------------------------------------------------------

    void checkBoxAssignment_data() {
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("assigned");
        QTest::addColumn<int>("expectedValue");
        QTest::addColumn<int>("expectedSignalCount");

        QTest::newRow("ticking an unticked box raises Click once") << 0 << 1 << 1 << 1;
        QTest::newRow("unticking a ticked box raises Click once") << 1 << 0 << 0 << 1;
        QTest::newRow("unticking an unticked box raises nothing") << 0 << 0 << 0 << 0;
        QTest::newRow("ticking a ticked box raises nothing") << 1 << 1 << 1 << 0;
        QTest::newRow("graying an unticked box raises Click once") << 0 << 2 << 2 << 1;
    }

    void checkBoxAssignment() {
        QFETCH(int, initial);
        QFETCH(int, assigned);
        QFETCH(int, expectedValue);
        QFETCH(int, expectedSignalCount);

        QWidget frame;
        CheckBox box(QStringLiteral("非标尺寸"), &frame);
        box.setValue(initial);
        QCOMPARE(box.value(), initial);
        QSignalSpy clicks(&box, &CheckBox::clickRaised);
        HandlerLog<int> log;
        connect(&box, &CheckBox::clickRaised, this, [&] {
            log.seen << box.value();
            log.duringAssignment << log.assigning;
        });

        log.assigning = true;
        box.setValue(assigned);
        log.assigning = false;

        QCOMPARE(box.value(), expectedValue);
        QCOMPARE(clicks.count(), expectedSignalCount);
        QCOMPARE(log.seen, QList<int>(expectedSignalCount, expectedValue));
        QCOMPARE(log.duringAssignment, QList<bool>(expectedSignalCount, true));
    }

    void checkBoxByTheUser_data() {
        QTest::addColumn<QTestEventList>("actions");
        QTest::addColumn<int>("expectedValue");
        QTest::addColumn<int>("expectedSignalCount");

        QTestEventList click;
        click.addMouseClick(Qt::LeftButton);
        QTest::newRow("a click ticks the box") << click << 1 << 1;

        QTestEventList twoClicks = click;
        twoClicks.addMouseClick(Qt::LeftButton);
        QTest::newRow("a second click unticks it") << twoClicks << 0 << 2;

        QTestEventList besideCaption;
        besideCaption.addMouseClick(Qt::LeftButton, {}, QPoint(115, 12));
        QTest::newRow("a click beside the caption still ticks the box") << besideCaption << 1 << 1;

        QTestEventList space;
        space.addKeyClick(Qt::Key_Space);
        QTest::newRow("the space bar ticks the box") << space << 1 << 1;
    }

    void checkBoxByTheUser() {
        QFETCH(QTestEventList, actions);
        QFETCH(int, expectedValue);
        QFETCH(int, expectedSignalCount);

        auto window = shownWindow();
        auto* box = new CheckBox(QStringLiteral("非标尺寸"), window.get());
        box->setGeometry(10, 10, 120, 25);
        box->show();
        box->setFocus();
        QSignalSpy clicks(box, &CheckBox::clickRaised);

        actions.simulate(box);

        QCOMPARE(box->value(), expectedValue);
        QCOMPARE(clicks.count(), expectedSignalCount);
        // A user never makes the box gray.
        QVERIFY(!box->isTristate());
    }

    // --- Scroll bar --------------------------------------------------------------

    void scrollBarAssignment_data() {
        QTest::addColumn<int>("assigned");
        QTest::addColumn<int>("expectedValue");
        QTest::addColumn<int>("expectedSignalCount");

        QTest::newRow("a new value raises Change once") << 25 << 25 << 1;
        QTest::newRow("the same value raises nothing") << 20 << 20 << 0;
        QTest::newRow("a value above the maximum stops at the maximum") << 99 << 30 << 1;
    }

    void scrollBarAssignment() {
        QFETCH(int, assigned);
        QFETCH(int, expectedValue);
        QFETCH(int, expectedSignalCount);

        QWidget frame;
        HScrollBar bar(&frame);
        bar.setRange(10, 30);
        bar.setValue(20);
        QSignalSpy changes(&bar, &HScrollBar::changeRaised);
        HandlerLog<int> log;
        connect(&bar, &HScrollBar::changeRaised, this, [&] {
            log.seen << bar.value();
            log.duringAssignment << log.assigning;
        });

        log.assigning = true;
        bar.setValue(assigned);
        log.assigning = false;

        QCOMPARE(bar.value(), expectedValue);
        QCOMPARE(changes.count(), expectedSignalCount);
        QCOMPARE(log.seen, QList<int>(expectedSignalCount, expectedValue));
        QCOMPARE(log.duringAssignment, QList<bool>(expectedSignalCount, true));
    }

    void scrollBarStepsByOne_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("initial");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("expectedValue");
        QTest::addColumn<int>("expectedSignalCount");

        // 33 pixels is the width the window gives its scroll bars.
        QTest::newRow("the right arrow key steps up by one") << 33 << 20 << "right key" << 21 << 1;
        QTest::newRow("the left arrow key steps down by one") << 33 << 20 << "left key" << 19 << 1;
        QTest::newRow("the right arrow key at the maximum raises nothing")
            << 33 << 30 << "right key" << 30 << 0;
        QTest::newRow("a click on the right arrow steps up by one")
            << 33 << 20 << "right arrow" << 21 << 1;
        QTest::newRow("a click on the left arrow steps down by one")
            << 33 << 20 << "left arrow" << 19 << 1;
        QTest::newRow("a click on the left arrow at the minimum raises nothing")
            << 33 << 10 << "left arrow" << 10 << 0;
        QTest::newRow("a click in the track right of the thumb steps up by one")
            << 200 << 20 << "right track" << 21 << 1;
        QTest::newRow("a click in the track left of the thumb steps down by one")
            << 200 << 20 << "left track" << 19 << 1;
    }

    void scrollBarStepsByOne() {
        QFETCH(int, width);
        QFETCH(int, initial);
        QFETCH(QString, action);
        QFETCH(int, expectedValue);
        QFETCH(int, expectedSignalCount);

        auto window = shownWindow();
        auto* bar = new HScrollBar(window.get());
        bar->setRange(10, 30);
        bar->setValue(initial);
        bar->setGeometry(10, 10, width, 17);
        bar->show();
        bar->setFocus();
        QSignalSpy changes(bar, &HScrollBar::changeRaised);

        if (action == "right key")
            QTest::keyClick(bar, Qt::Key_Right);
        else if (action == "left key")
            QTest::keyClick(bar, Qt::Key_Left);
        else if (action == "right arrow")
            uitest::clickBar(bar, QStyle::SC_ScrollBarAddLine);
        else if (action == "left arrow")
            uitest::clickBar(bar, QStyle::SC_ScrollBarSubLine);
        else if (action == "right track")
            uitest::clickBar(bar, QStyle::SC_ScrollBarAddPage);
        else if (action == "left track")
            uitest::clickBar(bar, QStyle::SC_ScrollBarSubPage);
        else
            QFAIL("unknown action");

        QCOMPARE(bar->value(), expectedValue);
        QCOMPARE(changes.count(), expectedSignalCount);
    }

    void draggingTheThumbRaisesChangeOnceOnRelease_data() {
        QTest::addColumn<int>("distance");
        QTest::addColumn<bool>("returnToStart");
        QTest::addColumn<int>("expectedSignalCount");

        QTest::newRow("a drag to the right raises Change once, on release") << 60 << false << 1;
        QTest::newRow("a drag to the left raises Change once, on release") << -60 << false << 1;
        QTest::newRow("a drag back to where it began raises nothing") << 60 << true << 0;
    }

    void draggingTheThumbRaisesChangeOnceOnRelease() {
        QFETCH(int, distance);
        QFETCH(bool, returnToStart);
        QFETCH(int, expectedSignalCount);

        auto window = shownWindow();
        auto* bar = new HScrollBar(window.get());
        bar->setRange(0, 20);
        bar->setValue(10);
        bar->setGeometry(10, 10, 260, 17);
        bar->show();
        QSignalSpy changes(bar, &HScrollBar::changeRaised);

        const QPoint start = scrollBarPart(*bar, QStyle::SC_ScrollBarSlider).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, start);
        const int steps = 6;
        for (int i = 1; i <= steps; ++i) {
            QTest::mouseMove(bar, start + QPoint(distance * i / steps, 0));
            QCOMPARE(changes.count(), 0);
            QCOMPARE(bar->value(), 10);
        }
        QVERIFY(bar->isSliderDown());
        QVERIFY2(bar->sliderPosition() != 10, "the thumb did not follow the mouse");
        QPoint end = start + QPoint(distance, 0);
        if (returnToStart) {
            QTest::mouseMove(bar, start);
            end = start;
        }
        const int released = bar->sliderPosition();
        QTest::mouseRelease(bar, Qt::LeftButton, {}, end);

        QCOMPARE(changes.count(), expectedSignalCount);
        QCOMPARE(bar->value(), released);
        QVERIFY((bar->value() > 10) == (distance > 0 && !returnToStart));
    }

    void disabledScrollBarNeverChanges() {
        auto window = shownWindow();
        auto* bar = new HScrollBar(window.get());
        bar->setGeometry(10, 10, 33, 17);
        bar->setEnabled(false);
        bar->show();
        QSignalSpy changes(bar, &HScrollBar::changeRaised);
        const int before = bar->value();

        QTest::keyClick(bar, Qt::Key_Right);
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          scrollBarPart(*bar, QStyle::SC_ScrollBarAddLine).center());
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          scrollBarPart(*bar, QStyle::SC_ScrollBarSubLine).center());

        QCOMPARE(bar->value(), before);
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
