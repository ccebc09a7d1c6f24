# The layers, bottom up. A file's layer is the folder it stands in, and each
# folder's library sees the project headers of its own folder and of the
# folders below it only: its include root holds links to exactly those
# folders, and the source root itself is on no product include path. So a
# core file that includes a link or widget header does not compile, nor does
# a panel that includes another subsystem's panel. Qt's own module headers are
# fenced the same way: a layer's include path starts with folders whose
# stand-ins for QtWidgets, QtGui or QtSerialPort stop the build. The widgets
# fence and the GUI fence are apart: the tools draw pictures with QtGui (the
# sheet) and still may not make a widget.
set(FOUNTAIN_LAYER_DIR ${CMAKE_CURRENT_LIST_DIR}/layers)

set(FOUNTAIN_FOLDERS core link widgets editor player sim about app tools)
# What each folder sees, and which of Qt's modules it is fenced from.
set(FOUNTAIN_SEES_core core)
set(FOUNTAIN_SEES_link core link)
set(FOUNTAIN_SEES_widgets core link widgets)
set(FOUNTAIN_SEES_editor core link widgets editor)
set(FOUNTAIN_SEES_player core link widgets player)
set(FOUNTAIN_SEES_sim core link widgets sim)
set(FOUNTAIN_SEES_about core link widgets about)
set(FOUNTAIN_SEES_app core link widgets editor player sim about app)
set(FOUNTAIN_SEES_tools core link tools)
set(FOUNTAIN_FENCES_core qtwidgets gui serial)
set(FOUNTAIN_FENCES_link qtwidgets gui)
set(FOUNTAIN_FENCES_tools qtwidgets)
foreach(folder widgets editor player sim about app)
  set(FOUNTAIN_FENCES_${folder} serial)
endforeach()
# What a probe includes: a header of each folder, a header of each fenced module.
set(FOUNTAIN_PROBE_core core/errors.h)
set(FOUNTAIN_PROBE_link link/com_port.h)
set(FOUNTAIN_PROBE_widgets widgets/guard.h)
set(FOUNTAIN_PROBE_editor editor/valve_panel.h)
set(FOUNTAIN_PROBE_player player/gauge.h)
set(FOUNTAIN_PROBE_sim sim/window_gl_form.h)
set(FOUNTAIN_PROBE_about about/about_form.h)
set(FOUNTAIN_PROBE_app app/main_window.h)
set(FOUNTAIN_PROBE_tools tools/frm/cli_io.h)
set(FOUNTAIN_PROBE_qtwidgets QtWidgets/QWidget)
set(FOUNTAIN_PROBE_gui QtGui/QImage)
set(FOUNTAIN_PROBE_serial QtSerialPort/QSerialPort)

# The include root of a layer: a folder of links to the folders it sees.
function(fountain_include_root layer out)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${layer})
  file(MAKE_DIRECTORY ${root})
  foreach(folder ${FOUNTAIN_SEES_${layer}})
    if(NOT IS_SYMLINK ${root}/${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# fountain_layer(<target> <folder>): the target's files are of that folder's layer.
function(fountain_layer target layer)
  if(NOT layer IN_LIST FOUNTAIN_FOLDERS)
    message(FATAL_ERROR "${target}: no layer ${layer}")
  endif()
  fountain_include_root(${layer} root)
  target_include_directories(${target} PRIVATE ${root})
  foreach(fence ${FOUNTAIN_FENCES_${layer}})
    target_include_directories(${target} BEFORE PRIVATE ${FOUNTAIN_LAYER_DIR}/no-${fence})
  endforeach()
endfunction()

# One probe per forbidden pair: a file of a layer that includes a header of a
# folder above or beside it, or of a Qt module it is fenced from. The target
# layer_probes builds them all; the layers test runs it and expects each to
# stop at its include; layer-probes/expected.cmake lists what each must say.
function(fountain_layer_probes)
  set(dir ${CMAKE_BINARY_DIR}/layer-probes)
  set(errors "")
  add_custom_target(layer_probes)
  foreach(layer ${FOUNTAIN_FOLDERS})
    set(forbidden ${FOUNTAIN_FENCES_${layer}})
    foreach(folder ${FOUNTAIN_FOLDERS})
      if(NOT folder IN_LIST FOUNTAIN_SEES_${layer})
        list(APPEND forbidden ${folder})
      endif()
    endforeach()
    set(sources "")
    foreach(other ${forbidden})
      # Where Qt has no serial port module (Windows) nothing can include it.
      if(other STREQUAL "serial" AND NOT TARGET Qt6::SerialPort)
        continue()
      endif()
      set(header ${FOUNTAIN_PROBE_${other}})
      set(source ${dir}/${layer}_includes_${other}.cpp)
      if(other MATCHES "^(qtwidgets|gui|serial)$")
        set(line "#include <${header}>")
        list(APPEND errors "${layer}_includes_${other}.cpp:this layer may not include Qt's")
      else()
        set(line "#include \"${header}\"")
        list(APPEND errors "${layer}_includes_${other}.cpp:${header}")
      endif()
      file(CONFIGURE OUTPUT ${source} CONTENT "// Must not build: ${layer} may not use ${other}.\n${line}\n")
      list(APPEND sources ${source})
    endforeach()
    add_library(probe_${layer} OBJECT EXCLUDE_FROM_ALL ${sources})
    # Linked to every fenced module, so that only the fence can stop an include.
    target_link_libraries(probe_${layer} PRIVATE Qt6::Core Qt6::Widgets)
    if(TARGET Qt6::SerialPort)
      target_link_libraries(probe_${layer} PRIVATE Qt6::SerialPort)
    endif()
    fountain_layer(probe_${layer} ${layer})
    add_dependencies(layer_probes probe_${layer})
  endforeach()
  file(CONFIGURE OUTPUT ${dir}/expected.cmake CONTENT "set(ERRORS \"${errors}\")\n")
endfunction()

# fountain_check_headers(<library>): with FOUNTAIN_CHECK_HEADERS, every header
# of the library is also compiled on its own, in the library's layer, so that
# a header that leans on what its includer (or a precompiled header) brought
# in fails to build.
function(fountain_check_headers library layer)
  if(NOT FOUNTAIN_CHECK_HEADERS)
    return()
  endif()
  get_target_property(sources ${library} SOURCES)
  get_target_property(dir ${library} SOURCE_DIR)
  set(checks "")
  foreach(source ${sources})
    if(source MATCHES "\\.h$")
      # As the project includes it: from the source root.
      file(RELATIVE_PATH header ${PROJECT_SOURCE_DIR} ${dir}/${source})
      string(REPLACE "/" "_" name ${header})
      set(check ${CMAKE_BINARY_DIR}/header-checks/${name}.cpp)
      file(CONFIGURE OUTPUT ${check} CONTENT "#include \"${header}\"\n")
      list(APPEND checks ${check})
    endif()
  endforeach()
  if(checks)
    add_library(${library}_headers OBJECT ${checks})
    target_link_libraries(${library}_headers PRIVATE ${library})
    set_target_properties(${library}_headers PROPERTIES AUTOMOC OFF DISABLE_PRECOMPILE_HEADERS ON)
    fountain_layer(${library}_headers ${layer})
  endif()
endfunction()
