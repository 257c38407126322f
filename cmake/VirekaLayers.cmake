# One static library per layer, made of every source file in src/<layer>/.
# A layer with no source yet is simply not defined; callers test TARGET.
function(vireka_layer name)
  vireka_library(vireka_${name} ${name} ${ARGN})
endfunction()

# A library made of every source file of one folder of src/ (a layer, or one job of a
# layer such as authoring/import), linked with the libraries named after it.
function(vireka_library target folder)
  file(GLOB _all CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp
       ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  set(_sources ${_all})
  list(FILTER _sources INCLUDE REGEX "\\.cpp$")
  if(NOT _sources)
    return()
  endif()
  add_library(${target} STATIC ${_all})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  set(_deps)
  foreach(dep IN LISTS ARGN)
    if(dep MATCHES "^vireka_" AND NOT TARGET ${dep})
      continue()
    endif()
    list(APPEND _deps ${dep})
  endforeach()
  target_link_libraries(${target} PUBLIC ${_deps})
  vireka_precompile(${target})
  if(VIREKA_PCH AND "Qt6::Widgets" IN_LIST ARGN)
    target_precompile_headers(${target} PRIVATE <QtWidgets/QWidget> <QtWidgets/QApplication>)
  endif()
endfunction()

# Qt's headers are most of what every file compiles; each target parses them once.
function(vireka_precompile target)
  if(VIREKA_PCH)
    target_precompile_headers(${target} PRIVATE <QtCore/QString> <QtCore/QStringList>
      <QtCore/QVariant> <QtCore/QHash> <QtCore/QList> <QtGui/QImage> <QtGui/QPainter>
      <vector> <memory> <optional> <functional>)
  endif()
endfunction()

# One test program per folder of tests/, made of every test file in it, linked with the
# layer of the same name and everything below it. Each test case is its own CTest test.
function(vireka_test_folder folder)
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
  if(NOT _sources)
    return()
  endif()
  add_executable(test_${folder} ${_sources})
  target_link_libraries(test_${folder} PRIVATE vireka_testsupport ${ARGN} GTest::gtest GTest::gmock)
  vireka_precompile(test_${folder})
  if(VIREKA_PCH)
    target_precompile_headers(test_${folder} PRIVATE <gtest/gtest.h> <QtWidgets/QWidget>
      <QtWidgets/QApplication>)
  endif()
  gtest_discover_tests(test_${folder}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;VIREKA_TEST_DATA=${CMAKE_BINARY_DIR}"
    DISCOVERY_TIMEOUT 60)
endfunction()
