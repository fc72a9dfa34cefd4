# Helpers that every module uses to declare its tests, benchmarks and fuzzers the same way.

include(GoogleTest)

# absorbview_gtest(<name> SOURCES ... LIBS ...): a GoogleTest executable of the Qt-free core.
function(absorbview_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} absorbview_testsupport GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    ABSORBVIEW_HITRAN_DIR="${ABSORBVIEW_HITRAN_DIR}"
    ABSORBVIEW_SOURCE_ROOT="${ABSORBVIEW_SOURCE_ROOT}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS core)
endfunction()

# absorbview_qttest(<name> SOURCES ... LIBS ...): a Qt Test executable run offscreen.
function(absorbview_qttest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} absorbview_testsupport Qt6::Test Qt6::Widgets)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_compile_definitions(${name} PRIVATE
    ABSORBVIEW_HITRAN_DIR="${ABSORBVIEW_HITRAN_DIR}"
    ABSORBVIEW_SOURCE_ROOT="${ABSORBVIEW_SOURCE_ROOT}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# absorbview_fuzzer(<name> SOURCES ... LIBS ...): a libFuzzer target (clang, ABSORBVIEW_FUZZ builds only).
function(absorbview_fuzzer name)
  if(NOT ABSORBVIEW_FUZZ)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY ABSORBVIEW_FUZZERS ${name})
endfunction()

# absorbview_benchmark(<name> SOURCES ... LIBS ...): a Google Benchmark executable (not a test).
function(absorbview_benchmark name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE ABSORBVIEW_HITRAN_DIR="${ABSORBVIEW_HITRAN_DIR}")
endfunction()

# absorbview_qcustomplot_pch(<target>): QCustomPlot's header, and the Qt Widgets headers beneath it, are
# parsed once per target instead of once in every file that includes the chart.
function(absorbview_qcustomplot_pch target)
  target_precompile_headers(${target} PRIVATE <qcustomplot.h>)
endfunction()
