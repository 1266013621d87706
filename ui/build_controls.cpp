// SPDX-License-Identifier: GPL-3.0-or-later
// The builder: the window's description (layout.cpp) turned into widgets,
// the tab order and the members the handlers use.
#include <QGroupBox>
#include <QLabel>
#include <algorithm>
#include <cstddef>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/tables.h"
#include "ui/accessibility.h"
#include "ui/form1.h"
#include "ui/formula_pictures.h"
#include "ui/layout.h"

void Form1::build() {
    std::map<std::string_view, QWidget*> byName;
    std::vector<std::pair<int, QWidget*>> tabStops;

    for (const ui::ControlDesc& d : ui::formDescription()) {
        QWidget* parent = d.frame ? byName.at(d.frame) : this;
        const QString caption = d.caption ? QString::fromUtf8(d.caption) : QString();
        QWidget* w = nullptr;
        switch (d.kind) {
            case ui::Kind::Frame:
                w = new ui::Frame(caption, parent);
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
                // Before its first value, which makes Qt pick its interface.
                for (int i = 0; i < calc::kMaterialCount; ++i) {
                    const char* own = ui::materialControls(i).bar;
                    if (own && std::string_view(own) == d.name)
                        ui::markAsRoughnessBar(
                            bar, calc::materials[static_cast<std::size_t>(i)].divisor);
                }
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
    // Each material's option, roughness box and scroll bar, by its number.
    for (int i = 0; i < calc::kMaterialCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const ui::MaterialControls names = ui::materialControls(i);
        get(Option3[index], names.option);
        get(roughnessBoxes_[index], names.box);
        roughnessBars_[index] = nullptr;
        if (names.bar) get(roughnessBars_[index], names.bar);
    }

    Frame1->setToolTip(QStringLiteral("英制美制选项"));
    keepFrame1ToolTipOwn();
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
    Picture1->setPixmap(ui::formulaPixmap(QStringLiteral("formula1"), dpr));
    Picture2->setPixmap(ui::formulaPixmap(QStringLiteral("formula2"), dpr));
    buildCopyMenus();
}
