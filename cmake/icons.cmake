# Icons for a Qt without an SVG engine (the Windows build): the drawings in
# widgets/icons rendered to PNG at build time with rsvg-convert, which draws these
# SVGs exactly (ImageMagick's rasteriser softens the 16-pixel shapes), and
# the program icon as a Windows .ico.
#
# fountain_png_icons(<target> <svg folder>)
#   Adds to <target> a resource with every <name>.svg of the folder as
#   :/icons/<name>.png at its drawn size and :/icons/<name>@2x.png at double
#   size; QIcon picks the @2x picture on high-density screens by itself.
#
# fountain_windows_resources(<executable> <program icon svg>)
#   Adds to <executable> a Windows resource script with the program icon
#   (16, 32, 48 and 256 pixels), the version record and the manifest.
#   Sets FOUNTAIN_WINDOWS_ICO in the caller's scope to the .ico, for the installer.

find_program(FOUNTAIN_RSVG_CONVERT rsvg-convert REQUIRED)
# The functions run in the caller's scope; the repository is found from here.
get_filename_component(_fountain_icons_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set_property(GLOBAL PROPERTY FOUNTAIN_ICONS_ROOT ${_fountain_icons_root})

function(fountain_png_icons target svg_dir)
  file(GLOB svgs CONFIGURE_DEPENDS ${svg_dir}/*.svg)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/png-icons)
  set(pngs)
  foreach(svg IN LISTS svgs)
    get_filename_component(name ${svg} NAME_WE)
    set(png ${out_dir}/${name}.png)
    set(png2x ${out_dir}/${name}@2x.png)
    add_custom_command(
      OUTPUT ${png} ${png2x}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
      COMMAND ${FOUNTAIN_RSVG_CONVERT} --zoom=1 --output=${png} ${svg}
      COMMAND ${FOUNTAIN_RSVG_CONVERT} --zoom=2 --output=${png2x} ${svg}
      DEPENDS ${svg}
      COMMENT "Rendering ${name}.svg"
      VERBATIM)
    list(APPEND pngs ${png} ${png2x})
  endforeach()
  if(NOT pngs)
    message(FATAL_ERROR "no SVG icons in ${svg_dir}")
  endif()
  # A resource of a static library still registers itself when linked in.
  qt_add_resources(${target} png_icons PREFIX /icons BASE ${out_dir} FILES ${pngs})
endfunction()

function(fountain_windows_resources target icon_svg)
  find_program(FOUNTAIN_ICOTOOL icotool REQUIRED)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/windows-resources)
  set(ico ${out_dir}/${target}.ico)
  set(sizes 16 32 48 256)
  set(render)
  set(parts)
  foreach(size IN LISTS sizes)
    set(png ${out_dir}/${target}-${size}.png)
    list(APPEND render COMMAND ${FOUNTAIN_RSVG_CONVERT} --width=${size} --height=${size}
         --keep-aspect-ratio --output=${png} ${icon_svg})
    # Windows reads the 256-pixel picture as PNG; the small ones as bitmaps.
    if(size EQUAL 256)
      list(APPEND parts --raw=${png})
    else()
      list(APPEND parts ${png})
    endif()
  endforeach()
  add_custom_command(
    OUTPUT ${ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    ${render}
    COMMAND ${FOUNTAIN_ICOTOOL} --create --output=${ico} ${parts}
    DEPENDS ${icon_svg}
    COMMENT "Making ${target}.ico"
    VERBATIM)

  get_property(root GLOBAL PROPERTY FOUNTAIN_ICONS_ROOT)
  set(FOUNTAIN_ICO_FILE ${ico})
  set(FOUNTAIN_MANIFEST_FILE ${root}/packaging/windows/fountain-forms.manifest)
  set(FOUNTAIN_EXE_NAME ${target})
  set(rc ${out_dir}/${target}.rc)
  configure_file(${root}/packaging/windows/fountain-forms.rc.in ${rc} @ONLY)
  # windres does not see the files the script names.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${ico};${FOUNTAIN_MANIFEST_FILE}")
  target_sources(${target} PRIVATE ${rc})
  set(FOUNTAIN_WINDOWS_ICO ${ico} PARENT_SCOPE)
endfunction()
