// SPDX-License-Identifier: GPL-3.0-or-later
// The window of the program: its controls, the calculation state and every
// handler. Handlers are named after their control and event.
#pragma once

#include <QWidget>
#include <array>

#include "calc_state.h"
#include "controls.h"
#include "reading_warning.h"
#include "recalc.h"

class Form1 : public QWidget, private calc::CalcView {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: default inputs, filled lists, first results.
    void Form_Load();
    // Places the window in the middle of its screen.
    void centreOnScreen();
    // Shows the window centred, frame included.
    void showCentred();

    // The seven result rows, top to bottom, as a spreadsheet takes them: the
    // row's name, a tab and the value as shown, one row a line.
    QString resultsText() const;
    // The value of one row (0 the roughness … 6 the friction loss), as shown.
    QString resultText(int row) const;
    // Puts all results, or one row's value, on the clipboard.
    void copyAllResults();
    void copyResult(int row);

    const calc::CalcState& state() const { return calc_; }
    // What the last recalculation left undefined.
    const calc::Outcome& outcome() const { return outcome_; }

    // Air volume and flow unit.
    void Text1_Change();
    void Combo1_Click();
    // Duct shape and size.
    void Option1_Click();
    void Option2_Click();
    void Check1_Click();
    void Combo2_Click();
    void Combo3_Click();
    void Combo4_Click();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();
    // Roughness.
    void Option3_Click(int index);
    void Text5_Click();
    void Text6_Click();
    void Text7_Click();
    void Text8_Click();
    void Text9_Click();
    void Text10_Click();
    void Text11_Click();
    void Text12_Click();
    void Text13_Click();
    void Text13_Change();
    // The user finished editing the custom roughness (Enter, Tab, a click
    // elsewhere, the window losing the focus).
    void Text13_EditingEnded();
    void HScroll1_Change();
    void HScroll2_Change();
    void HScroll6_Change();
    void HScroll7_Change();
    void HScroll8_Change();
    // Friction formula.
    void Option4_Click();
    void Option5_Click();

    // The recalculation: every result from the current inputs.
    void v();

    // The controls, by the names the handlers use.
    ui::TextBox *Text1, *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text8, *Text9, *Text10,
        *Text11, *Text12, *Text13;
    ui::ComboBox *Combo1, *Combo2, *Combo3, *Combo4;
    ui::CheckBox* Check1;
    ui::OptionButton *Option1, *Option2, *Option4, *Option5;
    std::array<ui::OptionButton*, 9> Option3;
    ui::HScrollBar *HScroll1, *HScroll2, *HScroll3, *HScroll4, *HScroll5, *HScroll6, *HScroll7,
        *HScroll8;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
        *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17;
    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4, *Frame5;
    QLabel *Picture1, *Picture2;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // CalcView: what the recalculation reads and writes.
    std::string text(calc::Input box) const override;
    int checkValue() const override;
    bool selected(calc::Choice option) const override;
    void setCaption(calc::Result label, std::string_view text) override;

    void build();
    void connectHandlers();
    // The warning marks of the boxes whose text is read as a number.
    void connectReadingWarnings();
    void markReading(ui::TextBox* box, calc::Quantity quantity);
    void setSizeControlsEnabled(bool circular);

    // The roughness box of each material, and its scroll bar where it has one.
    ui::TextBox* kBox(int material) const;
    ui::HScrollBar* kBar(int material) const;
    void loadRoughness(int material);
    void kBoxClick(int material);
    void scrollChange(int material);

    // A result row's caption label and value label.
    struct ResultRow {
        QLabel* caption;
        QLabel* value;
    };
    std::array<ResultRow, 7> resultRows() const;
    void buildDeskAids();
    void showResultMenu(int row, const QPoint& globalPos);
    // The tool tips of the velocity and friction-loss rows, from the last
    // recalculation.
    void updateAids();
    void centreOnceFramed();

    calc::CalcState calc_;
    calc::Outcome outcome_;
    // Set while the window waits for its frame to be centred with it.
    bool centrePending_ = false;
};
