# Each layer of the library is one static (or header-only) target with two
# header roots:
#   include/   its public headers, named in a HEADERS file set: what a program
#              includes, and all that is installed;
#   internal/  headers the layers above it use and a program does not, reached
#              through <target>_internal, which exists in the build tree only.
# A layer links the internals of the layers below it with
#   target_link_libraries(<layer> PRIVATE $<BUILD_INTERFACE:vantrel_x_internal>)
function(vantrel_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "EXPORT_NAME" "SOURCES;PUBLIC_HEADERS")
  if(arg_SOURCES)
    add_library(${target} STATIC ${arg_SOURCES})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_sources(${target} ${scope} FILE_SET HEADERS BASE_DIRS include FILES ${arg_PUBLIC_HEADERS})
  target_compile_features(${target} ${scope} cxx_std_20)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${arg_EXPORT_NAME})

  add_library(${target}_internal INTERFACE)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/internal)
    target_include_directories(${target}_internal INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/internal)
    if(arg_SOURCES)
      target_include_directories(${target} PRIVATE internal)
    endif()
  endif()
  target_link_libraries(${target}_internal INTERFACE ${target})
endfunction()
