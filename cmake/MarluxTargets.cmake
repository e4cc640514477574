# Helpers shared by the folder CMakeLists files.

# Adds a folder when it has a CMakeLists.txt of its own; the Qt-free build leaves out a folder
# that holds a file NEEDS_QT.
function(marlux_add_optional_subdirectory dir)
  if(MARLUX_QT_FREE_ONLY AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/NEEDS_QT)
    return()
  endif()
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()

# Collects the C++ sources of the given folders (relative to the source root).
function(marlux_collect_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS
      ${PROJECT_SOURCE_DIR}/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/${dir}/*.h)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# One GoogleTest executable per test folder; every test of it becomes a CTest test.
#   marlux_add_test_suite(NAME test_ftp FOLDERS tests/ftp LIBS marlux_ftp [QT])
function(marlux_add_test_suite)
  cmake_parse_arguments(ARG "QT" "NAME" "FOLDERS;LIBS" ${ARGN})
  marlux_collect_sources(sources ${ARG_FOLDERS})
  if(NOT sources)
    return()
  endif()
  add_executable(${ARG_NAME} ${sources})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} marlux_test_support GTest::gtest Threads::Threads)
  if(ARG_QT)
    target_link_libraries(${ARG_NAME} PRIVATE marlux_qt_test_main)
  else()
    target_link_libraries(${ARG_NAME} PRIVATE GTest::gtest_main)
  endif()
  set(env "MARLUX_SOURCE_DIR=${PROJECT_SOURCE_DIR}" "MARLUX_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
  if(ARG_QT)
    # No test reaches the desktop's keyring; those that need one start their own.
    list(APPEND env "QT_QPA_PLATFORM=offscreen" "LC_ALL=C.UTF-8" "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus")
  endif()
  gtest_discover_tests(${ARG_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()
