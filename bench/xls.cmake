# bench_xls writes the same cells as .xlsx through libxlsxwriter, the baseline of our .xls writer.
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
target_link_libraries(bench_xls PRIVATE PkgConfig::XLSXWRITER)
