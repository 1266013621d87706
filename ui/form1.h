// SPDX-License-Identifier: GPL-3.0-or-later
// The window of the program: its controls, the calculation state and every
// handler. Handlers are named after their control and event. The handlers and
// start-up are in form1.cpp; the builder in build_controls.cpp, the window's
// placement in window_placement.cpp, the aids beside the results in
// result_aids.cpp.
#pragma once

#include <QWidget>
#include <array>

#include "calc/calc_state.h"
#include "calc/headless.h"
#include "calc/reading_warning.h"
#include "calc/recalc.h"
#include "calc/tables.h"
#include "ui/controls.h"

namespace chartview {
class ChartPanel;
}

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

    // The seven result rows, top to bottom, as a spreadsheet takes them, one
    // row a line: resultLine of each.
    QString resultsText() const;
    // One row (0 the roughness … 6 the friction loss) as a spreadsheet takes
    // it: the row's name, its number as shown (the size as its label shows
    // it, "—" where it could not be computed) and its unit, separated by
    // tabs, and the row's warning as a fourth field where it has one.
    QString resultLine(int row) const;
    // The value of one row, as shown.
    QString resultText(int row) const;
    // The warning beside one row, one line per point; empty when its inputs
    // were read as they stand.
    QString resultWarning(int row) const;
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

    // The friction chart's window (摩擦阻力线算图), made on first use; the
    // duct it shows, as the inputs stand.
    void showChart();
    chartview::ChartPanel* chartWindow() const { return chart_; }
    calc::DuctInput currentDuct() const;

    // The controls, by the names the handlers use.
    ui::TextBox *Text1, *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text8, *Text9, *Text10,
        *Text11, *Text12, *Text13;
    ui::ComboBox *Combo1, *Combo2, *Combo3, *Combo4;
    ui::CheckBox* Check1;
    ui::OptionButton *Option1, *Option2, *Option4, *Option5;
    std::array<ui::OptionButton*, calc::kMaterialCount> Option3;
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
    // The window's icon, given once the window has drawn itself: reading
    // its pictures before would hold up the first frame.
    void giveIconAfterFirstFrame();
    bool iconGiven_ = false;
    void connectHandlers();
    // The warning marks of the boxes whose text is read as a number.
    void connectReadingWarnings();
    void markReading(ui::TextBox* box, calc::Quantity quantity);
    void setSizeControlsEnabled(bool circular);

    // The roughness box of each material, and its scroll bar where it has one
    // (nullptr where it has none).
    ui::TextBox* roughnessBox(int material) const;
    ui::HScrollBar* roughnessBar(int material) const;
    void loadRoughness(int material);
    void roughnessBoxClicked(int material);
    void scrollChange(int material);

    // A result row's caption label and value label.
    struct ResultRow {
        QLabel* caption;
        QLabel* value;
    };
    std::array<ResultRow, 7> resultRows() const;
    // Each result row's context menu (copy it, copy all) and Ctrl+Shift+C.
    void buildCopyMenus();
    void showResultMenu(int row, const QPoint& globalPos);
    // The air-volume frame's tool tip is not shown over its boxes.
    void keepFrame1ToolTipOwn();
    // The tool tips of the velocity and friction-loss rows, from the last
    // recalculation.
    void updateResultTips();
    // The result each row shows, top to bottom.
    static calc::Result rowResult(int row);
    void centreOnceFramed();

    std::array<ui::TextBox*, calc::kMaterialCount> roughnessBoxes_{};
    std::array<ui::HScrollBar*, calc::kMaterialCount> roughnessBars_{};

    calc::CalcState calc_;
    calc::Outcome outcome_;
    calc::ResultWarnings resultWarnings_;
    // The small mark beside each result row's value, top to bottom.
    std::array<QLabel*, 7> resultMarks_{};
    // Follows the inputs while the chart's window exists.
    void updateChart();
    chartview::ChartPanel* chart_ = nullptr;
    // Set while the window waits for its frame to be centred with it.
    bool centrePending_ = false;
};
