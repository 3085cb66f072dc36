# quib_add_module(NAME SOURCES... [LIBS libs...] [OUTPUT_DIRECTORY dir] [NO_INSTALL])
# A module library the host loads at run time: NAME.so with no "lib" prefix, written to
# ${CMAKE_BINARY_DIR}/modules (or OUTPUT_DIRECTORY), linked against the framework package and
# installed where the installed host looks for modules.
function(quib_add_module name)
  cmake_parse_arguments(ARG "NO_INSTALL" "OUTPUT_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE quib_framework ${ARG_LIBS})
  if(ARG_OUTPUT_DIRECTORY)
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY})
  endif()
  quib_module_properties(${name} ${ARG_NO_INSTALL})
endfunction()

# The module conventions for a library target made elsewhere (the host's default modules may be
# defined with add_library directly).
function(quib_module_properties name)
  set(no_install ${ARGN})
  get_target_property(dir ${name} LIBRARY_OUTPUT_DIRECTORY)
  if(NOT dir)
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/modules)
  endif()
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    INSTALL_RPATH "$ORIGIN/..")
  if(NOT no_install)
    install(TARGETS ${name} LIBRARY DESTINATION ${QUIB_INSTALL_MODULEDIR})
    set_property(GLOBAL APPEND PROPERTY QUIB_MODULES ${name})
  endif()
endfunction()
