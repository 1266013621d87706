// SPDX-License-Identifier: GPL-3.0-or-later
// The 计算书 for print or PDF: the table, the paths and junctions, the fan,
// every page with a header and its number.
#pragma once

#include <QString>

#include "chart.h"

class QPrinter;

namespace table {

class TableModel;

// The report's body as HTML.
QString reportHtml(const TableModel& model, const QString& title);

// Lays the report out on the printer's pages and prints it, the system's
// friction chart (drawn with `chart`) on the last page; false when the
// printer cannot be started.
bool printReport(const TableModel& model, const QString& title, QPrinter& printer,
                 const ductsys::ChartOptions& chart = {});

}  // namespace table
