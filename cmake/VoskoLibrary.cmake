# The libraries a user of the shared code builds on: one per subsystem,
# shared objects with the major version in their soname when VOSKO_SHARED is
# on (static archives otherwise), installed with their headers under
# include/vosko/<folder>/ and exported as Vosko::<folder>.
include(CMakePackageConfigHelpers)

if(VOSKO_SHARED)
  set(VOSKO_LIBRARY_TYPE SHARED)
  set(VOSKO_FLAVOUR shared)
else()
  set(VOSKO_LIBRARY_TYPE STATIC)
  set(VOSKO_FLAVOUR static)
endif()
set(VOSKO_CMAKE_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vosko)

# vosko_library(<folder> SOURCES <files...> [PRIVATE_HEADERS <headers...>])
# adds vosko_<folder> from the current source directory. Every header of the
# folder is installed but the private ones: those the installed headers do
# not include and no user of the library calls.
function(vosko_library folder)
  cmake_parse_arguments(arg "" "" "SOURCES;PRIVATE_HEADERS" ${ARGN})
  set(target vosko_${folder})
  add_library(${target} ${VOSKO_LIBRARY_TYPE} ${arg_SOURCES})
  add_library(Vosko::${folder} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${folder}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    POSITION_INDEPENDENT_CODE ON)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vosko>)
  install(TARGETS ${target} EXPORT VoskoTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)

  file(GLOB headers RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(arg_PRIVATE_HEADERS)
    list(REMOVE_ITEM headers ${arg_PRIVATE_HEADERS})
  endif()
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vosko/${folder} COMPONENT dev)
  # The API reference and the packages take these lists.
  list(TRANSFORM headers PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  set_property(GLOBAL APPEND PROPERTY VOSKO_INSTALLED_HEADERS ${headers})
  set_property(GLOBAL APPEND PROPERTY VOSKO_LIBRARIES ${target})
endfunction()

# The CMake package and the pkg-config file, once every library is known.
function(vosko_install_package)
  set(version_file ${PROJECT_BINARY_DIR}/VoskoConfigVersion.cmake)
  write_basic_package_version_file(${version_file} COMPATIBILITY SameMajorVersion)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VoskoConfig.cmake.in
    ${PROJECT_BINARY_DIR}/VoskoConfig.cmake INSTALL_DESTINATION ${VOSKO_CMAKE_DESTINATION})
  # A shared and a static build can be installed into one prefix; each
  # brings its own targets file and the package picks one.
  install(EXPORT VoskoTargets NAMESPACE Vosko:: FILE VoskoTargets-${VOSKO_FLAVOUR}.cmake
    DESTINATION ${VOSKO_CMAKE_DESTINATION} COMPONENT dev)
  install(FILES ${PROJECT_BINARY_DIR}/VoskoConfig.cmake ${version_file}
    DESTINATION ${VOSKO_CMAKE_DESTINATION} COMPONENT dev)

  if(VOSKO_SHARED)
    set(VOSKO_PC_LIBS_PRIVATE "")
  else()
    # A static library brings its own dependencies along to the link.
    set(VOSKO_PC_LIBS_PRIVATE "-lexpat -pthread")
  endif()
  # The file finds the prefix from where it lies, so an installation moved
  # or made with "cmake --install --prefix" still names its own files.
  file(RELATIVE_PATH VOSKO_PC_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
  string(REGEX REPLACE "/$" "" VOSKO_PC_PREFIX "${VOSKO_PC_PREFIX}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/vosko.pc.in ${PROJECT_BINARY_DIR}/vosko.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/vosko.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
endfunction()
