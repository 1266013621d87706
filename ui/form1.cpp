// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/form1.h"

#include <QIcon>
#include <QSize>
#include <QTimer>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "calc/defaults.h"
#include "calc/reading_warning.h"
#include "calc/tables.h"
#include "messages/catalogue.h"
#include "ui/accessibility.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/qt_text.h"

using ui::qs;

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("风速计算"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ui::px(ui::kClientWidth), ui::px(ui::kClientHeight));
    setFont(ui::windowFont());
    build();
    connectHandlers();
    connectReadingWarnings();
}

void Form1::giveIconAfterFirstFrame() {
    if (iconGiven_) return;
    iconGiven_ = true;
    QTimer::singleShot(0, this, [this] {
        QIcon icon;
        icon.addFile(QStringLiteral(":/images/icon16.png"), QSize(16, 16));
        icon.addFile(QStringLiteral(":/images/icon32.png"), QSize(32, 32));
        setWindowIcon(icon);
    });
}

Form1::~Form1() {
    // Closing the window takes the focus from the custom roughness box, which
    // ends its editing; by then there is no window left to put it right in.
    disconnect(Text13, &ui::TextBox::editingEnded, this, nullptr);
}

void Form1::connectHandlers() {
    connect(Text1, &ui::TextBox::changeRaised, this, &Form1::Text1_Change);
    connect(Combo1, &ui::ComboBox::clickRaised, this, &Form1::Combo1_Click);
    connect(Option1, &ui::OptionButton::clickRaised, this, &Form1::Option1_Click);
    connect(Option2, &ui::OptionButton::clickRaised, this, &Form1::Option2_Click);
    connect(Check1, &ui::CheckBox::clickRaised, this, &Form1::Check1_Click);
    connect(Combo2, &ui::ComboBox::clickRaised, this, &Form1::Combo2_Click);
    connect(Combo3, &ui::ComboBox::clickRaised, this, &Form1::Combo3_Click);
    connect(Combo4, &ui::ComboBox::clickRaised, this, &Form1::Combo4_Click);
    connect(Text2, &ui::TextBox::changeRaised, this, &Form1::Text2_Change);
    connect(Text3, &ui::TextBox::changeRaised, this, &Form1::Text3_Change);
    connect(Text4, &ui::TextBox::changeRaised, this, &Form1::Text4_Change);
    for (int i = 0; i < calc::kMaterialCount; ++i)
        connect(Option3[static_cast<std::size_t>(i)], &ui::OptionButton::clickRaised, this,
                [this, i] { Option3_Click(i); });
    connect(Text5, &ui::TextBox::clickRaised, this, &Form1::Text5_Click);
    connect(Text6, &ui::TextBox::clickRaised, this, &Form1::Text6_Click);
    connect(Text7, &ui::TextBox::clickRaised, this, &Form1::Text7_Click);
    connect(Text8, &ui::TextBox::clickRaised, this, &Form1::Text8_Click);
    connect(Text9, &ui::TextBox::clickRaised, this, &Form1::Text9_Click);
    connect(Text10, &ui::TextBox::clickRaised, this, &Form1::Text10_Click);
    connect(Text11, &ui::TextBox::clickRaised, this, &Form1::Text11_Click);
    connect(Text12, &ui::TextBox::clickRaised, this, &Form1::Text12_Click);
    connect(Text13, &ui::TextBox::clickRaised, this, &Form1::Text13_Click);
    connect(Text13, &ui::TextBox::changeRaised, this, &Form1::Text13_Change);
    connect(Text13, &ui::TextBox::editingEnded, this, &Form1::Text13_EditingEnded);
    connect(HScroll1, &ui::HScrollBar::changeRaised, this, &Form1::HScroll1_Change);
    connect(HScroll2, &ui::HScrollBar::changeRaised, this, &Form1::HScroll2_Change);
    connect(HScroll6, &ui::HScrollBar::changeRaised, this, &Form1::HScroll6_Change);
    connect(HScroll7, &ui::HScrollBar::changeRaised, this, &Form1::HScroll7_Change);
    connect(HScroll8, &ui::HScrollBar::changeRaised, this, &Form1::HScroll8_Change);
    connect(Option4, &ui::OptionButton::clickRaised, this, &Form1::Option4_Click);
    connect(Option5, &ui::OptionButton::clickRaised, this, &Form1::Option5_Click);
}

