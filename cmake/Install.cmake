# Installation: the shared libraries with their SONAME links, the public headers, a CMake package
# per library (find_package(formstore) gives formstore::formstore, find_package(docstore) gives
# docstore::docstore) and a pkg-config file per library.
#
# Both storage libraries import libsitepaths.so, so it is installed and exported as a package of its
# own (sitepaths::sitepaths); the storage packages load it first, so that a consumer links and runs
# without knowing of it. The character-check plug-in is installed beside libsitepaths.so, where the
# directory service looks for it by default.

include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

set(QSTORE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake)

# Include directories that point into the source or build tree are only for targets of this build;
# an exported target must not carry them. Plain entries become build-only, and targets that callers
# compile against get the installed include directory.
function(qstore_exportable_includes target with_install_headers)
  get_target_property(dirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
  if(NOT dirs)
    set(dirs "")
  endif()
  set(fixed "")
  foreach(dir IN LISTS dirs)
    if(dir MATCHES "^\\$<")
      list(APPEND fixed "${dir}")
    else()
      list(APPEND fixed "$<BUILD_INTERFACE:${dir}>")
    endif()
  endforeach()
  if(with_install_headers)
    set(install_dir "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")
    if(NOT install_dir IN_LIST fixed)
      list(APPEND fixed "${install_dir}")
    endif()
  endif()
  set_property(TARGET ${target} PROPERTY INTERFACE_INCLUDE_DIRECTORIES "${fixed}")
endfunction()

# Writes <name>Config.cmake and <name>ConfigVersion.cmake and installs them with the export set
# <name>Targets under the namespace <name>::. The config file loads the packages named in DEPENDS
# from their sibling directories first, so the installed tree is found as a whole.
function(qstore_install_package name)
  cmake_parse_arguments(PKG "" "" "DEPENDS" ${ARGN})
  set(dir ${QSTORE_INSTALL_CMAKEDIR}/${name})
  install(EXPORT ${name}Targets NAMESPACE ${name}:: DESTINATION ${dir})

  set(QSTORE_PACKAGE_NAME ${name})
  set(QSTORE_PACKAGE_DEPENDENCIES "")
  foreach(dep IN LISTS PKG_DEPENDS)
    string(APPEND QSTORE_PACKAGE_DEPENDENCIES
      "if(NOT TARGET ${dep}::${dep})\n"
      "  include(\"\${CMAKE_CURRENT_LIST_DIR}/../${dep}/${dep}Targets.cmake\")\n"
      "endif()\n")
  endforeach()
  set(generated ${PROJECT_BINARY_DIR}/package/${name})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/PackageConfig.cmake.in ${generated}/${name}Config.cmake
    @ONLY)
  write_basic_package_version_file(${generated}/${name}ConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${generated}/${name}Config.cmake ${generated}/${name}ConfigVersion.cmake
    DESTINATION ${dir})
endfunction()

# Writes and installs <name>.pc. Its prefix is taken relative to the file's own directory, so the
# installed tree may be moved or installed with --prefix / DESTDIR.
function(qstore_install_pkgconfig name description)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    set(QSTORE_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
    set(QSTORE_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
    set(QSTORE_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
  else()
    file(RELATIVE_PATH up /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
    string(REGEX REPLACE "/$" "" up "${up}")
    set(QSTORE_PC_PREFIX "\${pcfiledir}/${up}")
    set(QSTORE_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
    set(QSTORE_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
  endif()
  set(QSTORE_PC_NAME ${name})
  set(QSTORE_PC_DESCRIPTION "${description}")
  set(generated ${PROJECT_BINARY_DIR}/package/pkgconfig/${name}.pc)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/package.pc.in ${generated} @ONLY)
  install(FILES ${generated} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# The directory service.
qstore_exportable_includes(sitepaths FALSE)
install(TARGETS sitepaths EXPORT sitepathsTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
qstore_install_package(sitepaths)

# The form library. It finds libsitepaths.so beside itself wherever the tree is installed.
qstore_exportable_includes(formstore TRUE)
set_property(TARGET formstore APPEND PROPERTY INSTALL_RPATH "$ORIGIN")
install(TARGETS formstore EXPORT formstoreTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/qstore_records.h ${PROJECT_SOURCE_DIR}/include/formstore.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
qstore_install_package(formstore DEPENDS sitepaths)
qstore_install_pkgconfig(formstore "Paged forms with ruled tables and input fields")

# The document library.
if(TARGET docstore)
  qstore_exportable_includes(docstore TRUE)
  set_property(TARGET docstore APPEND PROPERTY INSTALL_RPATH "$ORIGIN")
  install(TARGETS docstore EXPORT docstoreTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/include/docstore.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  qstore_install_package(docstore DEPENDS sitepaths)
  qstore_install_pkgconfig(docstore "Paged documents with ruled tables, kept in a work file")
endif()

# The character-check plug-in: loaded at run time, never linked, so it has no package.
if(TARGET chargate)
  install(TARGETS chargate
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The master tables of the character check go to the shared settings directory, share/qstore/.
  # A configuration file for the directory service beside them names that directory, so a program
  # run with SITEPATHS_CONFIG=<prefix>/share/qstore/sitepaths.ini finds them; it is written at
  # install time, when the final prefix is known.
  set(QSTORE_SETTINGS_DIR ${CMAKE_INSTALL_DATADIR}/qstore)
  install(FILES ${QSTORE_CHECK_TABLES} DESTINATION ${QSTORE_SETTINGS_DIR})
  install(CODE "
    set(settings_dir \"${QSTORE_SETTINGS_DIR}\")
    if(NOT IS_ABSOLUTE \"\${settings_dir}\")
      set(settings_dir \"\${CMAKE_INSTALL_PREFIX}/\${settings_dir}\")
    endif()
    message(STATUS \"Installing: \$ENV{DESTDIR}\${settings_dir}/sitepaths.ini\")
    file(WRITE \"\$ENV{DESTDIR}\${settings_dir}/sitepaths.ini\"
      \"[sitepaths]\\nSharedDir=\${settings_dir}/\\n\")
  ")
endif()
