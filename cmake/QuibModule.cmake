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

set(_quib_module_map ${CMAKE_CURRENT_LIST_DIR}/module.map)
set(_quib_module_exports ${CMAKE_CURRENT_LIST_DIR}/ModuleExports.cmake)

# The module conventions for a library target made elsewhere (the host's default modules may be
# defined with add_library directly).
function(quib_module_properties name)
  set(no_install ${ARGN})
  get_target_property(dir ${name} LIBRARY_OUTPUT_DIRECTORY)
  if(NOT dir)
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/modules)
  endif()
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    INSTALL_RPATH "$ORIGIN/.."
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  # Hidden visibility covers the module's own sources; the version script also keeps what the
  # static libraries it links (and the templates they instantiate) define from being exported.
  target_link_options(${name} PRIVATE "LINKER:--version-script=${_quib_module_map}")
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${_quib_module_map})
  if(NOT no_install)
    install(TARGETS ${name} LIBRARY DESTINATION ${QUIB_INSTALL_MODULEDIR})
    set_property(GLOBAL APPEND PROPERTY QUIB_MODULES ${name})
  endif()
endfunction()

# quib_add_module_exports_test(NAME MODULE): a test that MODULE exports LoadModule and nothing else.
function(quib_add_module_exports_test name module)
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:${module}> -P ${_quib_module_exports})
endfunction()
