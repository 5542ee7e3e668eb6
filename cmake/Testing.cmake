# qx_add_gtest(<target> SOURCES <files...> LIBS <libs...>)
# Native builds: every GoogleTest case is its own CTest test, label "core".
# Windows builds: the executable runs once under Wine (through the crosscompiling
# emulator) as one CTest test, label "wine"; starting Wine per case would cost
# more than the cases themselves.
if(NOT TARGET GTest::gtest_main)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(QX_SANITIZE)
    foreach(t gtest gtest_main)
      target_compile_options(${t} PRIVATE -fsanitize=address,undefined)
    endforeach()
  endif()
endif()
include(GoogleTest)

function(qx_add_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;WINE_ENV" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} qx_options GTest::gtest_main)
  if(WIN32)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES LABELS wine TIMEOUT 300)
  else()
    gtest_discover_tests(${target} PROPERTIES LABELS core DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
