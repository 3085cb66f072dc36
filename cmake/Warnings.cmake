# quib_warnings: the warning flags of the project's own code, carried by one interface target
# rather than set for the whole directory tree, so code that is not ours (what Qt generates into
# the resource libraries of qt_add_resources) keeps its own.
add_library(quib_warnings INTERFACE)
target_compile_options(quib_warnings INTERFACE
  -Wall -Wextra -Wshadow -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor)
# g++ 12 at -O2 warns of an overlapping memcpy inside libstdc++ wherever a string literal is
# prepended to a std::string ("a" + s): a false alarm of that compiler's (fixed in 13), which
# would otherwise bury the optimised builds' real warnings (GCC bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(quib_warnings INTERFACE $<$<NOT:$<CONFIG:Debug>>:-Wno-restrict>)
endif()

# quib_link_warnings(): links quib_warnings into every target that compiles the project's code,
# in the source folder and all below it, so a target added anywhere gets the flags without a line
# of its own. Object libraries are left out: the only ones are the resource libraries Qt makes.
# Call it once, after every target is defined.
function(quib_link_warnings)
  _quib_link_warnings_in(${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

function(_quib_link_warnings_in dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY)$")
      target_link_libraries(${target} PRIVATE quib_warnings)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    _quib_link_warnings_in(${subdir})
  endforeach()
endfunction()
