// SPDX-License-Identifier: GPL-3.0-or-later
#include "table/table_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelection>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <algorithm>

#include "chartview/chart_widget.h"
#include "system/paste_block.h"
#include "system/readers.h"
#include "system/report.h"
#include "table/fittings_dialog.h"
#include "table/grid_view.h"
#include "table/project_info.h"
#include "table/report.h"
#include "table/side_panel.h"
#include "table/size_choice.h"
#include "table/system_chart.h"
#include "table/system_file.h"
#include "table/table_model.h"
#include "table/whole_sizing.h"
#include "table/words.h"
#include "version.h"

namespace table {

namespace {

constexpr int kRecentFiles = 8;
const QString kRecentKey = QStringLiteral("recentFiles");

// The selected rectangle's bounds: the selection's outer edges, or the
// current cell.
struct Bounds {
    int top, left, bottom, right;
};

Bounds selectionBounds(const QTableView& view) {
    const QModelIndexList cells = view.selectionModel()->selectedIndexes();
    if (cells.isEmpty()) {
        const QModelIndex at = view.currentIndex();
        return {at.row(), at.column(), at.row(), at.column()};
    }
    Bounds b{cells.front().row(), cells.front().column(), cells.front().row(),
             cells.front().column()};
    for (const QModelIndex& i : cells) {
        b.top = std::min(b.top, i.row());
        b.bottom = std::max(b.bottom, i.row());
        b.left = std::min(b.left, i.column());
        b.right = std::max(b.right, i.column());
    }
    return b;
}

}  // namespace

TableWindow::TableWindow(QWidget* parent) : QMainWindow(parent) {
    model_ = new TableModel(this);
    auto* splitter = new QSplitter(this);
    grid_ = new GridView(splitter);
    grid_->setObjectName(QStringLiteral("grid"));
    grid_->setModel(model_);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    side_ = new SidePanel(model_, splitter);
    splitter->addWidget(grid_);
    splitter->addWidget(side_);
    splitter->setStretchFactor(0, 1);
    setCentralWidget(splitter);

    connect(grid_, &GridView::clearRequested, this,
            [this] { model_->clearCells(grid_->selectionModel()->selectedIndexes()); });
    connect(side_, &SidePanel::rowsChosen, this, &TableWindow::selectRows);
    chart_ = new SystemChart(model_, grid_, this);
    addDockWidget(Qt::BottomDockWidgetArea, chart_);
    chart_->hide();
    connect(model_->undoStack(), &QUndoStack::cleanChanged, this, &TableWindow::updateTitle);
    buildMenus();
    grid_->setCurrentIndex(model_->index(0, 0));
    resize(1200, 700);
    updateTitle();
}

void TableWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* newFile = file->addAction(QStringLiteral("新建(&N)"), this, [this] {
        if (!maybeSave()) return;
        model_->loadDocument({});
        path_.clear();
        updateTitle();
    });
    newFile->setShortcut(QKeySequence::New);
    file->addAction(QStringLiteral("打开(&O)…"), QKeySequence::Open, this,
                    &TableWindow::openDialog);
    recentMenu_ = file->addMenu(QStringLiteral("最近打开的文件(&R)"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &TableWindow::fillRecentMenu);
    file->addAction(QStringLiteral("保存(&S)"), QKeySequence::Save, this, &TableWindow::save);
    file->addAction(QStringLiteral("另存为(&A)…"), QKeySequence::SaveAs, this,
                    &TableWindow::saveAs);
    file->addSeparator();
    QAction* info = file->addAction(QStringLiteral("项目信息(&I)…"),
                                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I), this,
                                    &TableWindow::editProjectInfo);
    info->setObjectName(QStringLiteral("projectInfo"));
    info->setToolTip(QStringLiteral("工程名称、系统编号、设计、校对、审核、日期与漏风附加"));
    file->addSeparator();
    QAction* workbook = file->addAction(QStringLiteral("导出计算书 xlsx(&X)…"), this,
                                        &TableWindow::exportWorkbookDialog);
    workbook->setObjectName(QStringLiteral("exportWorkbook"));
    file->addAction(QStringLiteral("导出 PDF(&D)…"), this, &TableWindow::exportPdfDialog);
    file->addAction(QStringLiteral("打印(&P)…"), QKeySequence::Print, this,
                    &TableWindow::printDialog);
    file->addSeparator();
    file->addAction(QStringLiteral("退出(&Q)"), QKeySequence::Quit, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    QAction* undo = model_->undoStack()->createUndoAction(this, QStringLiteral("撤销"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = model_->undoStack()->createRedoAction(this, QStringLiteral("重做"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    QAction* copy = edit->addAction(QStringLiteral("复制(&C)"), QKeySequence::Copy, this,
                                    &TableWindow::copySelection);
    QAction* paste = edit->addAction(QStringLiteral("粘贴(&V)"), QKeySequence::Paste, this,
                                     &TableWindow::pasteClipboard);
    QAction* clear = edit->addAction(QStringLiteral("清除(&L)"), this, [this] {
        model_->clearCells(grid_->selectionModel()->selectedIndexes());
    });
    edit->addSeparator();
    QAction* insert =
        edit->addAction(QStringLiteral("插入行(&I)"), QKeySequence(Qt::CTRL | Qt::Key_Insert), this,
                        &TableWindow::insertRows);
    QAction* remove =
        edit->addAction(QStringLiteral("删除行(&D)"), QKeySequence(Qt::CTRL | Qt::Key_Delete), this,
                        &TableWindow::removeRows);
    QAction* up = edit->addAction(QStringLiteral("上移行(&U)"), QKeySequence(Qt::ALT | Qt::Key_Up),
                                  this, [this] { moveRows(-1); });
    QAction* down =
        edit->addAction(QStringLiteral("下移行(&W)"), QKeySequence(Qt::ALT | Qt::Key_Down), this,
                        [this] { moveRows(1); });
    edit->addSeparator();
    QAction* size =
        edit->addAction(QStringLiteral("选择尺寸(&Z)…"), QKeySequence(Qt::CTRL | Qt::Key_D), this,
                        &TableWindow::chooseSize);
    size->setObjectName(QStringLiteral("chooseSize"));
    QAction* fittings =
        edit->addAction(QStringLiteral("管件局部阻力(&J)…"), QKeySequence(Qt::CTRL | Qt::Key_L),
                        this, &TableWindow::editFittings);
    fittings->setObjectName(QStringLiteral("editFittings"));
    auto* fittingsButton = new QPushButton(QStringLiteral("管件…"));
    fittingsButton->setObjectName(QStringLiteral("fittingsButton"));
    fittingsButton->setToolTip(QStringLiteral("本行的管件局部阻力 (Ctrl+L)"));
    connect(fittingsButton, &QPushButton::clicked, this, &TableWindow::editFittings);
    statusBar()->addPermanentWidget(fittingsButton);
    QAction* sizeAll = edit->addAction(QStringLiteral("全部选择尺寸(&Y)…"),
                                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), this,
                                       [this] { sizeWhole(WholeSizingDialog::Mode::size); });
    sizeAll->setObjectName(QStringLiteral("sizeAll"));
    QAction* balance = edit->addAction(QStringLiteral("平衡(&B)…"), this,
                                       [this] { sizeWhole(WholeSizingDialog::Mode::balance); });
    balance->setObjectName(QStringLiteral("balance"));
    for (QAction* a : {size, sizeAll, fittings, copy, paste, clear, insert, remove, up, down})
        grid_->addAction(a);

    QMenu* view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    QAction* chart = chart_->toggleViewAction();
    chart->setText(QStringLiteral("线算图(&G)"));
    chart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    view->addAction(chart);
    for (QAction* a : {undo, redo}) addAction(a);

    // Ctrl+Tab and F6 move between the grid and the side panel.
    auto* switchPane = new QAction(QStringLiteral("切换表格与侧栏"), this);
    switchPane->setObjectName(QStringLiteral("switchPane"));
    switchPane->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_Tab),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
    switchPane->setShortcutContext(Qt::WindowShortcut);
    connect(switchPane, &QAction::triggered, this, [this] {
        grid_->commitEditing();
        if (grid_->hasFocus() || grid_->isAncestorOf(QApplication::focusWidget()))
            side_->focusFirst();
        else
            grid_->setFocus(Qt::ShortcutFocusReason);
    });
    addAction(switchPane);
}

QString TableWindow::proposedName(const QString& suffix) const {
    // Beside the document, under its name: sys1.csv → sys1.xlsx.
    if (path_.isEmpty()) return QStringLiteral("未命名.") + suffix;
    const QFileInfo info(path_);
    return info.dir().filePath(info.completeBaseName() + QLatin1Char('.') + suffix);
}

QString TableWindow::shownName() const {
    return path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).fileName();
}

void TableWindow::updateTitle() {
    const bool modified = !model_->undoStack()->isClean();
    setWindowTitle(shownName() + (modified ? QStringLiteral("*") : QString()) +
                   QStringLiteral(" - 风管水力计算表"));
}

bool TableWindow::maybeSave() {
    if (model_->undoStack()->isClean()) return true;
    const auto answer = QMessageBox::question(
        this, QStringLiteral("风管水力计算表"),
        QStringLiteral("“%1”已修改。是否保存？").arg(shownName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return save();
    return answer == QMessageBox::Discard;
}

void TableWindow::closeEvent(QCloseEvent* event) {
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

bool TableWindow::openFile(const QString& path, bool quiet) {
    LoadedSystem loaded = readSystemFile(path.toStdString());
    if (!loaded.error.empty()) {
        if (!quiet)
            QMessageBox::warning(
                this, QStringLiteral("风管水力计算表"),
                QStringLiteral("无法打开“%1”：%2").arg(path, QString::fromStdString(loaded.error)));
        return false;
    }
    const bool gb18030 = loaded.wasGb18030;
    const QString sheet = QString::fromStdString(loaded.sheet);
    model_->loadDocument(std::move(loaded));
    path_ = path;
    fromWorkbook_ = !sheet.isEmpty();
    rememberRecent(path);
    updateTitle();
    if (gb18030)
        statusBar()->showMessage(QStringLiteral("文件按 GB18030 编码读入，保存为 UTF-8"), 5000);
    if (fromWorkbook_)
        statusBar()->showMessage(
            QStringLiteral("已读入工作表“%1”；工作簿只读，保存时另存为 CSV").arg(sheet), 5000);
    return true;
}

bool TableWindow::saveFile(const QString& path, bool quiet) {
    grid_->commitEditing();
    const std::string text = model_->fileText();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        if (!quiet)
            QMessageBox::warning(this, QStringLiteral("风管水力计算表"),
                                 QStringLiteral("无法保存“%1”：%2").arg(path, file.errorString()));
        return false;
    }
    path_ = path;
    fromWorkbook_ = false;
    model_->undoStack()->setClean();
    rememberRecent(path);
    updateTitle();
    return true;
}

void TableWindow::openDialog() {
    if (!maybeSave()) return;
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("打开风管系统"), QString(),
                                     QStringLiteral("表格 (*.csv *.xlsx);;CSV 文件 (*.csv);;"
                                                    "Excel 工作簿 (*.xlsx);;所有文件 (*)"));
    if (!path.isEmpty()) openFile(path);
}

bool TableWindow::save() { return savePath().isEmpty() ? saveAs() : saveFile(path_); }

bool TableWindow::saveAs() {
    // A document read from a workbook is saved beside it as CSV.
    const QString proposed = fromWorkbook_ ? proposedName(QStringLiteral("csv")) : path_;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("另存为"), proposed,
                                                QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    return saveFile(path);
}

bool TableWindow::exportPdf(const QString& path) {
    grid_->commitEditing();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageSize(QPageSize(QPageSize::A4));
    return printReport(*model_, shownName(), printer, chart_->panel()->options());
}

void TableWindow::exportPdfDialog() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出 PDF"),
                                                proposedName(QStringLiteral("pdf")),
                                                QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    if (!exportPdf(path))
        QMessageBox::warning(this, QStringLiteral("风管水力计算表"),
                             QStringLiteral("无法写入“%1”").arg(path));
    else
        statusBar()->showMessage(QStringLiteral("已导出 %1").arg(QFileInfo(path).fileName()), 5000);
}

void TableWindow::printDialog() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        printReport(*model_, shownName(), printer, chart_->panel()->options());
}

bool TableWindow::exportWorkbook(const QString& path) {
    grid_->commitEditing();
    ductsys::ReportInfo info;
    side_->describeAir(info);
    info.formulas = ductsys::formulasInUse(model_->result());
    info.source = shownName().toStdString();
    info.program = "ductcalc-table " DUCTCALC_VERSION;
    // The title block the document carries.
    info.document = model_->settings();
    const std::optional<msg::Message> problem =
        ductsys::writeXlsxReport(model_->result(), info, path.toStdString());
    workbookProblem_ = problem ? said(*problem) : QString();
    return !problem;
}

void TableWindow::exportWorkbookDialog() {
    // The 计算书 of a document read from a workbook is not proposed over it.
    QString proposed = proposedName(QStringLiteral("xlsx"));
    if (fromWorkbook_ && QFileInfo(proposed) == QFileInfo(path_)) {
        const QFileInfo info(path_);
        proposed = info.dir().filePath(info.completeBaseName() + QStringLiteral(" 计算书.xlsx"));
    }
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出计算书"), proposed,
                                                QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".xlsx");
    if (!exportWorkbook(path))
        QMessageBox::warning(this, QStringLiteral("风管水力计算表"),
                             QStringLiteral("无法写入“%1”：%2").arg(path, workbookProblem_));
    else
        statusBar()->showMessage(QStringLiteral("已导出 %1").arg(QFileInfo(path).fileName()), 5000);
}