void Form1::Form_Load() {
    Check1->setValue(0);
    Combo2->setVisible(true);
    Text2->setVisible(false);
    Combo3->setVisible(true);
    Text3->setVisible(false);
    Combo4->setVisible(true);
    Text4->setVisible(false);
    Option1->setValue(-1);
    setSizeControlsEnabled(true);
    Option3[calc::kStartup.material]->setValue(-1);
    Option4->setValue(-1);

    Text1->setText(qs(calc::kStartup.flow));
    Text2->setText(qs(calc::kStartup.diameter));
    Text3->setText(qs(calc::kStartup.sideA));
    Text4->setText(qs(calc::kStartup.sideB));
    for (int i = 0; i < calc::kMaterialCount; ++i)
        roughnessBox(i)->setText(qs(calc::materials[i].defaultK));

    Combo1->clearList();
    for (const calc::FlowUnit& unit : calc::flowUnits) Combo1->addEntry(qs(unit.text));
    Combo2->clearList();
    for (std::string_view d : calc::standardDiameters) Combo2->addEntry(qs(d));
    Combo3->clearList();
    for (std::string_view side : calc::standardSides) Combo3->addEntry(qs(side));
    Combo4->clearList();
    for (std::string_view side : calc::standardSides) Combo4->addEntry(qs(side));

    // Choosing "m3/h" is what sets the flow factor.
    Combo1->setText(qs(calc::kStartup.flowUnit));
    Combo2->setText(qs(calc::kStartup.diameter));
    Combo3->setText(qs(calc::kStartup.sideA));
    Combo4->setText(qs(calc::kStartup.sideB));

    const calc::CalcState start = calc::startupState();
    calc_.sideA = start.sideA;
    calc_.sideB = start.sideB;
    calc_.diameter = start.diameter;
    calc_.roughness = start.roughness;
    v();

    // Ready for the first number: it replaces the "0".
    Text1->setFocus();
    Text1->selectAll();
}

void Form1::v() {
    outcome_ = calc::v(calc_, *this);
    // A result computed from a box whose text is not read as it stands says
    // so beside it.
    const bool custom = Option3[calc::kCustomMaterial]->value() != 0;
    const std::string customText = custom ? Text13->text().toStdString() : std::string();
    resultWarnings_ =
        calc::resultWarnings(*this, calc_.flowFactor,
                             custom ? std::optional<std::string_view>(customText) : std::nullopt);
    updateResultTips();
    if (chart_) updateChart();
}

// --- Air volume and flow unit ----------------------------------------------

void Form1::Text1_Change() { v(); }

void Form1::Combo1_Click() {
    if (const auto factor = calc::flowFactorOf(Combo1->text().toStdString()))
        calc_.flowFactor = *factor;
    v();
    // The same number in another unit may no longer fit the calculation.
    markReading(Text1, calc::Quantity::AirVolume);
}

// --- Duct shape and size ------------------------------------------------------

void Form1::setSizeControlsEnabled(bool circular) {
    Combo2->setEnabled(circular);
    Text2->setEnabled(circular);
    Combo3->setEnabled(!circular);
    Text3->setEnabled(!circular);
    Combo4->setEnabled(!circular);
    Text4->setEnabled(!circular);
}

void Form1::Option1_Click() {
    setSizeControlsEnabled(true);
    v();
}

void Form1::Option2_Click() {
    setSizeControlsEnabled(false);
    v();
}

void Form1::Check1_Click() {
    const bool standard = Check1->value() == 0;
    Combo2->setVisible(standard);
    Text2->setVisible(!standard);
    Combo3->setVisible(standard);
    Text3->setVisible(!standard);
    Combo4->setVisible(standard);
    Text4->setVisible(!standard);
    v();
}

void Form1::Combo2_Click() { v(); }
void Form1::Combo3_Click() { v(); }
void Form1::Combo4_Click() { v(); }

namespace {
// A typed size as stored; one that fits no single keeps the old value, and the
// recalculation, which reads the box again, reports it.
void storeTyped(float& field, const ui::TextBox* box) {
    calc::storeText(field, box->text().toStdString());
}
}  // namespace

void Form1::Text2_Change() {
    storeTyped(calc_.diameter, Text2);
    v();
}

void Form1::Text3_Change() {
    storeTyped(calc_.sideA, Text3);
    v();
}

void Form1::Text4_Change() {
    storeTyped(calc_.sideB, Text4);
    v();
}

// --- Roughness ------------------------------------------------------------------

ui::TextBox* Form1::roughnessBox(int material) const {
    return roughnessBoxes_[static_cast<std::size_t>(material)];
}

ui::HScrollBar* Form1::roughnessBar(int material) const {
    return roughnessBars_[static_cast<std::size_t>(material)];
}

void Form1::loadRoughness(int material) {
    // The custom box may hold a text the user is still typing, outside the
    // limits: its K is the one held within them.
    if (material == calc::kCustomMaterial)
        calc_.roughness = calc::customK(Text13->text().toStdString()).value;
    else
        storeTyped(calc_.roughness, roughnessBox(material));
}

void Form1::Option3_Click(int index) {
    if (index < 0 || index >= static_cast<int>(Option3.size())) return;
    loadRoughness(index);
    v();
}

// Clicking a material's box chooses the material; when it already was the
// chosen one, the roughness already holds the box's value.
void Form1::roughnessBoxClicked(int material) {
    Option3[static_cast<std::size_t>(material)]->setValue(-1);
    v();
}

void Form1::Text5_Click() { roughnessBoxClicked(0); }
void Form1::Text6_Click() { roughnessBoxClicked(1); }
void Form1::Text7_Click() { roughnessBoxClicked(2); }
void Form1::Text8_Click() { roughnessBoxClicked(3); }
void Form1::Text9_Click() { roughnessBoxClicked(4); }
void Form1::Text10_Click() { roughnessBoxClicked(5); }
void Form1::Text11_Click() { roughnessBoxClicked(6); }
void Form1::Text12_Click() { roughnessBoxClicked(7); }
void Form1::Text13_Click() { roughnessBoxClicked(calc::kCustomMaterial); }

