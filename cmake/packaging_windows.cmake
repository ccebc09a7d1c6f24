# The Windows packages: an NSIS installer, fountain-forms-<version>-win64.exe,
# with a Start-menu entry and an uninstaller, and the same files as a
# portable ZIP. Include it in a Windows build after Qt is found and after the
# executable is installed with
#   install(TARGETS fountain-forms RUNTIME DESTINATION ${FOUNTAIN_WINDOWS_BINDIR})
# (bin by default); the other programs installed there come along by
# themselves. It adds what Windows has no package manager for: the Qt DLLs,
# the Qt plugins the program loads, and the compiler's runtime DLLs, all
# beside the executable, where Windows and Qt look first.
#
# Variables read:
#   FOUNTAIN_WINDOWS_BINDIR      folder of the executables in the package (default bin)
#   FOUNTAIN_WINDOWS_EXECUTABLE  the program of the Start-menu entry (default fountain-forms)
#   FOUNTAIN_WINDOWS_ICO         the program icon for the installer (optional)
#   FOUNTAIN_WINDOWS_QT_MODULES  Qt libraries to ship (default Core Gui Widgets OpenGL OpenGLWidgets)
include_guard(GLOBAL)
include(GNUInstallDirs)

if(NOT DEFINED FOUNTAIN_WINDOWS_BINDIR)
  set(FOUNTAIN_WINDOWS_BINDIR ${CMAKE_INSTALL_BINDIR})
endif()
if(NOT DEFINED FOUNTAIN_WINDOWS_EXECUTABLE)
  set(FOUNTAIN_WINDOWS_EXECUTABLE fountain-forms)
endif()
if(NOT DEFINED FOUNTAIN_WINDOWS_QT_MODULES)
  set(FOUNTAIN_WINDOWS_QT_MODULES Core Gui Widgets OpenGL OpenGLWidgets)
endif()

foreach(module IN LISTS FOUNTAIN_WINDOWS_QT_MODULES)
  install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION ${FOUNTAIN_WINDOWS_BINDIR})
endforeach()

# The platform plugin is the one Qt cannot start without; the style gives the
# native look. Pictures need no plugin: the icons are PNG, which QtGui reads itself.
find_package(Qt6 REQUIRED COMPONENTS Gui Widgets)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
        DESTINATION ${FOUNTAIN_WINDOWS_BINDIR}/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
        DESTINATION ${FOUNTAIN_WINDOWS_BINDIR}/styles)

# The compiler knows where its own runtime lives.
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(path "${path}" REALPATH)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${dll}")
  endif()
  install(FILES "${path}" DESTINATION ${FOUNTAIN_WINDOWS_BINDIR})
endforeach()

# Debian ships these DLLs with their symbols (libstdc++-6.dll alone is 23 MB,
# 2 MB without); they are stripped with the programs whenever the
# installation strips (install/strip, CPACK_STRIP_FILES).
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    file(GLOB_RECURSE dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${FOUNTAIN_WINDOWS_BINDIR}/*.dll\")
    foreach(dll IN LISTS dlls)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${dll}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")

# The copyright notice goes along as a file, as in the other packages. It
# grants no licence, so the installer has no licence page to agree to.
configure_file(${CMAKE_CURRENT_LIST_DIR}/../packaging/copyright
               ${CMAKE_CURRENT_BINARY_DIR}/windows-package/COPYRIGHT.txt COPYONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/windows-package/COPYRIGHT.txt DESTINATION .)

# The installer's pictures, drawn from the program icon on white: the side
# picture of the welcome and finish pages (164x314) and the header's (150x57).
find_program(FOUNTAIN_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(FOUNTAIN_IMAGEMAGICK convert REQUIRED)
set(_fountain_icon_svg ${CMAKE_CURRENT_LIST_DIR}/../packaging/icons/fountain-forms.svg)
set(_fountain_pictures ${CMAKE_CURRENT_BINARY_DIR}/windows-package)
foreach(picture "wizard 164x314 120 +22+50" "header 150x57 48 +96+5")
  separate_arguments(picture)
  list(GET picture 0 name)
  list(GET picture 1 canvas)
  list(GET picture 2 size)
  list(GET picture 3 place)
  set(bmp ${_fountain_pictures}/${name}.bmp)
  if(NOT EXISTS ${bmp} OR ${_fountain_icon_svg} IS_NEWER_THAN ${bmp})
    execute_process(
      COMMAND ${FOUNTAIN_RSVG_CONVERT} --width=${size} --height=${size} --keep-aspect-ratio
              --output=${_fountain_pictures}/${name}-icon.png ${_fountain_icon_svg}
      COMMAND_ERROR_IS_FATAL ANY)
    # BMP3: the uncompressed 24-bit bitmap the installer's pages can show.
    execute_process(
      COMMAND ${FOUNTAIN_IMAGEMAGICK} -size ${canvas} xc:white
              ${_fountain_pictures}/${name}-icon.png -geometry ${place} -composite
              -type TrueColor BMP3:${bmp}
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME fountain-forms)
set(CPACK_PACKAGE_VENDOR "fountain-forms project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and player for fountain choreography")
set(CPACK_PACKAGE_FILE_NAME fountain-forms-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY fountain-forms)
set(CPACK_STRIP_FILES ON)

# The installer is our own NSIS template (packaging/windows/NSIS.template.in):
# a 64-bit Unicode installer for a 64-bit program, in Russian or English as
# the system's interface is, that replaces an installed version wherever it
# is, and whose uninstaller leaves no folder or registry key behind.
list(PREPEND CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/../packaging/windows ${CMAKE_MODULE_PATH})
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# The program's own title (its window's), the name of its Start-menu entry
# and its entry under Apps.
set(CPACK_NSIS_PACKAGE_NAME "Редатор форм фонтанов")
set(CPACK_NSIS_INSTALLED_ICON_NAME ${FOUNTAIN_WINDOWS_BINDIR}\\\\${FOUNTAIN_WINDOWS_EXECUTABLE}.exe)
set(CPACK_NSIS_MUI_HEADERIMAGE ${_fountain_pictures}/header.bmp)
set(CPACK_NSIS_MUI_WELCOMEFINISHPAGE_BITMAP ${_fountain_pictures}/wizard.bmp)
if(FOUNTAIN_WINDOWS_ICO)
  set(CPACK_NSIS_MUI_ICON ${FOUNTAIN_WINDOWS_ICO})
  set(CPACK_NSIS_MUI_UNIICON ${FOUNTAIN_WINDOWS_ICO})
endif()
# The portable archive unpacks into one folder named like the package.
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