void TableWindow::copySelection() {
    grid_->commitEditing();
    const Bounds b = selectionBounds(*grid_);
    if (b.top < 0) return;
    QApplication::clipboard()->setText(
        QString::fromStdString(model_->blockText(b.top, b.left, b.bottom, b.right)));
}

void TableWindow::pasteText(const QString& text) { pasteBytes(text.toStdString()); }

void TableWindow::pasteBytes(const std::string& bytes) {
    const QModelIndex at = grid_->currentIndex();
    if (!at.isValid() || !isInput(at.column())) {
        statusBar()->showMessage(QStringLiteral("计算结果列不能粘贴"), 3000);
        return;
    }
    const ductsys::PastedBlock pasted = ductsys::readPastedBlock(bytes);
    TextBlock block;
    int column = at.column();
    switch (pasted.kind) {
        case ductsys::PastedBlock::Kind::error:
            statusBar()->showMessage(
                QStringLiteral("无法粘贴：第 %1 行不是 CSV：引号位置不对或未闭合").arg(pasted.line),
                5000);
            return;
        case ductsys::PastedBlock::Kind::table:
            // Rows of a file with their header: whole rows from the first
            // column, each text in the column its header names.
            column = 0;
            for (const auto& fields : pasted.rows) {
                auto& row = block.rows.emplace_back(static_cast<std::size_t>(kInputColumns));
                for (int c = 0; c < kInputColumns; ++c)
                    if (const int i = pasted.header.columns[static_cast<std::size_t>(c)];
                        i >= 0 && static_cast<std::size_t>(i) < fields.size())
                        row[static_cast<std::size_t>(c)] = fields[static_cast<std::size_t>(i)];
            }
            break;
        case ductsys::PastedBlock::Kind::cells: {
            const Bounds b = selectionBounds(*grid_);
            if (pasted.rows.size() == 1 && pasted.rows.front().size() == 1 &&
                (b.bottom > b.top || b.right > b.left)) {
                // One value onto a selected range fills the range.
                column = b.left;
                const int right = std::min(b.right, kInputColumns - 1);
                for (int r = b.top; r <= b.bottom; ++r) {
                    auto& row = block.rows.emplace_back();
                    for (int c = b.left; c <= right; ++c)
                        row.push_back(pasted.rows.front().front());
                }
                model_->setBlock(b.top, column, block, QStringLiteral("粘贴"));
                return;
            }
            block.rows = pasted.rows;
            break;
        }
    }
    model_->setBlock(at.row(), column, block, QStringLiteral("粘贴"));
}

