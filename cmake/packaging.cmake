# Install rules and the Debian package. Dependencies are computed from the
# binaries by dpkg-shlibdeps, not written by hand.
include(GNUInstallDirs)

# Manual pages are installed compressed, as Debian wants them.
function(fountain_man_page name)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.1.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/packaging/man/${name}.1 > ${out}
    DEPENDS packaging/man/${name}.1
    VERBATIM)
  add_custom_target(man-${name} ALL DEPENDS ${out})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

install(TARGETS fountain-forms RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${changelog}
  COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog > ${changelog}
  DEPENDS packaging/changelog
  VERBATIM)
add_custom_target(package-changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
fountain_man_page(fountain-forms)
if(TARGET fountain-frame-monitor)
  install(TARGETS fountain-frame-monitor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  fountain_man_page(fountain-frame-monitor)
endif()
if(TARGET fountain-frm)
  install(TARGETS fountain-frm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  fountain_man_page(fountain-frm)
endif()
install(FILES packaging/fountain-forms.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/fountain-forms.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/icons/fountain-forms.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
install(FILES packaging/icons/fountain-forms.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fountain-forms)
set(CPACK_PACKAGE_VENDOR "fountain-forms project")
set(CPACK_PACKAGE_CONTACT "fountain-forms maintainers <maintainers@fountain-forms.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and player for fountain choreography")
set(CPACK_PACKAGE_DESCRIPTION
    "Builds programmes of up to 100 fountain forms (eight jet heights, a name\n\
and a hold time), saves them as 8192-byte form files, plays them on screen\n\
with live jet gauges, sends them to the fountain controller over a serial\n\
line and shows an animated OpenGL fountain. Includes a monitor that decodes\n\
uploads arriving on a serial line.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The platform and GL drawing are loaded as plugins, which dpkg-shlibdeps cannot
# see; the About dialog's texts are laid out for a condensed font when no
# narrower one is there; Qt's own dialogs speak Russian with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-qpa-plugins, libgl1-mesa-dri, fonts-dejavu-extra, qt6-translations-l10n")
# fountain-frm's sheet draws its text in DejaVu Sans, Cyrillic included.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
