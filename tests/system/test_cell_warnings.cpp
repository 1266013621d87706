// SPDX-License-Identifier: GPL-3.0-or-later
// The warning each input cell of a segment's row carries, exactly: a column
// never carries a warning meant for another (a length over 10 m is no
// roughness), and the roughness says its limit once.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "messages/catalogue.h"
#include "system/cell_warnings.h"

namespace {

using ductsys::Column;

struct Cell {
    const char* name;
    Column column;
    const char* text;
    const char* warning;
};
void PrintTo(const Cell& c, std::ostream* os) { *os << c.name; }
class CellWarnings : public testing::TestWithParam<Cell> {};
TEST_P(CellWarnings, BelongToTheirColumn) {
    // As the grid shows it: in Chinese, one point a line.
    EXPECT_EQ(msg::renderLines(ductsys::cellWarning(GetParam().column, GetParam().text),
                               msg::Language::chinese),
              GetParam().warning);
}
INSTANTIATE_TEST_SUITE_P(
    Cells, CellWarnings,
    testing::Values(
        Cell{"a_length_over_10_m", Column::length, "12.5", ""},
        Cell{"a_long_run", Column::length, "250", ""},
        Cell{"a_length_below_0_01_m", Column::length, "0.005", ""},
        Cell{"a_fixed_loss_over_10_pa", Column::dp, "150", ""},
        Cell{"a_term_below_0_01", Column::zeta, "0.005+0.3", ""},
        Cell{"a_sum_over_10", Column::zeta, "12+0.5", ""},
        Cell{"a_length_read_in_part", Column::length, "25m", "只读取了 25，忽略了“m”"},
        Cell{"a_term_read_in_part", Column::zeta, "0.3+0.2x", "只读取了 0.2，忽略了“x”"},
        Cell{"a_fixed_loss_read_in_part", Column::dp, "150 Pa", "只读取了 150，忽略了“Pa”"},
        Cell{"a_roughness_above_its_limit_once", Column::k, "20",
             "粗糙度限于 0.01 至 10 mm，按 10 计算"},
        Cell{"a_roughness_below_its_limit", Column::k, "0.001",
             "粗糙度限于 0.01 至 10 mm，按 0.01 计算"},
        Cell{"a_roughness_within", Column::k, "0.15", ""},
        Cell{"a_thousands_separator", Column::flow, "1,000", "只读取了 1，忽略了“,000”"},
        Cell{"a_negative_air_volume", Column::flow, "-100", "风量为负数：-100"},
        Cell{"a_side_in_metres", Column::size, "0.5x0.3",
             "尺寸以 mm 计；0.5 mm 是否应为 500 mm？\n尺寸以 mm 计；0.3 mm 是否应为 300 mm？"},
        Cell{"no_size", Column::size, "abc", "未读到数字，按 0 计算；忽略了“abc”"},
        Cell{"an_unknown_unit", Column::unit, "cfm", "不是风量单位：cfm"},
        Cell{"a_known_unit", Column::unit, "m3/h", ""},
        Cell{"an_empty_cell", Column::length, "  ", ""},
        Cell{"a_name_is_never_warned", Column::segment, "12.5", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