void TableWindow::pasteClipboard() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime) return;
    // A spreadsheet on Chinese Windows may hand over GB18030 bytes as plain
    // text; the system layer decodes them, as it does a file.
    if (mime->hasFormat(QStringLiteral("text/plain"))) {
        const QByteArray bytes = mime->data(QStringLiteral("text/plain"));
        pasteBytes(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        return;
    }
    pasteText(mime->text());
}

void TableWindow::insertRows() {
    const Bounds b = selectionBounds(*grid_);
    if (b.top < 0) return;
    model_->insertBlankRows(b.top, b.bottom - b.top + 1);
    // The new empty row is the current one: the next Ctrl+Delete takes it,
    // not the row it pushed down.
    const QModelIndex at = model_->index(b.top, std::max(grid_->currentIndex().column(), 0));
    grid_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
}

void TableWindow::removeRows() {
    const Bounds b = selectionBounds(*grid_);
    if (b.top < 0) return;
    model_->removeSystemRows(b.top, b.bottom - b.top + 1);
}

void TableWindow::moveRows(int delta) {
    const Bounds b = selectionBounds(*grid_);
    if (b.top < 0) return;
    const QModelIndex at = grid_->currentIndex();
    if (!model_->moveSystemRows(b.top, b.bottom - b.top + 1, delta)) return;
    QItemSelection moved(model_->index(b.top + delta, b.left),
                         model_->index(b.bottom + delta, b.right));
    grid_->selectionModel()->setCurrentIndex(model_->index(at.row() + delta, at.column()),
                                             QItemSelectionModel::NoUpdate);
    grid_->selectionModel()->select(moved, QItemSelectionModel::ClearAndSelect);
}

