// SPDX-License-Identifier: GPL-3.0-or-later
// The window as described and as start-up leaves it: every control with its
// kind, frame, geometry and caption; the state before and after Form_Load and
// the handlers Form_Load raises on the way; captions that fit their controls;
// the order of the Tab key; and the two formula pictures.

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "calc/number_text.h"
#include "calc/tables.h"
#include "engine/duct.h"
#include "tests/ui/user_actions.h"
#include "ui/appearance.h"
#include "ui/form1.h"
#include "ui/layout.h"

namespace {

// The window as its description gives it, written out here on its own so
// that a slip in the description table shows up as a difference.
struct Expected {
    const char* name;
    const char* kind;
    const char* frame;             // nullptr: directly in the window
    const char* caption;           // caption or initial text; nullptr: none
    int left, top, width, height;  // twips
    int tabIndex;
};

// clang-format off
const Expected kWindow[] = {
    {"Frame4", "frame", nullptr, "各种材料的粗糙度 K  （单位：mm）", 120, 120, 5415, 2895, 19},
    {"Frame2", "frame", nullptr, "风管尺寸（mm）", 5760, 120, 2535, 2895, 3},
    {"Frame5", "frame", nullptr, "沿程阻力系数计算公式", 120, 3240, 4335, 3975, 52},
    {"Frame1", "frame", nullptr, "风量", 4680, 3240, 3615, 855, 0},
    {"Frame3", "frame", nullptr, "计算结果", 4680, 4320, 3615, 2895, 16},

    {"Text1", "text box", "Frame1", "Text1", 120, 360, 1695, 300, 1},
    {"Combo1", "combo box", "Frame1", nullptr, 1920, 360, 1575, 300, 2},

    {"Check1", "check box", "Frame2", "非标尺寸", 240, 240, 1095, 375, 6},
    {"Option1", "option button", "Frame2", "圆形风管", 240, 600, 1095, 375, 4},
    {"Label1", "label", "Frame2", "直径", 480, 1080, 615, 300, 8},
    {"Combo2", "combo box", "Frame2", nullptr, 1080, 1080, 1335, 300, 13},
    {"Text2", "text box", "Frame2", "Text2", 1080, 1080, 1335, 270, 7},
    {"Option2", "option button", "Frame2", "矩形风管", 240, 1440, 1095, 375, 5},
    {"Label2", "label", "Frame2", "长", 480, 1920, 375, 255, 9},
    {"Combo3", "combo box", "Frame2", nullptr, 1080, 1920, 1335, 300, 14},
    {"Text3", "text box", "Frame2", "Text3", 1080, 1920, 1335, 270, 11},
    {"Label3", "label", "Frame2", "宽", 480, 2400, 375, 255, 10},
    {"Combo4", "combo box", "Frame2", nullptr, 1080, 2400, 1335, 300, 15},
    {"Text4", "text box", "Frame2", "Text4", 1080, 2400, 1335, 270, 12},

    {"Label12", "label", "Frame3", "粗 糙 度", 120, 360, 855, 255, 58},
    {"Label13", "label", "Frame3", "Label13", 1200, 360, 2295, 255, 57},
    {"Label9", "label", "Frame3", "风    量", 120, 720, 855, 255, 39},
    {"Label10", "label", "Frame3", " 0  m3/h", 1200, 720, 2295, 255, 35},
    {"Label4", "label", "Frame3", "风管尺寸", 120, 1080, 855, 255, 38},
    {"Label6", "label", "Frame3", "Label6", 1200, 1080, 2295, 255, 17},
    {"Label16", "label", "Frame3", "当量直径", 120, 1440, 855, 255, 61},
    {"Label17", "label", "Frame3", "Label17", 1200, 1440, 2175, 255, 62},
    {"Label5", "label", "Frame3", "风    速", 120, 1800, 855, 255, 37},
    {"Label7", "label", "Frame3", "Label7", 1200, 1800, 2295, 255, 18},
    {"Label14", "label", "Frame3", "雷 诺 数", 120, 2160, 855, 255, 59},
    {"Label15", "label", "Frame3", "Label15", 1200, 2160, 2175, 255, 60},
    {"Label8", "label", "Frame3", "比 摩 阻", 120, 2520, 855, 255, 40},
    {"Label11", "label", "Frame3", " 0  Pa/m", 1200, 2520, 2295, 255, 36},

    {"Option3_0", "option button", "Frame4", "薄钢板", 120, 360, 975, 255, 20},
    {"Text5", "text box", "Frame4", "0.16", 360, 720, 735, 270, 21},
    {"HScroll1", "scroll bar", "Frame4", nullptr, 1080, 720, 495, 255, 22},
    {"Option3_1", "option button", "Frame4", "塑料板", 120, 1200, 975, 255, 23},
    {"Text6", "text box", "Frame4", "0.03", 360, 1560, 735, 270, 28},
    {"HScroll2", "scroll bar", "Frame4", nullptr, 1080, 1560, 495, 255, 29},
    {"Option3_2", "option button", "Frame4", "矿渣石膏板", 120, 2040, 1455, 255, 24},
    {"Text7", "text box", "Frame4", "1.0", 360, 2400, 735, 270, 30},
    {"HScroll3", "scroll bar", "Frame4", nullptr, 1080, 2400, 495, 255, 49},
    {"Option3_3", "option button", "Frame4", "矿渣混凝土板", 1920, 360, 1455, 255, 25},
    {"Text8", "text box", "Frame4", "1.5", 2160, 720, 735, 270, 31},
    {"HScroll4", "scroll bar", "Frame4", nullptr, 2880, 720, 495, 255, 50},
    {"Option3_4", "option button", "Frame4", "胶合板", 1920, 1200, 975, 255, 26},
    {"Text9", "text box", "Frame4", "1.0", 2160, 1560, 735, 270, 32},
    {"HScroll5", "scroll bar", "Frame4", nullptr, 2880, 1560, 495, 255, 51},
    {"Option3_5", "option button", "Frame4", "砖砌体", 1920, 2040, 975, 255, 27},
    {"Text10", "text box", "Frame4", "5", 2160, 2400, 735, 270, 33},
    {"HScroll6", "scroll bar", "Frame4", nullptr, 2880, 2400, 495, 255, 34},
    {"Option3_6", "option button", "Frame4", "混凝土", 3720, 360, 975, 255, 41},
    {"Text11", "text box", "Frame4", "2", 3960, 720, 735, 270, 44},
    {"HScroll7", "scroll bar", "Frame4", nullptr, 4680, 720, 495, 255, 47},
    {"Option3_7", "option button", "Frame4", "木板", 3720, 1200, 975, 255, 42},
    {"Text12", "text box", "Frame4", "0.6", 3960, 1560, 735, 270, 45},
    {"HScroll8", "scroll bar", "Frame4", nullptr, 4680, 1560, 495, 255, 48},
    {"Option3_8", "option button", "Frame4", "自定义", 3720, 2040, 975, 255, 43},
    {"Text13", "text box", "Frame4", "10", 3960, 2400, 1215, 270, 46},

    {"Option4", "option button", "Frame5", "公式一", 120, 360, 2415, 255, 53},
    {"Picture1", "picture box", "Frame5", nullptr, 600, 720, 2535, 1095, 55},
    {"Option5", "option button", "Frame5", "公式二", 120, 2280, 2415, 255, 54},
    {"Picture2", "picture box", "Frame5", nullptr, 600, 2640, 3495, 1095, 56},
};
// clang-format on

const Expected* expectedControl(const QString& name) {
    for (const Expected& e : kWindow)
        if (name == QLatin1String(e.name)) return &e;
    return nullptr;
}

const ui::ControlDesc* described(const QString& name) {
    for (const ui::ControlDesc& d : ui::formDescription())
        if (name == QLatin1String(d.name)) return &d;
    return nullptr;
}

QWidget* control(const Form1& form, const QString& name) {
    const QList<QWidget*> found = form.findChildren<QWidget*>(name);
    return found.size() == 1 ? found.front() : nullptr;
}

// The members the handlers use, by the name of the control each must be.
std::map<QString, QWidget*> members(const Form1& f) {
    std::map<QString, QWidget*> m{
        {"Text1", f.Text1},       {"Text2", f.Text2},       {"Text3", f.Text3},
        {"Text4", f.Text4},       {"Text5", f.Text5},       {"Text6", f.Text6},
        {"Text7", f.Text7},       {"Text8", f.Text8},       {"Text9", f.Text9},
        {"Text10", f.Text10},     {"Text11", f.Text11},     {"Text12", f.Text12},
        {"Text13", f.Text13},     {"Combo1", f.Combo1},     {"Combo2", f.Combo2},
        {"Combo3", f.Combo3},     {"Combo4", f.Combo4},     {"Check1", f.Check1},
        {"Option1", f.Option1},   {"Option2", f.Option2},   {"Option4", f.Option4},
        {"Option5", f.Option5},   {"HScroll1", f.HScroll1}, {"HScroll2", f.HScroll2},
        {"HScroll3", f.HScroll3}, {"HScroll4", f.HScroll4}, {"HScroll5", f.HScroll5},
        {"HScroll6", f.HScroll6}, {"HScroll7", f.HScroll7}, {"HScroll8", f.HScroll8},
        {"Label1", f.Label1},     {"Label2", f.Label2},     {"Label3", f.Label3},
        {"Label4", f.Label4},     {"Label5", f.Label5},     {"Label6", f.Label6},
        {"Label7", f.Label7},     {"Label8", f.Label8},     {"Label9", f.Label9},
        {"Label10", f.Label10},   {"Label11", f.Label11},   {"Label12", f.Label12},
        {"Label13", f.Label13},   {"Label14", f.Label14},   {"Label15", f.Label15},
        {"Label16", f.Label16},   {"Label17", f.Label17},   {"Frame1", f.Frame1},
        {"Frame2", f.Frame2},     {"Frame3", f.Frame3},     {"Frame4", f.Frame4},
        {"Frame5", f.Frame5},     {"Picture1", f.Picture1}, {"Picture2", f.Picture2},
    };
    for (int i = 0; i < calc::kMaterialCount; ++i)
        m.emplace(QStringLiteral("Option3_%1").arg(i), f.Option3[static_cast<std::size_t>(i)]);
    return m;
}

bool isKind(const QWidget* w, const QString& kind) {
    if (kind == "frame") return qobject_cast<const QGroupBox*>(w);
    if (kind == "text box") return qobject_cast<const ui::TextBox*>(w);
    if (kind == "combo box") return qobject_cast<const ui::ComboBox*>(w);
    if (kind == "option button") return qobject_cast<const ui::OptionButton*>(w);
    if (kind == "check box") return qobject_cast<const ui::CheckBox*>(w);
    if (kind == "scroll bar") return qobject_cast<const ui::HScrollBar*>(w);
    const auto* label = qobject_cast<const QLabel*>(w);
    if (kind == "label") return label && label->pixmap().isNull();
    if (kind == "picture box") return label && !label->pixmap().isNull();
    return false;
}

// The caption a control shows, whatever its kind.
QString captionOf(const QWidget* w) {
    if (const auto* box = qobject_cast<const QGroupBox*>(w)) return box->title();
    if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) return edit->text();
    if (const auto* list = qobject_cast<const ui::ComboBox*>(w)) return list->text();
    return QString();
}