void Form1::scrollChange(int material) {
    ui::TextBox* box = roughnessBox(material);
    box->setText(
        qs(calc::scrollKText(roughnessBar(material)->value(),
                             calc::materials[static_cast<std::size_t>(material)].divisor)));
    // Ready for the next number, which replaces the air volume rather than
    // extending it: the step came from the mouse or an arrow key, not from
    // typing in the box.
    Text1->setFocus();
    Text1->selectAll();
    Option3[static_cast<std::size_t>(material)]->setValue(-1);
    loadRoughness(material);
    v();
}

void Form1::HScroll1_Change() { scrollChange(0); }
void Form1::HScroll2_Change() { scrollChange(1); }
void Form1::HScroll6_Change() { scrollChange(5); }
void Form1::HScroll7_Change() { scrollChange(6); }
void Form1::HScroll8_Change() { scrollChange(7); }

void Form1::Text13_Change() {
    const calc::CustomK k = calc::customK(Text13->text().toStdString());
    // Every number below 1 starts below the lower limit, so a text the user
    // is still typing is left as typed and only the K in use is held within
    // the limits; the text itself is put right when the editing ends. A text
    // written by the program is put right at once; rewriting the box runs
    // this handler once more, on a text within the limits.
    if (k.replacement && !Text13->changedByUser()) Text13->setText(qs(*k.replacement));
    calc_.roughness = k.value;
    Option3[calc::kCustomMaterial]->setValue(-1);
    v();
}

void Form1::Text13_EditingEnded() {
    // Only a number read whole is put right; any other text stays as typed,
    // with its mark saying how it was read.
    if (const auto limit = calc::customKAtEditingEnd(Text13->text().toStdString()))
        Text13->setText(qs(*limit));
}

// --- Warning marks -------------------------------------------------------------

void Form1::connectReadingWarnings() {
    const std::pair<ui::TextBox*, calc::Quantity> boxes[] = {{Text1, calc::Quantity::AirVolume},
                                                             {Text2, calc::Quantity::Size},
                                                             {Text3, calc::Quantity::Size},
                                                             {Text4, calc::Quantity::Size},
                                                             {Text13, calc::Quantity::Roughness}};
    // Connected after the handlers, so the mark follows the text the box
    // holds once they are done (the custom roughness may have been put right).
    for (const auto& [box, quantity] : boxes)
        connect(box, &ui::TextBox::changeRaised, this,
                [this, box = box, quantity = quantity] { markReading(box, quantity); });
}

void Form1::markReading(ui::TextBox* box, calc::Quantity quantity) {
    // The air volume counts in m3/h: its unit decides whether it fits.
    const float factor = box == Text1 ? calc_.flowFactor : 1.0f;
    box->setWarning(QString::fromStdString(
        msg::renderLines(calc::readingWarning(box->text().toStdString(), quantity, factor),
                         msg::Language::chinese)));
}

// --- Friction formula -----------------------------------------------------------

void Form1::Option4_Click() { v(); }
void Form1::Option5_Click() { v(); }

// --- What the recalculation sees ------------------------------------------------

std::string Form1::text(calc::Input box) const {
    switch (box) {
        case calc::Input::Text1:
            return Text1->text().toStdString();
        case calc::Input::Combo2:
            return Combo2->text().toStdString();
        case calc::Input::Combo3:
            return Combo3->text().toStdString();
        case calc::Input::Combo4:
            return Combo4->text().toStdString();
        case calc::Input::Text2:
            return Text2->text().toStdString();
        case calc::Input::Text3:
            return Text3->text().toStdString();
        case calc::Input::Text4:
            return Text4->text().toStdString();
    }
    return {};
}

int Form1::checkValue() const { return Check1->value(); }

bool Form1::selected(calc::Choice option) const {
    switch (option) {
        case calc::Choice::Option1:
            return Option1->value() != 0;
        case calc::Choice::Option2:
            return Option2->value() != 0;
        case calc::Choice::Option4:
            return Option4->value() != 0;
        case calc::Choice::Option5:
            return Option5->value() != 0;
    }
    return false;
}

void Form1::setCaption(calc::Result label, std::string_view text) {
    QLabel* target = nullptr;
    switch (label) {
        case calc::Result::Label6:
            target = Label6;
            break;
        case calc::Result::Label7:
            target = Label7;
            break;
        case calc::Result::Label17:
            target = Label17;
            break;
        case calc::Result::Label10:
            target = Label10;
            break;
        case calc::Result::Label13:
            target = Label13;
            break;
        case calc::Result::Label15:
            target = Label15;
            break;
        case calc::Result::Label11:
            target = Label11;
            break;
    }
    const QString shown = qs(text);
    // A screen reader hears a result only when it says something new.
    if (target->text() == shown) return;
    target->setText(shown);
    ui::announceResult(target);
}
