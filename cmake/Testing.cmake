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

# The TLS tests' throw-away certificates, made anew by every test run (fixture
# tls_files, tools/make-test-certificates.sh), and the test prefix's trust in
# their authority (fixture tls, tests/support). A test of the TLS listener
# requires both fixtures.
set(QX_TLS_CERTIFICATES ${CMAKE_BINARY_DIR}/tls-certificates)

# Sets out_var to the options that give the local web service a TLS listener
# on port: the good certificate presented first, the bad ones (wrong-name,
# expired, untrusted) to be chosen by the tests.
function(qx_tls_server_options out_var port)
  set(options --tls-port ${port})
  foreach(name localhost wrong-name expired untrusted)
    list(APPEND options --tls-cert ${QX_TLS_CERTIFICATES}/${name}.crt --tls-key ${QX_TLS_CERTIFICATES}/${name}.key)
  endforeach()
  set(${out_var} ${options} PARENT_SCOPE)
endfunction()
