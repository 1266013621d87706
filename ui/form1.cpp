// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <string_view>
#include <vector>

#include "accessibility.h"
#include "appearance.h"
#include "conversions.h"
#include "derived.h"
#include "formula_scales.h"
#include "layout.h"
#include "tables.h"

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The formula pictures are black-and-white bitmaps drawn at each common
// screen scale; resampling one bitmap to another scale breaks its thin
// strokes apart ("0.25" loses the stem of its 5). A scale without its own
// bitmap gets the next larger one brought to it pixel for pixel: letting the
// painter scale it would blur its black and white into greys.
QPixmap formulaPixmap(const QString& name, qreal screenRatio) {
    const qreal devicePixelRatio = std::max<qreal>(1, screenRatio);
    const auto& kDrawn = ui::kFormulaScales;
    const auto* pick = std::find_if(std::begin(kDrawn), std::end(kDrawn), [&](const auto& d) {
        return d.scale >= devicePixelRatio - 0.01;
    });
    if (pick == std::end(kDrawn)) pick = std::end(kDrawn) - 1;
    QPixmap sharp(QStringLiteral(":/images/%1%2.bmp").arg(name, QLatin1String(pick->suffix)));
    if (std::abs(pick->scale - devicePixelRatio) > 0.01) {
        const QSize size = (QSizeF(sharp.size()) * (devicePixelRatio / pick->scale)).toSize();
        sharp = sharp.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    sharp.setDevicePixelRatio(devicePixelRatio);
    return sharp;
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("风速计算"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(ui::px(ui::kClientWidth), ui::px(ui::kClientHeight));
    setFont(ui::windowFont());
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/icon16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/images/icon32.png"), QSize(32, 32));
    setWindowIcon(icon);
    build();
    connectHandlers();
    connectReadingWarnings();
}

Form1::~Form1() {
    // Closing the window takes the focus from the custom roughness box, which
    // ends its editing; by then there is no window left to put it right in.
    disconnect(Text13, &ui::TextBox::editingEnded, this, nullptr);
}

void Form1::build() {
    std::map<std::string_view, QWidget*> byName;
    std::vector<std::pair<int, QWidget*>> tabStops;

    for (const ui::ControlDesc& d : ui::formDescription()) {
        QWidget* parent = d.frame ? byName.at(d.frame) : this;
        const QString caption = d.caption ? QString::fromUtf8(d.caption) : QString();
        QWidget* w = nullptr;
        switch (d.kind) {
            case ui::Kind::Frame:
                w = new QGroupBox(caption, parent);
                break;
            case ui::Kind::Label: {
                auto* label = new QLabel(parent);
                // A label named on its own is a result, named after its row.
                // Marked before its first text, which makes Qt pick the
                // label's accessible interface.
                if (d.accessibleName) ui::markAsResult(label);
                label->setTextFormat(Qt::PlainText);
                label->setText(caption);
                label->setAlignment((d.settings & ui::kCentred ? Qt::AlignHCenter : Qt::AlignLeft) |
                                    Qt::AlignVCenter);
                w = label;
                break;
            }
            case ui::Kind::TextBox: {
                auto* box = new ui::TextBox(parent);
                // Before its first text, which makes Qt pick its interface.
                if (d.settings & ui::kLocked) ui::markAsLocked(box);
                box->setText(caption);
                box->setLocked(d.settings & ui::kLocked);
                w = box;
                break;
            }
            case ui::Kind::ComboBox:
                w = new ui::ComboBox(parent);
                break;
            case ui::Kind::OptionButton: {
                auto* option = new ui::OptionButton(caption, parent);
                option->setChecked(d.settings & ui::kSelected);
                w = option;
                break;
            }
            case ui::Kind::CheckBox:
                w = new ui::CheckBox(caption, parent);
                break;
            case ui::Kind::HScrollBar: {
                auto* bar = new ui::HScrollBar(parent);
                bar->setRange(d.min, d.max);
                bar->setValue(d.value);
                bar->setEnabled(!(d.settings & ui::kDisabled));
                w = bar;
                break;
            }
            case ui::Kind::PictureBox:
                w = new ui::PictureBox(parent);
                break;
        }
        w->setObjectName(QString::fromLatin1(d.name));
        w->setGeometry(ui::px(d.left), ui::px(d.top), ui::px(d.width), ui::px(d.height));
        if (d.accessibleName) w->setAccessibleName(QString::fromUtf8(d.accessibleName));
        byName.emplace(d.name, w);
        if (w->focusPolicy() != Qt::NoFocus) tabStops.emplace_back(d.tabIndex, w);
    }

    // Tab visits the controls in the order of their tab indexes; Qt skips
    // hidden and disabled ones and the unselected options of a group.
    std::sort(tabStops.begin(), tabStops.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        QWidget::setTabOrder(tabStops[i - 1].second, tabStops[i].second);

    auto get = [&]<typename T>(T*& member, const char* name) {
        member = static_cast<T*>(byName.at(name));
    };
    get(Text1, "Text1"), get(Text2, "Text2"), get(Text3, "Text3"), get(Text4, "Text4");
    get(Text5, "Text5"), get(Text6, "Text6"), get(Text7, "Text7"), get(Text8, "Text8");
    get(Text9, "Text9"), get(Text10, "Text10"), get(Text11, "Text11"), get(Text12, "Text12");
    get(Text13, "Text13");
    get(Combo1, "Combo1"), get(Combo2, "Combo2"), get(Combo3, "Combo3"), get(Combo4, "Combo4");
    get(Check1, "Check1");
    get(Option1, "Option1"), get(Option2, "Option2"), get(Option4, "Option4");
    get(Option5, "Option5");
    static constexpr const char* kOption3[] = {"Option3_0", "Option3_1", "Option3_2",
                                               "Option3_3", "Option3_4", "Option3_5",
                                               "Option3_6", "Option3_7", "Option3_8"};
    for (int i = 0; i < 9; ++i) get(Option3[i], kOption3[i]);
    get(HScroll1, "HScroll1"), get(HScroll2, "HScroll2"), get(HScroll3, "HScroll3");
    get(HScroll4, "HScroll4"), get(HScroll5, "HScroll5"), get(HScroll6, "HScroll6");
    get(HScroll7, "HScroll7"), get(HScroll8, "HScroll8");
    get(Label1, "Label1"), get(Label2, "Label2"), get(Label3, "Label3"), get(Label4, "Label4");
    get(Label5, "Label5"), get(Label6, "Label6"), get(Label7, "Label7"), get(Label8, "Label8");
    get(Label9, "Label9"), get(Label10, "Label10"), get(Label11, "Label11");
    get(Label12, "Label12"), get(Label13, "Label13"), get(Label14, "Label14");
    get(Label15, "Label15"), get(Label16, "Label16"), get(Label17, "Label17");
    get(Frame1, "Frame1"), get(Frame2, "Frame2"), get(Frame3, "Frame3"), get(Frame4, "Frame4");
    get(Frame5, "Frame5");
    get(Picture1, "Picture1"), get(Picture2, "Picture2");

    Frame1->setToolTip(QStringLiteral("英制美制选项"));
    // Qt names a list after the label whose buddy it is (and reads its
    // chosen entry as the list's own name), so the size lists get theirs.
    Label1->setBuddy(Combo2);
    Label2->setBuddy(Combo3);
    Label3->setBuddy(Combo4);
    // The formulas, for those who cannot see the pictures.
    Picture1->setAccessibleDescription(
        QStringLiteral("λ = 0.25 / [lg(K / 3.71D) + 5.74 / (0.9Re)]²"));
    Picture2->setAccessibleDescription(
        QStringLiteral("λ = 0.0055 [1 + (20000 K/d + 10⁶/Re)^(1/3)]"));
    const qreal dpr = devicePixelRatioF();
    Picture1->setPixmap(formulaPixmap(QStringLiteral("formula1"), dpr));
    Picture2->setPixmap(formulaPixmap(QStringLiteral("formula2"), dpr));
    buildDeskAids();
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
    for (int i = 0; i < 9; ++i)
        connect(Option3[i], &ui::OptionButton::clickRaised, this, [this, i] { Option3_Click(i); });
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

void Form1::centreOnScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void Form1::showCentred() {
    // Before the window is shown its frame is unknown: centre the client
    // area first, so that it opens about right, and the whole window once
    // the window manager has added the frame. That happens some time after
    // show() returns, so the second centring waits for it; without a window
    // manager there is no frame and the first centring stands.
    centreOnScreen();
    centrePending_ = true;
    show();
    centreOnceFramed();
}

void Form1::centreOnceFramed() {
    if (!centrePending_ || frameGeometry().size() == size()) return;
    centrePending_ = false;  // once: the user may move the window afterwards
    centreOnScreen();
}

bool Form1::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
        // The frame shows up as a move of the client area (reparenting) or
        // a change of state; whichever comes first is early enough.
        case QEvent::Move:
        case QEvent::Show:
        case QEvent::WindowActivate:
        case QEvent::WindowStateChange:
        case QEvent::UpdateRequest:
            centreOnceFramed();
            break;
        default:
            break;
    }
    return handled;
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
    Option3[0]->setValue(-1);
    Option4->setValue(-1);

    Text1->setText(QStringLiteral("0"));
    Text2->setText(QStringLiteral("100"));
    Text3->setText(QStringLiteral("1000"));
    Text4->setText(QStringLiteral("1000"));
    for (int i = 0; i < 9; ++i) kBox(i)->setText(qs(calc::materials[i].defaultK));

    Combo1->clearList();
    for (const calc::FlowUnit& unit : calc::flowUnits) Combo1->addEntry(qs(unit.text));
    Combo2->clearList();
    for (std::string_view d : calc::standardDiameters) Combo2->addEntry(qs(d));
    Combo3->clearList();
    for (std::string_view side : calc::standardSides) Combo3->addEntry(qs(side));
    Combo4->clearList();
    for (std::string_view side : calc::standardSides) Combo4->addEntry(qs(side));

    // Choosing "m3/h" is what sets the flow factor.
    Combo1->setText(QStringLiteral("m3/h"));
    Combo2->setText(QStringLiteral("100"));
    Combo3->setText(QStringLiteral("1000"));
    Combo4->setText(QStringLiteral("1000"));

    calc_.sideA = 1000;
    calc_.sideB = 1000;
    calc_.diameter = 100;
    calc_.roughness = 0.16f;
    v();

    // Ready for the first number: it replaces the "0".
    Text1->setFocus();
    Text1->selectAll();
}

void Form1::v() {
    outcome_ = calc::v(calc_, *this);
    updateAids();
}

// --- Air volume and flow unit ----------------------------------------------

void Form1::Text1_Change() { v(); }

void Form1::Combo1_Click() {
    if (const auto factor = calc::flowFactorOf(Combo1->text().toStdString()))
        calc_.flowFactor = *factor;
    v();
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

ui::TextBox* Form1::kBox(int material) const {
    const std::array<ui::TextBox*, 9> boxes{Text5,  Text6,  Text7,  Text8, Text9,
                                            Text10, Text11, Text12, Text13};
    return boxes[static_cast<std::size_t>(material)];
}

ui::HScrollBar* Form1::kBar(int material) const {
    const std::array<ui::HScrollBar*, 9> bars{HScroll1, HScroll2, HScroll3, HScroll4, HScroll5,
                                              HScroll6, HScroll7, HScroll8, nullptr};
    return bars[static_cast<std::size_t>(material)];
}

void Form1::loadRoughness(int material) {
    // The custom box may hold a text the user is still typing, outside the
    // limits: its K is the one held within them.
    if (material == calc::kCustomMaterial)
        calc_.roughness = calc::customK(Text13->text().toStdString()).value;
    else
        storeTyped(calc_.roughness, kBox(material));
}

void Form1::Option3_Click(int index) {
    if (index < 0 || index >= static_cast<int>(Option3.size())) return;
    loadRoughness(index);
    v();
}

// Clicking a material's box chooses the material; when it already was the
// chosen one, the roughness already holds the box's value.
void Form1::kBoxClick(int material) {
    Option3[static_cast<std::size_t>(material)]->setValue(-1);
    v();
}

void Form1::Text5_Click() { kBoxClick(0); }
void Form1::Text6_Click() { kBoxClick(1); }
void Form1::Text7_Click() { kBoxClick(2); }
void Form1::Text8_Click() { kBoxClick(3); }
void Form1::Text9_Click() { kBoxClick(4); }
void Form1::Text10_Click() { kBoxClick(5); }
void Form1::Text11_Click() { kBoxClick(6); }
void Form1::Text12_Click() { kBoxClick(7); }
void Form1::Text13_Click() { kBoxClick(calc::kCustomMaterial); }

void Form1::scrollChange(int material) {
    ui::TextBox* box = kBox(material);
    box->setText(qs(calc::scrollKText(
        kBar(material)->value(), calc::materials[static_cast<std::size_t>(material)].divisor)));
    Text1->setFocus();
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
    const calc::CustomK k = calc::customK(Text13->text().toStdString());
    if (k.replacement) Text13->setText(qs(*k.replacement));
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
    const std::string text = box->text().toStdString();
    std::string warning = calc::readingWarning(text, quantity);
    if (box == Text13) {
        // While the user types, the box may hold a number the limits do not
        // allow; say which K is in use until the editing ends.
        const calc::CustomK k = calc::customK(text);
        if (k.replacement) {
            if (!warning.empty()) warning += '\n';
            warning += "粗糙度限于 0.01 至 10 mm，按 ";
            warning += *k.replacement;
            warning += " 计算";
        }
    }
    box->setWarning(QString::fromStdString(warning));
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
    target->setText(qs(text));
    ui::announceResult(target);
}

// --- Results to take away, and the aids beside them ------------------------------

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

void Form1::buildDeskAids() {
    // The frame's tool tip belongs to the frame alone; its boxes would
    // otherwise pass their own tool-tip requests up to it.
    for (QWidget* child : Frame1->findChildren<QWidget*>()) child->installEventFilter(this);

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

void Form1::updateAids() {
    using calc::Value;
    const QString none = QStringLiteral("—");
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
