# The layers are kept by the build: every source's project includes are
# checked against KELVANE_LAYERS, and an include that reaches a folder above
# its own (or a program's folder from another) fails the build, naming the
# file and line.
#
# Included from the top-level CMakeLists, it adds the target `layers`, built
# with everything; the target runs this file as a script (cmake -P).

cmake_policy(SET CMP0057 NEW)  # IN_LIST in script mode

if(NOT CMAKE_SCRIPT_MODE_FILE)
  set(folders "")
  foreach(layer IN LISTS KELVANE_LAYERS)
    string(REGEX REPLACE ":.*" "" folder "${layer}")
    list(APPEND folders "${folder}")
  endforeach()
  set(sources "")
  foreach(folder IN LISTS folders)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${folder}/*.h" "${PROJECT_SOURCE_DIR}/${folder}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  string(REPLACE ";" "|" layers_arg "${KELVANE_LAYERS}")
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/layers.checked")
  add_custom_command(
    OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} "-DTOP=${PROJECT_SOURCE_DIR}" "-DLAYERS=${layers_arg}" -P "${CMAKE_CURRENT_LIST_FILE}"
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${sources} "${CMAKE_CURRENT_LIST_FILE}"
    COMMENT "Checking that every include keeps to the layers"
    VERBATIM)
  add_custom_target(layers ALL DEPENDS "${stamp}")
  return()
endif()

string(REPLACE "|" ";" layers "${LAYERS}")
set(failures "")
foreach(layer IN LISTS layers)
  string(REGEX REPLACE ":.*" "" folder "${layer}")
  string(REGEX REPLACE "^[^:]*:" "" below "${layer}")
  string(REPLACE " " ";" allowed "${below}")
  list(APPEND allowed "${folder}")
  file(GLOB_RECURSE files "${TOP}/${folder}/*.h" "${TOP}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*" "\\1" target "${line}")
      if(NOT target IN_LIST allowed)
        file(RELATIVE_PATH shown "${TOP}" "${file}")
        list(APPEND failures "  ${shown}: ${line}  (${folder}/ may include from: ${below})")
      endif()
    endforeach()
  endforeach()
endforeach()
if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Includes that run against the layers:\n${text}")
endif()
