// SPDX-License-Identifier: GPL-3.0-or-later
// The 计算书 for print or PDF, in the workbook's order: the title block, the
// 计算依据 and 计算方法, the air, the friction formula by name, the table with
// each column's fixed decimals, the index run and its total, the fan-selection
// line, the junctions with what would balance each one over the limit, the
// fittings' ζ, and the friction chart. Every page has a header, and a footer
// with the project and 第 N 页 共 M 页; a table's header row repeats on every
// page it runs to.
#pragma once

#include <QString>

#include "system/chart.h"

class QPrinter;

namespace table {

class TableModel;

// The report's body as HTML.
QString reportHtml(const TableModel& model);

// Lays the report out on the printer's pages and prints it, the system's
// friction chart (drawn with `chart`) on the last page; false when the
// printer cannot be started.
bool printReport(const TableModel& model, const QString& title, QPrinter& printer,
                 const ductsys::ChartOptions& chart = {});

}  // namespace table
