# Debian packages made by CPack (cpack -G DEB in the build folder), split as
# Debian splits a library and its users:
#   vexamark         the programs and their manual pages
#   libvexamark0     the engine library
#   libvexamark-dev  headers, the CMake package and vexamark.pc
#   vexamark-data    the content set (share/vexamark)
# Dependencies on other Debian packages come from dpkg-shlibdeps. Install
# rules name their component; whatever names none (build-time tools) is not
# packaged.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexamark)
set(CPACK_PACKAGE_VENDOR "Vexamark developers")
set(CPACK_PACKAGE_CONTACT "Vexamark developers <developers@vexamark.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs library development data)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own library, for dpkg-shlibdeps of the programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/engine)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vexamark.org")

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME vexamark)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS "libvexamark0 (= ${PROJECT_VERSION}), vexamark-data (= ${PROJECT_VERSION})")
# The desktop viewer draws through Qt's X11 platform plugin, which no
# library dependency names.
if(TARGET VexamarkMFC)
  string(APPEND CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS ", qt6-qpa-plugins")
endif()
# Each description's first line is its package's synopsis.
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION "marker-based augmented-reality viewer
A camera looks at printed cards with square black-bordered markers; every
frame the viewer finds the markers, estimates each pose and draws 3D content
on them: shaded models, animated characters, particles, video planes and
positional sound. This package holds the desktop viewer (VexamarkMFC, with
its menu entry), the console viewer and the tools to make markers, footage
and camera calibrations.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libvexamark0)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The dynamic linker's cache is refreshed by dpkg's ldconfig trigger.
file(WRITE ${CMAKE_BINARY_DIR}/debian/library/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/library/triggers)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION "engine library of the Vexamark augmented-reality viewer
The engine tracks square markers in the camera picture and draws the content
of a content set on them. Programs of the vexamark package use it.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libvexamark-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "libvexamark0 (= ${PROJECT_VERSION}), libopenscenegraph-dev, libopenthreads-dev, libgl-dev")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "development files of the Vexamark engine library
Headers, the CMake package (find_package(Vexamark)) and the pkg-config file
for programs that host the Vexamark engine.")

set(CPACK_DEBIAN_DATA_PACKAGE_NAME vexamark-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DATA_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_DATA_DESCRIPTION "content set of the Vexamark augmented-reality viewer
The bundled content set: demo markers and their patterns, models, shaders,
the demo footage and the engine's default settings.")

# Programs keep no search path of their own in packages: the library is in
# the system's library folder.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian/DropRunPaths.cmake)

# Each package's copyright and changelog, where Debian keeps them.
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog)
add_custom_target(debian-changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
foreach(component programs library development data)
  string(TOUPPER ${component} _upper)
  set(_package ${CPACK_DEBIAN_${_upper}_PACKAGE_NAME})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_package} COMPONENT ${component})
endforeach()

include(CPack)
