# Build helpers shared by src/ and tests/.
#
# A source file whose name ends in _win.cpp is Windows-only; every other file under src/ is
# portable and compiled by both builds. New files are picked up by the globs below, so an area
# adds code and tests without touching any CMakeLists.txt.

set(TIDEMOOR_WARNINGS -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)

function(tidemoor_portable_sources out)
  file(GLOB_RECURSE all CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
  list(FILTER all EXCLUDE REGEX "_win\\.cpp$")
  set(${out} ${all} PARENT_SCOPE)
endfunction()

function(tidemoor_windows_sources out)
  file(GLOB_RECURSE all CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*_win.cpp)
  list(FILTER all EXCLUDE REGEX "entry_win\\.cpp$")
  set(${out} ${all} PARENT_SCOPE)
endfunction()

function(tidemoor_apply_sanitizers target)
  if(TIDEMOOR_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# One test executable per area: tidemoor_test(NAME <name> SOURCES ... LIBS ... [TIMEOUT <s>])
# The unit suites run in seconds; a hung one is stopped after TIMEOUT (300 s unless given), well
# before the CI's own limit.
function(tidemoor_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_SOURCES)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${T_NAME} PRIVATE ${TIDEMOOR_WARNINGS})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  tidemoor_apply_sanitizers(${T_NAME})
  if(WIN32)
    # Holds every program the tests start in a job that ends with the test program
    # (tests/support/own_job_win.cpp, an object library so the linker cannot drop it).
    target_link_libraries(${T_NAME} PRIVATE tidemoor_own_job)
    target_link_options(${T_NAME} PRIVATE -static)
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
