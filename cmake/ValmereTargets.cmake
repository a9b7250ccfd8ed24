# The project's warnings, for its own targets only: object libraries take them
# as private compile options, executables by linking valmere_warnings
# privately. Nothing here reaches a program that links the libraries.
# Third-party headers come in as SYSTEM includes, so their warnings stay out.
# VALMERE_WERROR (on in the presets and CI) makes them errors.
add_library(valmere_warnings INTERFACE)
target_compile_options(valmere_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  $<$<BOOL:${VALMERE_WERROR}>:-Werror>
  -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual
  -Wno-missing-field-initializers
  $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
  # GCC 12 at -O3 reports `"literal" + std::string` as an overlapping
  # memcpy inside libstdc++ (a known false positive of its -Wrestrict).
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>
  $<$<CXX_COMPILER_ID:Clang>:-Wshadow-uncaptured-local>)

# A listed source that does not exist is an error, whoever configures: a
# build must never succeed without part of the library.
function(valmere_check_sources)
  foreach(source ${ARGN})
    if(source MATCHES "^\\$<")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} OUTPUT_VARIABLE path)
    if(NOT EXISTS ${path})
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}: missing source ${source}")
    endif()
  endforeach()
endfunction()

# valmere_add_object(NAME SOURCES...) : one object library per folder, so a
# folder can be built and tested on its own while others are in progress.
function(valmere_add_object name)
  valmere_check_sources(${ARGN})
  add_library(${name} OBJECT ${ARGN})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
  target_compile_options(${name} PRIVATE $<TARGET_PROPERTY:valmere_warnings,INTERFACE_COMPILE_OPTIONS>)
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# valmere_add_test(NAME SOURCES... LIBS ...) : a GoogleTest executable
# registered with CTest.
# THREADS n...: the tests run once for each render-thread count, with
# VALMERE_RENDER_THREADS set and ".threads<n>" after their names.
function(valmere_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;THREADS" ${ARGN})
  valmere_check_sources(${T_SOURCES})
  if(NOT T_SOURCES)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main valmere_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(NOT T_THREADS)
    gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                         DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
    return()
  endif()
  foreach(threads IN LISTS T_THREADS)
    gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                         TEST_SUFFIX ".threads${threads}" TEST_LIST ${name}_threads${threads}
                         DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 300 ENVIRONMENT "VALMERE_RENDER_THREADS=${threads}")
  endforeach()
endfunction()

# The link requirements of an object library that an installed static library
# has to carry: third-party targets and flags, as they are, in place of the
# project's own object libraries, whose objects are in the archives (their
# requirements are followed instead).
function(valmere_external_requirements out part)
  set(found)
  get_target_property(items ${part} INTERFACE_LINK_LIBRARIES)
  if(NOT items)
    set(items)
  endif()
  foreach(item IN LISTS items)
    set(wrapped ${item})
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
    if(item MATCHES "^\\$<BUILD_INTERFACE:" OR item STREQUAL "valmere_warnings")
      continue()
    endif()
    if(TARGET ${item})
      get_target_property(imported ${item} IMPORTED)
      get_target_property(type ${item} TYPE)
      if(NOT imported AND type STREQUAL "OBJECT_LIBRARY")
        valmere_external_requirements(inner ${item})
        list(APPEND found ${inner})
        continue()
      endif()
    endif()
    list(APPEND found ${wrapped})
  endforeach()
  list(REMOVE_DUPLICATES found)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# valmere_aggregate(NAME PARTS...) : a static library made of the objects of
# the folder libraries that exist. In this build it carries their usage
# requirements; installed, it carries their third-party dependencies and the
# installed include folder.
function(valmere_aggregate name)
  set(parts)
  foreach(part ${ARGN})
    if(TARGET ${part})
      list(APPEND parts ${part})
    endif()
  endforeach()
  if(parts)
    add_library(${name} STATIC)
    set_target_properties(${name} PROPERTIES LINKER_LANGUAGE CXX)
    foreach(part ${parts})
      # Linked directly, an object library puts its objects into the archive.
      target_link_libraries(${name} PUBLIC $<BUILD_INTERFACE:${part}>)
      valmere_external_requirements(external ${part})
      foreach(item IN LISTS external)
        target_link_libraries(${name} PUBLIC $<INSTALL_INTERFACE:${item}>)
      endforeach()
    endforeach()
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                             $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/valmere>)
  target_compile_features(${name} ${scope} cxx_std_20)
endfunction()

# Adds every immediate subfolder of the current folder that has a
# CMakeLists.txt (tests/, bench/ and tools/ have one subfolder per owner).
macro(valmere_add_subfolders)
  file(GLOB _valmere_children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _valmere_children)
  foreach(_child ${_valmere_children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endmacro()
