# Build helpers shared by src/ and tests/.
#
# A source file whose name ends in _win.cpp is Windows-only; every other file under src/ is
# portable and compiled by both builds. New files are picked up by the globs below, so an area
# adds code and tests without touching any CMakeLists.txt.

set(TIDEMOOR_WARNINGS -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)

# How Tidemoor.exe and the benchmarks' yardstick windows are linked: static, Unicode entry point, a
# window program. Sections start on page boundaries in the file, so a loader can map them from the
# file instead of reading the whole image into memory (Wine does the latter otherwise). What users
# get carries no symbols (less than half the size); Debug builds keep them.
set(TIDEMOOR_WINDOW_PROGRAM_LINK_OPTIONS -static -municode -mwindows -Wl,--file-alignment,4096
                                         $<$<CONFIG:Release>:-s>)

# The headers of one layer, reachable as "<layer>/<name>.h" from its own include root in the build
# tree and from nowhere else. A library sees only the roots of itself and of the layers it links,
# so an include that points up or sideways does not compile. Each header in a root is a one-line
# file that includes the real one by a relative path: it works where symbolic links do not (a
# Windows checkout), edits to the real header need no new configure, and ccache can share the
# results between checkouts.
function(tidemoor_header_root layer out)
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  set(dir ${root}/${layer})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*.h)
  set(wanted)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(RELATIVE_PATH real ${dir} ${header})
    file(CONFIGURE OUTPUT ${dir}/${name} CONTENT "#include \"${real}\"\n" @ONLY)
    list(APPEND wanted ${dir}/${name})
  endforeach()
  file(GLOB present ${dir}/*.h)
  foreach(stale ${present})
    if(NOT stale IN_LIST wanted)
      file(REMOVE ${stale})
    endif()
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# tidemoor_layer(<layer> [<layer it may use>...]): the library tidemoor_<layer> of src/<layer>/,
# its portable files in both builds and its _win files in the Windows one.
function(tidemoor_layer layer)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*.cpp)
  if(TIDEMOOR_TARGET STREQUAL "windows")
    list(FILTER sources EXCLUDE REGEX "/entry_win\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
  endif()
  tidemoor_header_root(${layer} root)
  add_library(tidemoor_${layer} STATIC ${sources})
  target_include_directories(tidemoor_${layer} PUBLIC ${root})
  foreach(lower ${ARGN})
    target_link_libraries(tidemoor_${layer} PUBLIC tidemoor_${lower})
  endforeach()
  target_compile_options(tidemoor_${layer} PRIVATE ${TIDEMOOR_WARNINGS})
  tidemoor_apply_sanitizers(tidemoor_${layer})
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
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${T_NAME} PRIVATE ${TIDEMOOR_WARNINGS})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  tidemoor_apply_sanitizers(${T_NAME})
  if(WIN32)
    # The code under test is the layers' own optimised build; the tests' own code is compiled
    # unoptimised, in a good part less time.
    target_compile_options(${T_NAME} PRIVATE -O0)
    # Holds every program the tests start in a job that ends with the test program
    # (tests/support/own_job_win.cpp, an object library so the linker cannot drop it).
    target_link_libraries(${T_NAME} PRIVATE tidemoor_own_job)
    target_link_options(${T_NAME} PRIVATE -static)
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
