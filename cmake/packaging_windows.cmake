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

# The copyright text as the installer's licence page; CPack's default would
# show CMake's own licence.
configure_file(${CMAKE_CURRENT_LIST_DIR}/../packaging/copyright
               ${CMAKE_CURRENT_BINARY_DIR}/windows-package/COPYRIGHT.txt COPYONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/windows-package/COPYRIGHT.txt DESTINATION .)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME fountain-forms)
set(CPACK_PACKAGE_VENDOR "fountain-forms project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and player for fountain choreography")
set(CPACK_PACKAGE_FILE_NAME fountain-forms-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY fountain-forms)
set(CPACK_PACKAGE_EXECUTABLES ${FOUNTAIN_WINDOWS_EXECUTABLE} fountain-forms)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/windows-package/COPYRIGHT.txt)
set(CPACK_STRIP_FILES ON)

# A 64-bit installer for a 64-bit program: its registry entries and folders
# land in the 64-bit views without redirection, and it runs where the program does.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME fountain-forms)
set(CPACK_NSIS_DISPLAY_NAME "fountain-forms ${PROJECT_VERSION}")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${FOUNTAIN_WINDOWS_BINDIR})
set(CPACK_NSIS_INSTALLED_ICON_NAME ${FOUNTAIN_WINDOWS_BINDIR}\\\\${FOUNTAIN_WINDOWS_EXECUTABLE}.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
if(FOUNTAIN_WINDOWS_ICO)
  set(CPACK_NSIS_MUI_ICON ${FOUNTAIN_WINDOWS_ICO})
  set(CPACK_NSIS_MUI_UNIICON ${FOUNTAIN_WINDOWS_ICO})
endif()
# The portable archive unpacks into one folder named like the package.
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
