# Shared build settings for every Tarnlet target.

# Warnings on for our own code; errors when TARNLET_WERROR is set (CI sets it).
function(tarnlet_target_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual)
  if(TARNLET_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII
                                               QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()

# A static library of one source folder: tarnlet_add_library(name SOURCES... LIBS...)
function(tarnlet_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  target_compile_definitions(${name} PUBLIC TARNLET_VERSION="${PROJECT_VERSION}")
  tarnlet_target_settings(${name})
endfunction()

# A GoogleTest program whose cases CTest lists one by one:
# tarnlet_add_test(name SOURCES... LIBS... [LABELS ...] [ENVIRONMENT ...] [RESOURCE_LOCK ...])
function(tarnlet_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tarnlet_test_support ${ARG_LIBS})
  tarnlet_target_settings(${name})
  set(props TIMEOUT 120)
  if(ARG_RESOURCE_LOCK)
    list(APPEND props RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${props})
  # The discovered tests take their properties as one flat list, which would split a list value
  # (several variables, several labels) apart; those are set once ctest has discovered them instead.
  set(env QT_QPA_PLATFORM=offscreen ${ARG_ENVIRONMENT})
  set(listed "ENVIRONMENT \"${env}\"")
  if(ARG_LABELS)
    string(APPEND listed " LABELS \"${ARG_LABELS}\"")
  endif()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${script} "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES ${listed})\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()


# Adds every subfolder of the current folder that has a CMakeLists.txt, so a new one needs no line.
function(tarnlet_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child IN LISTS children)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
