# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it:
#   bin/kolbax
#   share/kolbax/                       the data files (read-only; see src/app/locations.h)
#   share/applications/<id>.desktop
#   share/icons/hicolor/scalable/apps/kolbax.svg
#   share/metainfo/<id>.metainfo.xml
include(GNUInstallDirs)

# The component id of the desktop entry and the metainfo, and the project's address. The
# address is a placeholder until the project has a public home; change all three together.
set(KOLBAX_APP_ID "org.example.kolbax")
set(KOLBAX_PROJECT_URL "https://kolbax.example.org/")
set(KOLBAX_SCREENSHOT_URL "${KOLBAX_PROJECT_URL}docs/main_window.png")

set(kolbax_share ${CMAKE_INSTALL_DATADIR})
install(TARGETS kolbax RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${kolbax_share}/kolbax)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kolbax.desktop
        DESTINATION ${kolbax_share}/applications RENAME ${KOLBAX_APP_ID}.desktop)
install(FILES ${PROJECT_SOURCE_DIR}/src/app/icons/kolbax.svg
        DESTINATION ${kolbax_share}/icons/hicolor/scalable/apps)
configure_file(${PROJECT_SOURCE_DIR}/packaging/kolbax.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${KOLBAX_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${KOLBAX_APP_ID}.metainfo.xml
        DESTINATION ${kolbax_share}/metainfo)

# The Debian package. Qt's libraries come from the binary's own links (dpkg-shlibdeps);
# the X11 platform plugin and the SVG icon engine are loaded at run time, so their
# packages are named by hand. TeX Live runs the compile, view and print commands the user
# configures, Qt's Russian catalog translates its dialogs, and the spell checker reads the
# Russian dictionary: wanted, not required (without it, nothing is checked).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kolbax)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The KolBAX developers")
set(CPACK_PACKAGE_CONTACT "The KolBAX developers <kolbax@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for TeX sources written in Russian")
# The long description keeps these line breaks: Debian shows it as given.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "KolBAX edits TeX documents written in Russian, stored in CP866. Russian prose"
  "and Latin TeX markup are shown in different fonts, and the Smart Keyboard"
  "switches the keyboard layout by itself while you type.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION tex)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KOLBAX_PROJECT_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins")
# The fonts give a UTF-8 document's CJK characters and emoji a shape to fall back to; the
# extra LaTeX packages, pictures and science are what a typical Russian thesis loads.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "texlive-latex-base, texlive-lang-cyrillic, texlive-latex-extra, texlive-pictures, texlive-science, latexmk, qt6-translations-l10n, fonts-dejavu-core, fonts-wqy-microhei | fonts-noto-cjk, fonts-symbola | fonts-noto-color-emoji, hunspell-ru")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