void TableWindow::chooseSize() {
    const int row = grid_->currentIndex().row();
    if (sizeOptions(*model_, row, {}).empty()) {
        statusBar()->showMessage(QStringLiteral("本段没有算出风量，无法选择尺寸"), 3000);
        return;
    }
    SizeDialog dialog(*model_, row, this);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen().empty()) return;
    TextBlock block;
    block.rows.push_back({dialog.chosen()});
    model_->setBlock(row, cSize, block, QStringLiteral("选择尺寸"));
}

void TableWindow::editFittings() {
    const int row = grid_->currentIndex().row();
    if (row < 0) return;
    FittingsDialog dialog(*model_, row, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (row < model_->systemRows() && dialog.text() == model_->rowTexts(row)[cZeta]) return;
    TextBlock block;
    block.rows.push_back({dialog.text()});
    // One step on the undo stack, as any edit of the cell.
    model_->setBlock(row, cZeta, block, QStringLiteral("管件局部阻力"));
}

void TableWindow::editProjectInfo() {
    grid_->commitEditing();
    ProjectInfoDialog dialog(model_->settings(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    // One step of the document, kept on Save.
    model_->setSettings(dialog.settings(), QStringLiteral("项目信息"));
}

void TableWindow::sizeWhole(WholeSizingDialog::Mode mode) {
    WholeSizingDialog dialog(*model_, mode, this);
    if (dialog.exec() != QDialog::Accepted) return;
    model_->setMarkedCells(previewCells(dialog.preview()), mode == WholeSizingDialog::Mode::size
                                                               ? QStringLiteral("全部选择尺寸")
                                                               : QStringLiteral("平衡"));
}

void TableWindow::selectRows(const QList<int>& rows) {
    QItemSelection selection;
    for (const int row : rows)
        if (row >= 0) selection.select(model_->index(row, 0), model_->index(row, kColumns - 1));
    grid_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty() && rows.front() >= 0) grid_->scrollTo(model_->index(rows.front(), 0));
}

void TableWindow::rememberRecent(const QString& path) {
    QSettings settings;
    QStringList files = settings.value(kRecentKey).toStringList();
    const QString full = QFileInfo(path).absoluteFilePath();
    files.removeAll(full);
    files.prepend(full);
    while (files.size() > kRecentFiles) files.removeLast();
    settings.setValue(kRecentKey, files);
}

void TableWindow::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList files = QSettings().value(kRecentKey).toStringList();
    for (const QString& f : files)
        recentMenu_->addAction(f, this, [this, f] {
            if (maybeSave()) openFile(f);
        });
    if (files.isEmpty()) recentMenu_->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

}  // namespace table
