# GoogleTest from Debian's sources, built with whichever toolchain configures the tree.
set(ZB_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${ZB_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# zb_add_test(NAME SOURCES... [LIBS ...]): one test program, one ctest entry. Under the
# cross-build ctest runs it through the Wine emulator.
function(zb_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
endfunction()
