# What `cmake --install` puts under the prefix:
#   include/valmere/...             the public headers and every project header
#                                   they include, in the source tree's layout
#   lib/libvalmere_{d3dx,platform}.a
#   lib/cmake/Valmere/              the package: find_package(Valmere CONFIG)
#                                   gives Valmere::d3dx and Valmere::platform
#   lib/pkgconfig/valmere.pc
# Every path is relative to the prefix, so the installed tree can be moved.
include(CMakePackageConfigHelpers)

set(VALMERE_PUBLIC_HEADERS
  platform/win32/Win32.h
  platform/d3d8/Direct3D8.h
  platform/dinput8/DirectInput8.h
  platform/host/Host.h
  platform/host/HeadlessHost.h
  math/D3DXMath.h
  texture/D3DXTexture.h
  texture/ValmereTexture.h
  text/D3DXText.h)
set(VALMERE_INSTALLED_LIBRARIES valmere_d3dx valmere_platform)
set(VALMERE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Valmere)

# The headers reachable from the public ones through #include "..." (a path
# beside the including header or from the project's root, as the compiler
# looks): the closure is taken at configure time, and a change to any of
# these headers configures again, so a new include is installed with its
# header.
function(valmere_header_closure out)
  set(pending ${ARGN})
  set(found)
  while(pending)
    list(POP_FRONT pending header)
    if(header IN_LIST found OR NOT EXISTS ${PROJECT_SOURCE_DIR}/${header})
      continue()
    endif()
    list(APPEND found ${header})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${header})
    file(STRINGS ${PROJECT_SOURCE_DIR}/${header} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
      cmake_path(GET header PARENT_PATH folder)
      cmake_path(APPEND folder ${included} OUTPUT_VARIABLE beside)
      cmake_path(NORMAL_PATH beside)
      if(EXISTS ${PROJECT_SOURCE_DIR}/${beside})
        list(APPEND pending ${beside})
      elseif(EXISTS ${PROJECT_SOURCE_DIR}/${included})
        list(APPEND pending ${included})
      else()
        message(FATAL_ERROR "${header} includes \"${included}\", which is not in the project")
      endif()
    endforeach()
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

valmere_header_closure(headers ${VALMERE_PUBLIC_HEADERS})
foreach(header IN LISTS headers)
  cmake_path(GET header PARENT_PATH folder)
  install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/valmere/${folder})
endforeach()

install(TARGETS ${VALMERE_INSTALLED_LIBRARIES} EXPORT ValmereTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT ValmereTargets NAMESPACE Valmere:: FILE ValmereExportedTargets.cmake
        DESTINATION ${VALMERE_PACKAGE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ValmereConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/ValmereConfig.cmake
                              INSTALL_DESTINATION ${VALMERE_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ValmereConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ValmereConfig.cmake ${PROJECT_BINARY_DIR}/ValmereConfigVersion.cmake
        DESTINATION ${VALMERE_PACKAGE_DIR})

# pkg-config: the prefix is found from the .pc file's own folder.
set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
cmake_path(RELATIVE_PATH CMAKE_INSTALL_PREFIX BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}/${pc_dir}
           OUTPUT_VARIABLE VALMERE_PC_PREFIX)
string(REGEX REPLACE "/$" "" VALMERE_PC_PREFIX "${VALMERE_PC_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/valmere.pc.in ${PROJECT_BINARY_DIR}/valmere.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/valmere.pc DESTINATION ${pc_dir})