QString qs(const std::string& text) { return QString::fromStdString(text); }

float stateField(const calc::CalcState& s, const QString& field) {
    static const std::map<QString, float calc::CalcState::*> fields{
        {"diameter", &calc::CalcState::diameter},
        {"sideA", &calc::CalcState::sideA},
        {"sideB", &calc::CalcState::sideB},
        {"area", &calc::CalcState::area},
        {"roughness", &calc::CalcState::roughness},
        {"flowRate", &calc::CalcState::flowRate},
        {"velocity", &calc::CalcState::velocity},
        {"flowFactor", &calc::CalcState::flowFactor},
        {"lambda", &calc::CalcState::lambda},
        {"reynolds", &calc::CalcState::reynolds},
        {"eqDiameter", &calc::CalcState::eqDiameter},
        {"specificLoss", &calc::CalcState::specificLoss},
    };
    return s.*fields.at(field);
}

const QStringList kStandardSides{"120", "160", "200",  "250",  "320",  "400", "500",
                                 "630", "800", "1000", "1250", "1600", "2000"};

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::applyAppearance(); }

    // --- Before start-up -----------------------------------------------------

    void placeholderTextsBeforeStartUp_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        for (const char* box : {"Text1", "Text2", "Text3", "Text4"})
            QTest::addRow("%s shows its own name", box) << box << box;
        for (const char* label : {"Label6", "Label7", "Label13", "Label15", "Label17"})
            QTest::addRow("%s shows its own name", label) << label << label;
        QTest::newRow("Label10 shows zero air volume") << "Label10"
                                                       << " 0  m3/h";
        QTest::newRow("Label11 shows zero friction loss") << "Label11"
                                                          << " 0  Pa/m";
        QTest::newRow("the roughness box of thin steel shows 0.16") << "Text5"
                                                                    << "0.16";
        QTest::newRow("the custom roughness box shows 10") << "Text13"
                                                           << "10";
    }

    void placeholderTextsBeforeStartUp() {
        QFETCH(QString, name);
        QFETCH(QString, expected);

        Form1 form;
        QWidget* w = control(form, name);
        QVERIFY(w);
        QCOMPARE(captionOf(w), expected);
    }

    void listsAreEmptyBeforeStartUp_data() {
        QTest::addColumn<QString>("name");
        for (const char* list : {"Combo1", "Combo2", "Combo3", "Combo4"})
            QTest::addRow("%s has no entries", list) << list;
    }

    void listsAreEmptyBeforeStartUp() {
        QFETCH(QString, name);

        Form1 form;
        auto* list = qobject_cast<ui::ComboBox*>(control(form, name));
        QVERIFY(list);
        QCOMPARE(list->count(), 0);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->text(), QString());
    }

    void choicesBeforeAndAfterStartUp_data() {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expectedValue");

        for (bool loaded : {false, true}) {
            const char* when = loaded ? "after start-up" : "as created";
            QTest::addRow("Option1 is selected %s", when) << loaded << "Option1" << -1;
            QTest::addRow("Option2 is not selected %s", when) << loaded << "Option2" << 0;
            QTest::addRow("Option3 element 0 is selected %s", when) << loaded << "Option3_0" << -1;
            for (int i = 1; i < calc::kMaterialCount; ++i)
                QTest::addRow("Option3 element %d is not selected %s", i, when)
                    << loaded << QStringLiteral("Option3_%1").arg(i) << 0;
            QTest::addRow("Option4 is selected %s", when) << loaded << "Option4" << -1;
            QTest::addRow("Option5 is not selected %s", when) << loaded << "Option5" << 0;
            QTest::addRow("Check1 is not ticked %s", when) << loaded << "Check1" << 0;
        }
    }

    void choicesBeforeAndAfterStartUp() {
        QFETCH(bool, loaded);
        QFETCH(QString, name);
        QFETCH(int, expectedValue);

        Form1 form;
        if (loaded) form.Form_Load();
        QWidget* w = control(form, name);
        if (auto* option = qobject_cast<ui::OptionButton*>(w))
            QCOMPARE(option->value(), expectedValue);
        else if (auto* check = qobject_cast<ui::CheckBox*>(w))
            QCOMPARE(check->value(), expectedValue);
        else
            QFAIL("not a choice");
    }

    void scrollBarsBeforeAndAfterStartUp_data() {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");

        for (bool loaded : {false, true}) {
            const char* when = loaded ? "after start-up" : "as created";
            QTest::addRow("HScroll1 runs 15 to 18 from 16 %s", when)
                << loaded << "HScroll1" << true << 15 << 18 << 16;
            QTest::addRow("HScroll2 runs 1 to 5 from 3 %s", when)
                << loaded << "HScroll2" << true << 1 << 5 << 3;
            QTest::addRow("HScroll3 is disabled %s", when)
                << loaded << "HScroll3" << false << 0 << 0 << 0;
            QTest::addRow("HScroll4 is disabled %s", when)
                << loaded << "HScroll4" << false << 0 << 0 << 0;
            QTest::addRow("HScroll5 is disabled %s", when)
                << loaded << "HScroll5" << false << 0 << 0 << 0;
            QTest::addRow("HScroll6 runs 30 to 60 from 50 %s", when)
                << loaded << "HScroll6" << true << 30 << 60 << 50;
            QTest::addRow("HScroll7 runs 10 to 30 from 20 %s", when)
                << loaded << "HScroll7" << true << 10 << 30 << 20;
            QTest::addRow("HScroll8 runs 2 to 10 from 6 %s", when)
                << loaded << "HScroll8" << true << 2 << 10 << 6;
        }
    }

    void scrollBarsBeforeAndAfterStartUp() {
        QFETCH(bool, loaded);
        QFETCH(QString, name);
        QFETCH(bool, enabled);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);

        Form1 form;
        if (loaded) form.Form_Load();
        auto* bar = qobject_cast<ui::HScrollBar*>(control(form, name));
        QVERIFY(bar);
        QCOMPARE(bar->isEnabled(), enabled);
        QCOMPARE(bar->value(), value);
        if (!enabled) return;  // no range of its own
        QCOMPARE(bar->minimum(), minimum);
        QCOMPARE(bar->maximum(), maximum);
        QCOMPARE(bar->singleStep(), 1);
        QCOMPARE(bar->pageStep(), 1);
    }

    void sizeControlsAreAllShownAndEnabledBeforeStartUp() {
        Form1 form;
        for (const char* name : {"Combo2", "Text2", "Combo3", "Text3", "Combo4", "Text4"}) {
            QWidget* w = control(form, name);
            QVERIFY2(w && !w->isHidden() && w->isEnabled(), name);
        }
    }

    void calculationStateIsZeroBeforeStartUp() {
        Form1 form;
        const calc::CalcState& s = form.state();
        for (float field :
             {s.diameter, s.sideA, s.sideB, s.area, s.roughness, s.flowRate, s.velocity,
              s.flowFactor, s.lambda, s.reynolds, s.eqDiameter, s.specificLoss})
            QCOMPARE(field, 0.0f);
    }

    // --- The description -----------------------------------------------------

    void everyControlIsAsDescribed_data() {
        QTest::addColumn<QString>("name");
        for (const Expected& e : kWindow)
            QTest::addRow("%s is a %s in %s", e.name, e.kind, e.frame ? e.frame : "the window")
                << QString::fromLatin1(e.name);
    }

    void everyControlIsAsDescribed() {
        QFETCH(QString, name);
        const Expected& e = *expectedControl(name);

        Form1 form;
        QWidget* w = control(form, name);
        QVERIFY2(w, "no single control of that name");
        QVERIFY2(isKind(w, QString::fromLatin1(e.kind)), w->metaObject()->className());
        QWidget* parent = w->parentWidget();
        if (e.frame)
            QCOMPARE(parent->objectName(), QString::fromLatin1(e.frame));
        else
            QCOMPARE(parent, &form);
        QCOMPARE(w->geometry(), QRect(e.left / 15, e.top / 15, e.width / 15, e.height / 15));
        QCOMPARE(captionOf(w), e.caption ? QString::fromUtf8(e.caption) : QString());
        // Every text in the window's own font and the system colours.
        QVERIFY(!w->testAttribute(Qt::WA_SetFont));
        QVERIFY(!w->testAttribute(Qt::WA_SetPalette));
        QCOMPARE(w->font(), form.font());

        const ui::ControlDesc* d = described(name);
        QVERIFY2(d, "missing from the description");
        QCOMPARE(d->tabIndex, e.tabIndex);
    }

    void theHandlersMembersAreTheNamedControls() {
        Form1 form;
        const auto byMember = members(form);
        QCOMPARE(byMember.size(), std::size(kWindow));
        for (const auto& [name, member] : byMember)
            QVERIFY2(member && member == control(form, name), qPrintable(name));
    }

    void theWindowHoldsNoOtherControls() {
        Form1 form;
        std::multiset<QString> actual;
        for (QWidget* frame : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY2(qobject_cast<QGroupBox*>(frame), qPrintable(frame->objectName()));
            actual.insert(frame->objectName());
            for (QWidget* w : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                actual.insert(w->objectName());
        }
        std::multiset<QString> expected;
        for (const Expected& e : kWindow) expected.insert(QString::fromLatin1(e.name));
        QVERIFY(actual == expected);
    }

    void tabIndexesRunFromZeroWithoutGaps() {
        std::vector<int> indexes;
        std::set<std::string> names;
        for (const ui::ControlDesc& d : ui::formDescription()) {
            indexes.push_back(d.tabIndex);
            QVERIFY2(names.insert(d.name).second, d.name);
            QVERIFY2(expectedControl(QString::fromLatin1(d.name)), d.name);
        }
        std::sort(indexes.begin(), indexes.end());
        QCOMPARE(indexes.size(), std::size(kWindow));
        for (std::size_t i = 0; i < indexes.size(); ++i) QCOMPARE(indexes[i], int(i));
    }

    void furtherSettingsOfTheControls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("setting");

        for (const char* box :
             {"Text5", "Text6", "Text7", "Text8", "Text9", "Text10", "Text11", "Text12"})
            QTest::addRow("%s is locked", box) << box << "locked";
        for (const char* box : {"Text1", "Text2", "Text3", "Text4", "Text13"})
            QTest::addRow("%s is editable", box) << box << "editable";
        for (const char* list : {"Combo1", "Combo2", "Combo3", "Combo4"})
            QTest::addRow("%s is a pick-only list", list) << list << "pick only";
        for (const char* label :
             {"Label12", "Label9", "Label4", "Label16", "Label5", "Label14", "Label8"})
            QTest::addRow("caption %s is centred", label) << label << "centred";
        for (const char* label :
             {"Label13", "Label10", "Label6", "Label17", "Label7", "Label15", "Label11"})
            QTest::addRow("value %s is left-aligned", label) << label << "left";
    }

    void furtherSettingsOfTheControls() {
        QFETCH(QString, name);
        QFETCH(QString, setting);

        Form1 form;
        QWidget* w = control(form, name);
        QVERIFY(w);
        if (setting == "locked" || setting == "editable")
            QCOMPARE(qobject_cast<ui::TextBox*>(w)->isReadOnly(), setting == "locked");
        else if (setting == "pick only")
            QVERIFY(!qobject_cast<ui::ComboBox*>(w)->isEditable());
        else if (setting == "centred")
            QCOMPARE(qobject_cast<QLabel*>(w)->alignment() & Qt::AlignHorizontal_Mask,
                     Qt::AlignHCenter);
        else
            QCOMPARE(qobject_cast<QLabel*>(w)->alignment() & Qt::AlignHorizontal_Mask,
                     Qt::AlignLeft);
    }

    void windowSettings() {
        Form1 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("风速计算"));
        QCOMPARE(form.size(), QSize(561, 489));
        // Fixed single border: the user cannot resize it.
        QCOMPARE(form.minimumSize(), QSize(561, 489));
        QCOMPARE(form.maximumSize(), QSize(561, 489));
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(form.isWindow());
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QCOMPARE(ui::px(ui::kClientWidth), 561);
        QCOMPARE(ui::px(ui::kClientHeight), 489);
        QCOMPARE(control(form, "Frame1")->toolTip(), QStringLiteral("英制美制选项"));
    }

    // The icon comes right after the first frame, both sizes of it.
    void windowIconAfterTheFirstFrame() {
        Form1 form;
        form.Form_Load();
        form.showCentred();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY(!form.windowIcon().isNull());
        const QList<QSize> iconSizes = form.windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(16, 16)));
        QVERIFY(iconSizes.contains(QSize(32, 32)));
    }

    void windowIsCentredOnTheScreen() {
        Form1 form;
        form.Form_Load();
        form.showCentred();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QPoint centre = form.screen()->availableGeometry().center();
        const QPoint offset = form.frameGeometry().center() - centre;
        QVERIFY2(offset.manhattanLength() <= 1,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    }

    // Each frame is its own option group.
    void selectingAnOptionClearsOnlyItsOwnFrame_data() {
        QTest::addColumn<QString>("select");
        QTest::addColumn<QStringList>("expectedSelected");

        QTest::newRow("a material leaves the duct shape and the formula")
            << "Option3_4" << QStringList{"Option1", "Option3_4", "Option4"};
        QTest::newRow("the custom material leaves the duct shape and the formula")
            << "Option3_8" << QStringList{"Option1", "Option3_8", "Option4"};
        QTest::newRow("the rectangular duct leaves the material and the formula")
            << "Option2" << QStringList{"Option2", "Option3_0", "Option4"};
        QTest::newRow("formula two leaves the duct shape and the material")
            << "Option5" << QStringList{"Option1", "Option3_0", "Option5"};
    }

    void selectingAnOptionClearsOnlyItsOwnFrame() {
        QFETCH(QString, select);
        QFETCH(QStringList, expectedSelected);

        Form1 form;
        form.Form_Load();
        qobject_cast<ui::OptionButton*>(control(form, select))->setValue(-1);

        for (ui::OptionButton* option : form.findChildren<ui::OptionButton*>()) {
            const bool selected = expectedSelected.contains(option->objectName());
            QVERIFY2(option->value() == (selected ? -1 : 0), qPrintable(option->objectName()));
        }
    }

    void disabledScrollBarsIgnoreTheUser_data() {
        QTest::addColumn<QString>("name");
        for (const char* bar : {"HScroll3", "HScroll4", "HScroll5"})
            QTest::addRow("%s ignores keys and clicks", bar) << bar;
    }

    void disabledScrollBarsIgnoreTheUser() {
        QFETCH(QString, name);

        Form1 form;
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* bar = qobject_cast<ui::HScrollBar*>(control(form, name));
        QSignalSpy changes(bar, &ui::HScrollBar::changeRaised);
        const calc::CalcState before = form.state();

        // Straight at the arrows: a user's click does not ask whether the bar
        // is enabled.
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          uitest::scrollBarPart(*bar, QStyle::SC_ScrollBarAddLine).center());
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          uitest::scrollBarPart(*bar, QStyle::SC_ScrollBarSubLine).center());
        QTest::keyClick(bar, Qt::Key_Right);

        QCOMPARE(changes.count(), 0);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(form.state().roughness, before.roughness);
        QCOMPARE(form.Option3[0]->value(), -1);
    }

    // --- After start-up ------------------------------------------------------

    void textsAfterStartUp_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("the air volume is 0") << "Text1"
                                             << "0";
        QTest::newRow("the non-standard diameter is 100") << "Text2"
                                                          << "100";
        QTest::newRow("the non-standard first side is 1000") << "Text3"
                                                             << "1000";
        QTest::newRow("the non-standard second side is 1000") << "Text4"
                                                              << "1000";
        const char* roughness[] = {"0.16", "0.03", "1.0", "1.5", "1.0", "5", "2", "0.6", "10"};
        static_assert(std::size(roughness) == calc::kMaterialCount);
        for (int i = 0; i < calc::kMaterialCount; ++i)
            QTest::addRow("Text%d holds the roughness %s", 5 + i, roughness[i])
                << QStringLiteral("Text%1").arg(5 + i) << roughness[i];
    }

    void textsAfterStartUp() {
        QFETCH(QString, name);
        QFETCH(QString, expected);

        Form1 form;
        form.Form_Load();
        QCOMPARE(qobject_cast<ui::TextBox*>(control(form, name))->text(), expected);
    }

    void listsAfterStartUp_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("chosenIndex");

        QTest::newRow("Combo1 lists the ten flow units, m3/h chosen")
            << "Combo1" << QStringList{"m3/h",   "m3/min", "m3/s",   "l/min",  "l/s",
                                       "Am.GPM", "Am.GPS", "En.GPM", "En.GPS", "CFM"}
            << "m3/h" << 0;
        QTest::newRow("Combo2 lists the 26 standard diameters, 100 chosen")
            << "Combo2"
            << QStringList{"100", "120",  "140",  "160",  "180",  "200",  "220",  "250", "280",
                           "320", "360",  "400",  "450",  "500",  "560",  "630",  "700", "800",
                           "900", "1000", "1120", "1250", "1400", "1600", "1800", "2000"}
            << "100" << 0;
        QTest::newRow("Combo3 lists the 13 standard sides, 1000 chosen")
            << "Combo3" << kStandardSides << "1000" << 9;
        QTest::newRow("Combo4 lists the 13 standard sides, 1000 chosen")
            << "Combo4" << kStandardSides << "1000" << 9;
    }

    void listsAfterStartUp() {
        QFETCH(QString, name);
        QFETCH(QStringList, entries);
        QFETCH(QString, chosen);
        QFETCH(int, chosenIndex);

        Form1 form;
        form.Form_Load();
        auto* list = qobject_cast<ui::ComboBox*>(control(form, name));
        QVERIFY(list);
        QStringList actual;
        for (int i = 0; i < list->count(); ++i) actual << list->itemText(i);
        QCOMPARE(actual, entries);
        QCOMPARE(list->text(), chosen);
        QCOMPARE(list->currentIndex(), chosenIndex);
    }

    void sizeControlsAfterStartUp_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");

        QTest::newRow("the diameter list is shown and enabled") << "Combo2" << true << true;
        QTest::newRow("the diameter box is hidden and enabled") << "Text2" << false << true;
        QTest::newRow("the first side list is shown and disabled") << "Combo3" << true << false;
        QTest::newRow("the first side box is hidden and disabled") << "Text3" << false << false;
        QTest::newRow("the second side list is shown and disabled") << "Combo4" << true << false;
        QTest::newRow("the second side box is hidden and disabled") << "Text4" << false << false;
    }

    void sizeControlsAfterStartUp() {
        QFETCH(QString, name);
        QFETCH(bool, visible);
        QFETCH(bool, enabled);

        Form1 form;
        form.Form_Load();
        QWidget* w = control(form, name);
        QCOMPARE(w->isHidden(), !visible);
        QCOMPARE(w->isVisibleTo(&form), visible);
        QCOMPARE(w->isEnabled(), enabled);
    }

    void calculationStateAfterStartUp_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<float>("expected");

        QTest::newRow("the diameter is 100 mm") << "diameter" << 100.0f;
        QTest::newRow("the first side is 1000 mm") << "sideA" << 1000.0f;
        QTest::newRow("the second side is 1000 mm") << "sideB" << 1000.0f;
        QTest::newRow("the roughness is that of thin steel") << "roughness" << 0.16f;
        QTest::newRow("the flow factor is that of m3/h") << "flowFactor" << 1.0f;
        QTest::newRow("the air volume is 0") << "flowRate" << 0.0f;
        QTest::newRow("the area is that of a 100 mm circle") << "area" << float(engine::s1(100.0f));
        QTest::newRow("the velocity is 0") << "velocity" << 0.0f;
        QTest::newRow("the equivalent diameter is 0.1 m") << "eqDiameter" << 0.1f;
        QTest::newRow("the Reynolds number is 0") << "reynolds" << 0.0f;
        QTest::newRow("the friction factor is 0") << "lambda" << 0.0f;
        QTest::newRow("the friction loss is 0") << "specificLoss" << 0.0f;
    }

    void calculationStateAfterStartUp() {
        QFETCH(QString, field);
        QFETCH(float, expected);

        Form1 form;
        form.Form_Load();
        const float actual = stateField(form.state(), field);
        // Single precision values, compared exactly.
        QVERIFY2(actual == expected, qPrintable(QString::number(actual, 'g', 9)));
    }

    void resultTextsAfterStartUp_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("Label6 shows a circular duct of 100") << "Label6"
                                                             << "φ 100";
        QTest::newRow("Label7 shows zero velocity, not the size prompt") << "Label7"
                                                                         << " 0 m/s";
        QTest::newRow("Label17 shows an equivalent diameter of 0.1 m")
            << "Label17" << qs(calc::numberText(0.1f)) + " m";
        QTest::newRow("Label10 shows zero air volume") << "Label10"
                                                       << " 0 m3/h";
        QTest::newRow("Label13 shows the roughness 0.16")
            << "Label13" << qs(calc::numberText(0.16f));
        QTest::newRow("Label15 shows a Reynolds number of 0") << "Label15"
                                                              << " 0";
        QTest::newRow("Label11 shows zero friction loss") << "Label11"
                                                          << " 0 Pa/m";
    }

    void resultTextsAfterStartUp() {
        QFETCH(QString, name);
        QFETCH(QString, expected);

        Form1 form;
        form.Form_Load();
        QCOMPARE(qobject_cast<QLabel*>(control(form, name))->text(), expected);
    }

    // Start-up's own assignments raise the handlers of the controls they
    // change, and only those: values already in place raise nothing.
    void startUpRaisesTheEventsOfTheControlsItChanges_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expectedSignalCount");

        for (const char* box : {"Text1", "Text2", "Text3", "Text4"})
            QTest::addRow("%s's new text raises Change once", box) << box << 1;
        for (int i = 5; i <= 13; ++i)
            QTest::addRow("Text%d keeps its text and raises no Change", i)
                << QStringLiteral("Text%1").arg(i) << 0;
        for (const char* list : {"Combo1", "Combo2", "Combo3", "Combo4"})
            QTest::addRow("choosing in %s raises Click once", list) << list << 1;
        for (const char* option : {"Option1", "Option2", "Option4", "Option5"})
            QTest::addRow("%s raises no Click", option) << option << 0;
        for (int i = 0; i < calc::kMaterialCount; ++i)
            QTest::addRow("Option3 element %d raises no Click", i)
                << QStringLiteral("Option3_%1").arg(i) << 0;
        QTest::newRow("Check1 raises no Click") << "Check1" << 0;
        for (int i = 1; i <= 8; ++i)
            QTest::addRow("HScroll%d raises no Change", i)
                << QStringLiteral("HScroll%1").arg(i) << 0;
    }

    void startUpRaisesTheEventsOfTheControlsItChanges() {
        QFETCH(QString, name);
        QFETCH(int, expectedSignalCount);

        Form1 form;
        QWidget* w = control(form, name);
        std::unique_ptr<QSignalSpy> spy;
        if (auto* box = qobject_cast<ui::TextBox*>(w))
            spy = std::make_unique<QSignalSpy>(box, &ui::TextBox::changeRaised);
        else if (auto* list = qobject_cast<ui::ComboBox*>(w))
            spy = std::make_unique<QSignalSpy>(list, &ui::ComboBox::clickRaised);
        else if (auto* option = qobject_cast<ui::OptionButton*>(w))
            spy = std::make_unique<QSignalSpy>(option, &ui::OptionButton::clickRaised);
        else if (auto* check = qobject_cast<ui::CheckBox*>(w))
            spy = std::make_unique<QSignalSpy>(check, &ui::CheckBox::clickRaised);
        else if (auto* bar = qobject_cast<ui::HScrollBar*>(w))
            spy = std::make_unique<QSignalSpy>(bar, &ui::HScrollBar::changeRaised);
        QVERIFY(spy && spy->isValid());

        form.Form_Load();

        QCOMPARE(spy->count(), expectedSignalCount);
    }

    // The handlers raised by start-up run nested, in the order of its steps,
    // each seeing the window as far as start-up has set it up.
    void startUpRunsItsNestedHandlersInOrder() {
        Form1 form;
        struct Seen {
            QString control;
            float flowFactor;
            QString velocityText;
            QString sizeText;
        };
        QList<Seen> seen;
        // Connected after the window's own handlers, so each runs after them.
        auto record = [&](const QString& name) {
            seen << Seen{name, form.state().flowFactor, form.Label7->text(), form.Label6->text()};
        };
        for (ui::TextBox* box : {form.Text1, form.Text2, form.Text3, form.Text4})
            connect(box, &ui::TextBox::changeRaised, this,
                    [record, box] { record(box->objectName()); });
        for (ui::ComboBox* list : {form.Combo1, form.Combo2, form.Combo3, form.Combo4})
            connect(list, &ui::ComboBox::clickRaised, this,
                    [record, list] { record(list->objectName()); });

        form.Form_Load();

        QStringList order;
        for (const Seen& s : seen) order << s.control;
        QCOMPARE(order, (QStringList{"Text1", "Text2", "Text3", "Text4", "Combo1", "Combo2",
                                     "Combo3", "Combo4"}));
        // The flow factor comes from choosing m3/h, after the texts are set.
        for (int i = 0; i < 4; ++i) QCOMPARE(seen[i].flowFactor, 0.0f);
        for (int i = 4; i < 8; ++i) QCOMPARE(seen[i].flowFactor, 1.0f);
        // The first recalculation finds the size lists still empty.
        QCOMPARE(seen[0].velocityText, QStringLiteral("请输入风管尺寸"));
        QCOMPARE(seen[4].velocityText, QStringLiteral("请输入风管尺寸"));
        // Once 100 is chosen in Combo2 the duct has its size.
        QCOMPARE(seen[5].sizeText, QStringLiteral("φ 100"));
        QCOMPARE(seen[5].velocityText, QStringLiteral(" 0 m/s"));
    }

    void theFlowFactorIsSetOnlyByChoosingTheUnit() {
        Form1 form;
        {
            // Without the unit's Click the factor stays as created.
            const QSignalBlocker silent(form.Combo1);
            form.Form_Load();
        }
        QCOMPARE(form.Combo1->text(), QStringLiteral("m3/h"));
        QCOMPARE(form.state().flowFactor, 0.0f);
    }

    // --- Captions fit their controls ----------------------------------------

    void noCaptionIsClipped_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");  // empty: what start-up leaves

        for (const Expected& e : kWindow) {
            const QString kind = QString::fromLatin1(e.kind);
            if (kind == "label" || kind == "option button" || kind == "check box" ||
                kind == "frame")
                QTest::addRow("the caption of %s fits", e.name)
                    << QString::fromLatin1(e.name) << QString();
        }
        QTest::newRow("the size prompt fits Label7") << "Label7"
                                                     << "请输入风管尺寸";
        QTest::newRow("a seven-digit air volume fits Label10") << "Label10"
                                                               << " 1234567 m3/h";
        QTest::newRow("a rectangular size fits Label6") << "Label6"
                                                        << " 2000 * 2000";
    }

    void noCaptionIsClipped() {
        QFETCH(QString, name);
        QFETCH(QString, text);

        Form1 form;
        form.Form_Load();
        QWidget* w = control(form, name);
        if (text.isEmpty())
            text = captionOf(w);
        else
            qobject_cast<QLabel*>(w)->setText(text);
        QVERIFY(!text.isEmpty());
        const QFontMetrics metrics(w->font());
        const int advance = metrics.horizontalAdvance(text);
        QStyle* style = w->style();
        const QString detail =
            QStringLiteral("%1 px of text in %2x%3").arg(advance).arg(w->width()).arg(w->height());

        int needed = advance;
        int height = metrics.height();
        if (auto* box = qobject_cast<QGroupBox*>(w)) {
            QStyleOptionGroupBox option;
            option.initFrom(box);
            option.text = text;
            option.lineWidth = 1;
            option.textAlignment = box->alignment();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect title =
                style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
            needed += title.left();
            // The title runs above the frame's first control.
            int firstTop = box->height();
            for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                firstTop = std::min(firstTop, child->y());
            QVERIFY2(height <= firstTop, qPrintable(detail));
            QVERIFY2(needed <= box->width(), qPrintable(detail));
            return;
        }
        if (qobject_cast<ui::OptionButton*>(w)) {
            needed += style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
                      style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
            height = std::max(height,
                              style->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, w));
        } else if (qobject_cast<ui::CheckBox*>(w)) {
            needed += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                      style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
            height = std::max(height, style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, w));
        } else {
            auto* label = qobject_cast<QLabel*>(w);
            QVERIFY(label);
            const QMargins margins = label->contentsMargins();
            needed += margins.left() + margins.right() + 2 * label->margin();
            height += margins.top() + margins.bottom() + 2 * label->margin();
        }
        QVERIFY2(needed <= w->width(), qPrintable(detail));
        QVERIFY2(height <= w->height(), qPrintable(detail));
    }

    void textsFitTheBoxesHeight_data() {
        QTest::addColumn<QString>("name");
        for (const Expected& e : kWindow) {
            const QString kind = QString::fromLatin1(e.kind);
            if (kind == "text box" || kind == "combo box")
                QTest::addRow("a line of text fits the height of %s", e.name)
                    << QString::fromLatin1(e.name);
        }
    }

    void textsFitTheBoxesHeight() {
        QFETCH(QString, name);

        Form1 form;
        form.Form_Load();
        QWidget* w = control(form, name);
        QStyle* style = w->style();
        QRect field;
        if (auto* box = qobject_cast<ui::TextBox*>(w)) {
            QStyleOptionFrame option;
            option.initFrom(box);
            option.rect = box->rect();
            option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
            field = style->subElementRect(QStyle::SE_LineEditContents, &option, box)
                        .marginsRemoved(box->textMargins());
        } else {
            auto* list = qobject_cast<ui::ComboBox*>(w);
            QStyleOptionComboBox option;
            option.initFrom(list);
            option.editable = false;
            option.frame = true;
            option.subControls = QStyle::SC_All;
            field = style->subControlRect(QStyle::CC_ComboBox, &option,
                                          QStyle::SC_ComboBoxEditField, list);
        }
        QVERIFY2(QFontMetrics(w->font()).height() <= field.height(),
                 qPrintable(QStringLiteral("text field %1 px high").arg(field.height())));
    }

    // --- Tab order -------------------------------------------------------------

    void tabVisitsTheControlsInTabIndexOrder_data() {
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QStringList>("expected");

        const QStringList materials{"Text5", "HScroll1", "Text6",  "HScroll2", "Text7",
                                    "Text8", "Text9",    "Text10", "HScroll6"};
        const QStringList lastMaterials{"Text11", "Text12", "Text13", "HScroll7", "HScroll8"};

        QTest::newRow("as start-up leaves the window")
            << QStringList{}
            << QStringList{"Text1", "Combo1", "Option1", "Check1", "Combo2", "Option3_0"} +
                   materials + lastMaterials + QStringList{"Option4", "Picture1", "Picture2"};
        QTest::newRow("a rectangular duct of non-standard size")
            << QStringList{"Option2", "Check1"}
            << QStringList{"Text1", "Combo1", "Option2", "Check1", "Text3", "Text4", "Option3_0"} +
                   materials + lastMaterials + QStringList{"Option4", "Picture1", "Picture2"};
        QTest::newRow("a rectangular duct of standard size")
            << QStringList{"Option2"}
            << QStringList{"Text1",  "Combo1", "Option2",  "Check1",
                           "Combo3", "Combo4", "Option3_0"} +
                   materials + lastMaterials + QStringList{"Option4", "Picture1", "Picture2"};
        QTest::newRow("a circular duct of non-standard size")
            << QStringList{"Check1"}
            << QStringList{"Text1", "Combo1", "Option1", "Check1", "Text2", "Option3_0"} +
                   materials + lastMaterials + QStringList{"Option4", "Picture1", "Picture2"};
        QTest::newRow("brick chosen: the group's stop is brick's own place")
            << QStringList{"Option3_5"}
            << QStringList{"Text1", "Combo1",   "Option1",   "Check1", "Combo2",
                           "Text5", "HScroll1", "Option3_5", "Text6",  "HScroll2",
                           "Text7", "Text8",    "Text9",     "Text10", "HScroll6"} +
                   lastMaterials + QStringList{"Option4", "Picture1", "Picture2"};
        QTest::newRow("the custom material and formula two chosen")
            << QStringList{"Option3_8", "Option5"}
            << QStringList{"Text1", "Combo1", "Option1", "Check1", "Combo2"} + materials +
                   QStringList{"Option3_8"} + lastMaterials +
                   QStringList{"Option5", "Picture1", "Picture2"};
    }

    void tabVisitsTheControlsInTabIndexOrder() {
        QFETCH(QStringList, choices);
        QFETCH(QStringList, expected);

        Form1 form;
        form.Form_Load();
        for (const QString& name : choices) {
            QWidget* w = control(form, name);
            if (auto* option = qobject_cast<ui::OptionButton*>(w))
                option->setValue(-1);
            else
                qobject_cast<ui::CheckBox*>(w)->setValue(1);
        }
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        auto walk = [&form](Qt::KeyboardModifiers modifiers) {
            form.Text1->setFocus(Qt::OtherFocusReason);
            QStringList visited{QApplication::focusWidget()->objectName()};
            for (int i = 0; i < 70 && (visited.size() == 1 || visited.back() != "Text1"); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
                visited << QApplication::focusWidget()->objectName();
            }
            return visited;
        };

        // Round the window once, back to the air volume box.
        QCOMPARE(walk(Qt::NoModifier), expected + QStringList{"Text1"});
        QStringList backwards(expected.rbegin(), expected.rend());
        QCOMPARE(walk(Qt::ShiftModifier), QStringList{"Text1"} + backwards);
    }

    // --- Formula pictures ------------------------------------------------------

    void formulaPicturesAreShownUnscaled_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("bitmapSize");

        QTest::newRow("formula one in Picture1") << "Picture1" << QSize(171, 69);
        QTest::newRow("formula two in Picture2") << "Picture2" << QSize(231, 72);
    }

    void formulaPicturesAreShownUnscaled() {
        QFETCH(QString, name);
        QFETCH(QSize, bitmapSize);

        Form1 form;
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* picture = qobject_cast<QLabel*>(control(form, name));
        QVERIFY(picture);
        const QPixmap pixmap = picture->pixmap();
        QCOMPARE(pixmap.devicePixelRatio(), 1.0);
        QCOMPARE(pixmap.size(), bitmapSize);
        const QImage bitmap = pixmap.toImage();

        const QImage shown = form.grab().toImage();
        QCOMPARE(shown.devicePixelRatio(), 1.0);
        const QRect interior = picture->contentsRect().translated(picture->mapTo(&form, QPoint()));
        QVERIFY(interior.width() >= picture->width() - 2);  // a border of at most one pixel

        // Drawn from the interior's top-left corner, pixel for pixel; the
        // formula's black lies inside what the box shows.
        int black = 0;
        QSet<int> blackColumns;
        for (int y = 0; y < bitmap.height(); ++y) {
            for (int x = 0; x < bitmap.width(); ++x) {
                const bool ink = qGray(bitmap.pixel(x, y)) < 128;
                if (!ink) continue;
                ++black;
                blackColumns.insert(x);
                QVERIFY2(x < interior.width() && y < interior.height(),
                         qPrintable(QStringLiteral("black at %1,%2 is cut off").arg(x).arg(y)));
            }
        }
        QVERIFY(black > 100);
        for (int y = 0; y < std::min(bitmap.height(), interior.height()); ++y)
            for (int x = 0; x < std::min(bitmap.width(), interior.width()); ++x)
                QVERIFY2(shown.pixel(interior.topLeft() + QPoint(x, y)) == bitmap.pixel(x, y),
                         qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        QSet<int> shownBlackColumns;
        for (int y = 0; y < interior.height(); ++y)
            for (int x = 0; x < interior.width(); ++x)
                if (shown.pixel(interior.topLeft() + QPoint(x, y)) == qRgb(0, 0, 0))
                    shownBlackColumns.insert(x);
        QCOMPARE(shownBlackColumns, blackColumns);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
