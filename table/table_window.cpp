// SPDX-License-Identifier: GPL-3.0-or-later
#include "table_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelection>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <algorithm>

#include "grid_view.h"
#include "report.h"
#include "side_panel.h"
#include "size_choice.h"
#include "system_file.h"
#include "table_model.h"
#include "whole_sizing.h"

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
        model_->resetRows({});
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
    QAction* sizeAll = edit->addAction(QStringLiteral("全部选择尺寸(&Y)…"),
                                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), this,
                                       [this] { sizeWhole(WholeSizingDialog::Mode::size); });
    sizeAll->setObjectName(QStringLiteral("sizeAll"));
    QAction* balance = edit->addAction(QStringLiteral("平衡(&B)…"), this,
                                       [this] { sizeWhole(WholeSizingDialog::Mode::balance); });
    balance->setObjectName(QStringLiteral("balance"));
    for (QAction* a : {size, sizeAll, copy, paste, clear, insert, remove, up, down})
        grid_->addAction(a);
    for (QAction* a : {undo, redo}) addAction(a);
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
    model_->resetRows(std::move(loaded.rows));
    path_ = path;
    rememberRecent(path);
    updateTitle();
    if (!loaded.ignoredColumns.empty()) {
        QStringList names;
        for (const auto& n : loaded.ignoredColumns) names << QString::fromStdString(n);
        const QString note = QStringLiteral("未读入的列：%1（保存时不会写回）")
                                 .arg(names.join(QStringLiteral("，")));
        statusBar()->showMessage(note);
    } else if (loaded.wasGb18030) {
        statusBar()->showMessage(QStringLiteral("文件按 GB18030 编码读入，保存为 UTF-8"), 5000);
    }
    return true;
}

bool TableWindow::saveFile(const QString& path, bool quiet) {
    grid_->commitEditing();
    std::vector<RowTexts> rows;
    rows.reserve(static_cast<std::size_t>(model_->systemRows()));
    for (int r = 0; r < model_->systemRows(); ++r) rows.push_back(model_->rowTexts(r));
    const std::string text = systemFileText(rows);
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
    model_->undoStack()->setClean();
    rememberRecent(path);
    updateTitle();
    return true;
}

void TableWindow::openDialog() {
    if (!maybeSave()) return;
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("打开风管系统"), QString(),
                                     QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
    if (!path.isEmpty()) openFile(path);
}

bool TableWindow::save() { return path_.isEmpty() ? saveAs() : saveFile(path_); }

bool TableWindow::saveAs() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("另存为"), path_,
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
    return printReport(*model_, shownName(), printer);
}

void TableWindow::exportPdfDialog() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出 PDF"), QString(),
                                                QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    if (!exportPdf(path))
        QMessageBox::warning(this, QStringLiteral("风管水力计算表"),
                             QStringLiteral("无法写入“%1”").arg(path));
}

void TableWindow::printDialog() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) printReport(*model_, shownName(), printer);
}

bool TableWindow::exportWorkbook(const QString& path) {
    grid_->commitEditing();
    ductsys::ReportInfo info;
    side_->describeAir(info);
    // The formulas the rows name, as the workbook's notes list them.
    bool one = false, two = false;
    for (int row = 0; row < model_->systemRows(); ++row) {
        const std::string& text = model_->rowTexts(row)[cFormula];
        if (model_->rowTexts(row) == RowTexts{}) continue;
        (text == "2" ? two : one) = true;
    }
    info.formulas = one && two ? "1, 2" : two ? "2" : "1";
    info.source = shownName().toStdString();
    info.program = "ductcalc-table " DUCTCALC_VERSION;
    workbookProblem_ = ductsys::writeXlsxReport(model_->result(), info, path.toStdString());
    return workbookProblem_.empty();
}

void TableWindow::exportWorkbookDialog() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出计算书"), QString(),
                                                QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".xlsx");
    if (!exportWorkbook(path))
        QMessageBox::warning(
            this, QStringLiteral("风管水力计算表"),
            QStringLiteral("无法写入“%1”：%2").arg(path, QString::fromStdString(workbookProblem_)));
}

void TableWindow::copySelection() {
    grid_->commitEditing();
    const Bounds b = selectionBounds(*grid_);
    if (b.top < 0) return;
    QApplication::clipboard()->setText(
        QString::fromStdString(model_->blockText(b.top, b.left, b.bottom, b.right)));
}

void TableWindow::pasteText(const QString& text) {
    const QModelIndex at = grid_->currentIndex();
    if (!at.isValid() || !isInput(at.column())) {
        statusBar()->showMessage(QStringLiteral("计算结果列不能粘贴"), 3000);
        return;
    }
    model_->setBlock(at.row(), at.column(), parseTabSeparated(text.toStdString()),
                     QStringLiteral("粘贴"));
}

void TableWindow::pasteClipboard() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime) return;
    // A spreadsheet on Chinese Windows may hand over GB18030 bytes as plain
    // text; Qt would read them as UTF-8.
    if (mime->hasFormat(QStringLiteral("text/plain"))) {
        const QByteArray bytes = mime->data(QStringLiteral("text/plain"));
        const std::string_view raw(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (!isValidUtf8(raw)) {
            if (const auto decoded = gb18030ToUtf8(raw)) {
                const TextBlock block = parseTabSeparated(*decoded);
                const QModelIndex at = grid_->currentIndex();
                if (at.isValid() && isInput(at.column()))
                    model_->setBlock(at.row(), at.column(), block, QStringLiteral("粘贴"));
                return;
            }
        }
    }
    pasteText(mime->text());
}

void TableWindow::insertRows() {
    const Bounds b = selectionBounds(*grid_);
    if (b.top < 0) return;
    model_->insertBlankRows(b.top, b.bottom - b.top + 1);
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
