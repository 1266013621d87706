// SPDX-License-Identifier: GPL-3.0-or-later
// The window of ductcalc-table: the grid, the side panel, the menus, and the
// system's file.
#pragma once

#include <string>

#include <QMainWindow>
#include <QString>

#include "table/whole_sizing.h"

class QMenu;

namespace table {

class GridView;
class SidePanel;
class SystemChart;
class TableModel;

class TableWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit TableWindow(QWidget* parent = nullptr);

    TableModel* model() const { return model_; }
    GridView* grid() const { return grid_; }
    SidePanel* sidePanel() const { return side_; }
    // The 线算图 view, hidden until asked for.
    SystemChart* chart() const { return chart_; }
    QString filePath() const { return path_; }
    // Where Save writes without asking: the document's own file; empty for
    // a new document and for one read from a workbook, which Save never
    // overwrites (it proposes a CSV file beside it).
    QString savePath() const { return fromWorkbook_ ? QString() : path_; }

    // Opens a system's file; false (with a message box unless `quiet`) when
    // it cannot be read.
    bool openFile(const QString& path, bool quiet = false);
    bool saveFile(const QString& path, bool quiet = false);
    bool exportPdf(const QString& path);
    // The 计算书 as a workbook, by the command line's writer; when it
    // cannot be written, workbookProblem() says why.
    bool exportWorkbook(const QString& path);
    const QString& workbookProblem() const { return workbookProblem_; }

    void copySelection();
    void pasteText(const QString& text);
    // A pasted block as the clipboard holds it (UTF-8 or GB18030 bytes):
    // plain cells from the current cell on, or a file's rows with their
    // header.
    void pasteBytes(const std::string& bytes);
    void pasteClipboard();
    // 选择尺寸 for the current row: a standard size written into its 尺寸.
    void chooseSize();
    // 管件局部阻力: the fittings editor for the current row's ζ cell.
    void editFittings();
    // 全部选择尺寸 or 平衡: the dialog's preview applied as one step.
    void sizeWhole(WholeSizingDialog::Mode mode);
    // 项目信息: the title block and the leakage allowance, as one step.
    void editProjectInfo();
    // An export's name proposed from the document's: sys1.csv → sys1.xlsx.
    QString proposedName(const QString& suffix) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void updateTitle();
    bool maybeSave();
    void openDialog();
    bool save();
    bool saveAs();
    void exportPdfDialog();
    void exportWorkbookDialog();
    void printDialog();
    void insertRows();
    void removeRows();
    void moveRows(int delta);
    void selectRows(const QList<int>& rows);
    void rememberRecent(const QString& path);
    void fillRecentMenu();
    QString shownName() const;

    TableModel* model_;
    GridView* grid_;
    SidePanel* side_;
    SystemChart* chart_;
    QString workbookProblem_;  // why the last workbook could not be written
    QMenu* recentMenu_ = nullptr;
    QString path_;
    bool fromWorkbook_ = false;  // path_ is an xlsx workbook the document was read from
};

}  // namespace table
