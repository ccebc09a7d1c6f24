# The layers refuse what they may not use: their include path starts with
# folders whose stand-ins for Qt's module headers stop the build, so a core
# file that includes a widget header (by any spelling) fails to compile.
set(FOUNTAIN_LAYER_DIR ${CMAKE_CURRENT_LIST_DIR}/layers)

# fountain_layer(<target> [NO_GUI] [NO_SERIAL])
function(fountain_layer target)
  cmake_parse_arguments(arg "NO_GUI;NO_SERIAL" "" "" ${ARGN})
  if(arg_NO_GUI)
    target_include_directories(${target} BEFORE PRIVATE ${FOUNTAIN_LAYER_DIR}/no-gui)
  endif()
  if(arg_NO_SERIAL)
    target_include_directories(${target} BEFORE PRIVATE ${FOUNTAIN_LAYER_DIR}/no-serial)
  endif()
endfunction()
