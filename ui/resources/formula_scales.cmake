# SPDX-License-Identifier: GPL-3.0-or-later
# The screen scales of the formula bitmaps, from formula_scales.txt:
#   DUCTCALC_FORMULA_SCALES     the scales as written there ("1;1.25;…")
#   ductcalc_formula_bitmaps(VAR PREFIX)
#                               the bitmap files, PREFIX/formula1.bmp …
#   ductcalc_formula_scales_header(PATH)
#                               writes a C++ header holding the scales and
#                               their file-name suffixes (formula_scales.h)
include_guard(DIRECTORY)

set(_ductcalc_scales_file ${CMAKE_CURRENT_LIST_DIR}/formula_scales.txt)
file(STRINGS ${_ductcalc_scales_file} DUCTCALC_FORMULA_SCALES REGEX "^[0-9]")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_ductcalc_scales_file})

# The file-name suffix of the bitmaps at one scale: none at 1, "@1.25x" …
function(_ductcalc_formula_suffix var scale)
  if(scale STREQUAL "1")
    set(${var} "" PARENT_SCOPE)
  else()
    set(${var} "@${scale}x" PARENT_SCOPE)
  endif()
endfunction()

function(ductcalc_formula_bitmaps var prefix)
  set(files)
  foreach(formula formula1 formula2)
    foreach(scale IN LISTS DUCTCALC_FORMULA_SCALES)
      _ductcalc_formula_suffix(suffix ${scale})
      list(APPEND files ${prefix}/${formula}${suffix}.bmp)
    endforeach()
  endforeach()
  set(${var} ${files} PARENT_SCOPE)
endfunction()

function(ductcalc_formula_scales_header path)
  set(rows "")
  foreach(scale IN LISTS DUCTCALC_FORMULA_SCALES)
    _ductcalc_formula_suffix(suffix ${scale})
    string(APPEND rows "    {${scale}, \"${suffix}\"},\n")
  endforeach()
  file(CONFIGURE OUTPUT ${path} @ONLY CONTENT
"// SPDX-License-Identifier: GPL-3.0-or-later
// Made by CMake from ui/resources/formula_scales.txt; edit that list instead.
// The screen scales the formula bitmaps are drawn at, smallest first, with
// the suffix of their file names (formula1@1.25x.bmp).
#pragma once

namespace ui {

struct FormulaScale {
    double scale;
    const char* suffix;
};

inline constexpr FormulaScale kFormulaScales[] = {
${rows}};

}  // namespace ui
")
endfunction()
