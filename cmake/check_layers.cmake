# Fails when a layer of the program includes a header of a layer above it. Run in script mode:
#   cmake -DTOLVANE_ROOT=<source folder> -P check_layers.cmake
# The layers, each with what it may include (itself and what lies below it):
#   base <- engine <- catalog <- ops <- ui <- app, and shell on base.
# Every quoted include of a file in a layer folder is read; "x/..." names layer x, and a bare
# "resource.h" names res/ (the resource ids, for the windows only).
if(NOT TOLVANE_ROOT)
  message(FATAL_ERROR "check_layers.cmake: TOLVANE_ROOT is not set")
endif()

set(allowed_base base)
set(allowed_engine base engine)
set(allowed_catalog base engine catalog)
set(allowed_ops base engine catalog ops)
set(allowed_ui base engine catalog ops ui res)
set(allowed_shell base shell)
set(allowed_app base engine catalog ops ui shell app res)
set(layers base engine catalog ops ui shell app)
# Folders that are no layer: what a layer names with one of them is reported as well.
set(known_folders ${layers} res)

set(violations "")
foreach(layer ${layers})
  file(GLOB_RECURSE files LIST_DIRECTORIES false "${TOLVANE_ROOT}/${layer}/*.h" "${TOLVANE_ROOT}/${layer}/*.cpp")
  foreach(file ${files})
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
      if(header STREQUAL "resource.h")
        set(target res)
      elseif(header MATCHES "^([^/]+)/")
        set(target "${CMAKE_MATCH_1}")
      else()
        continue()  # a file beside the including one
      endif()
      list(FIND known_folders "${target}" known)
      list(FIND allowed_${layer} "${target}" found)
      if(known EQUAL -1 OR found EQUAL -1)
        file(RELATIVE_PATH relative "${TOLVANE_ROOT}" "${file}")
        string(REPLACE ";" ", " may "${allowed_${layer}}")
        string(APPEND violations "\n  ${relative}: includes \"${header}\"; ${layer}/ may include only ${may}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "A layer includes a layer above it (or a folder that is no layer):${violations}")
endif()
