# Warnings are errors in project code. Third-party headers come in as SYSTEM
# includes, so their warnings stay out of this.
add_library(valmere_warnings INTERFACE)
target_compile_options(valmere_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Werror
  -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual
  -Wno-missing-field-initializers
  $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
  $<$<CXX_COMPILER_ID:Clang>:-Wshadow-uncaptured-local>)

# Several developers share one working tree: outside CI a source that is
# listed but not written yet is skipped with a warning instead of breaking
# everyone's configure. In CI (CI=true) it is an error.
function(valmere_existing_sources out)
  set(found)
  foreach(source ${ARGN})
    if(IS_ABSOLUTE ${source})
      set(path ${source})
    else()
      set(path ${CMAKE_CURRENT_SOURCE_DIR}/${source})
    endif()
    if(EXISTS ${path} OR source MATCHES "^\\$<")
      list(APPEND found ${source})
    elseif(DEFINED ENV{CI})
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}: missing source ${source}")
    else()
      message(WARNING "${CMAKE_CURRENT_SOURCE_DIR}: skipping missing source ${source}")
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# valmere_add_object(NAME SOURCES...) : one object library per folder, so a
# folder can be built and tested on its own while others are in progress.
function(valmere_add_object name)
  valmere_existing_sources(sources ${ARGN})
  add_library(${name} OBJECT ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC valmere_warnings)
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# valmere_add_test(NAME SOURCES... LIBS ...) : a GoogleTest executable
# registered with CTest.
function(valmere_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  valmere_existing_sources(T_SOURCES ${T_SOURCES})
  if(NOT T_SOURCES)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main valmere_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# valmere_aggregate(NAME PARTS...) : a static library made of the objects of
# the folder libraries that exist, carrying their usage requirements.
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
    target_link_libraries(${name} PUBLIC ${parts})
  else()
    add_library(${name} INTERFACE)
  endif()
  target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
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
