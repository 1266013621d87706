# SPDX-License-Identifier: GPL-3.0-or-later
# Installing documentation the way Debian's policy wants it: manual pages and
# the changelog compressed with `gzip -9n` (no name or time stamp inside, so
# the same source gives the same package byte for byte).
include(GNUInstallDirs)

# ductcalc_gzip(<source> <output-variable>): compresses <source> into the
# build folder at build time and returns the compressed file's path.
function(ductcalc_gzip source out_var)
  get_filename_component(source "${source}" ABSOLUTE)
  get_filename_component(name "${source}" NAME)
  file(RELATIVE_PATH rel "${PROJECT_SOURCE_DIR}" "${source}")
  string(MAKE_C_IDENTIFIER "${rel}" target_name)
  set(out "${PROJECT_BINARY_DIR}/gz/${rel}.gz")
  get_filename_component(out_dir "${out}" DIRECTORY)
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh "${source}" "${out}"
    DEPENDS "${source}"
    COMMENT "Compressing ${rel}"
    VERBATIM)
  add_custom_target(gz_${target_name} ALL DEPENDS "${out}")
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

# ductcalc_install_man(<page>): installs a manual page whose file name ends in
# its section (ductcalc.1, ductcalc-cli.1) into man<section>, compressed.
function(ductcalc_install_man page)
  get_filename_component(name "${page}" NAME)
  if(NOT name MATCHES "\\.([1-9])[a-z]*$")
    message(FATAL_ERROR "ductcalc_install_man: ${name} does not end in a section number")
  endif()
  set(section "${CMAKE_MATCH_1}")
  ductcalc_gzip("${page}" compressed)
  install(FILES "${compressed}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man${section}")
endfunction()

# ductcalc_install_doc(<file> [RENAME <name>]): a compressed file in the
# package's documentation folder (the changelog).
function(ductcalc_install_doc file)
  cmake_parse_arguments(arg "" "RENAME" "" ${ARGN})
  ductcalc_gzip("${file}" compressed)
  if(arg_RENAME)
    install(FILES "${compressed}" DESTINATION "${CMAKE_INSTALL_DOCDIR}" RENAME "${arg_RENAME}")
  else()
    install(FILES "${compressed}" DESTINATION "${CMAKE_INSTALL_DOCDIR}")
  endif()
endfunction()

# ductcalc_harden(<target>): linked to resolve every symbol at start and
# with a read-only relocation table, as Debian's hardening asks.
function(ductcalc_harden target)
  target_link_options(${target} PRIVATE LINKER:-z,relro LINKER:-z,now)
endfunction()

# ductcalc_install_program(<target>): a hardened program in bin/ (the
# package strips it).
function(ductcalc_install_program target)
  ductcalc_harden(${target})
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()
