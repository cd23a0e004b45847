# The example programs go with the headers, for whoever builds on the
# library: their sources, their CMake project and their debug.properties.
install(FILES
  ${CMAKE_CURRENT_LIST_DIR}/CMakeLists.txt
  ${CMAKE_CURRENT_LIST_DIR}/README.md
  ${CMAKE_CURRENT_LIST_DIR}/debug.properties
  ${CMAKE_CURRENT_LIST_DIR}/list_collection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report_error.cpp
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT dev)
