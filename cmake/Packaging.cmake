# Desktop integration and the Debian package. `cmake --install` lays out:
#   bin/ormena, bin/ormena-start (prepares ~/Ormena on first run and starts the program there)
#   share/ormena/help/        the user guide the program shows on F1
#   share/ormena/demo/        OrmenaDemo.mdb and Shablon/ with the sample templates
#   share/applications/ormena.desktop, share/icons/hicolor/.../ormena.{svg,png}
# and `cpack -G DEB` turns that into the package "ormena" for Debian 12.

set(ORMENA_SHARE_DIR "${CMAKE_INSTALL_DATADIR}/ormena")

# The window icon the program sets at start (":/icons/ormena.png").
target_sources(ormena PRIVATE "${PROJECT_SOURCE_DIR}/packaging/ormena.qrc")

install(PROGRAMS "${PROJECT_SOURCE_DIR}/packaging/ormena-start" DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/help/" DESTINATION "${ORMENA_SHARE_DIR}/help")
# Made by the ormena-demo target of tools/ (part of the default build).
install(DIRECTORY "${PROJECT_BINARY_DIR}/demo/" DESTINATION "${ORMENA_SHARE_DIR}/demo")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/ormena.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/ormena.svg"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/ormena.png"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "ormena")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Ormena")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Fills in office document templates from a dictionary of fields")
set(CPACK_PACKAGE_DESCRIPTION
  "Ormena keeps word-processor templates, a dictionary of named fields and, for every template, "
  "any number of filled-in documents. On request it copies a template, replaces every &FIELD marker "
  "with the document's values in LibreOffice Writer and shows the result. The interface is in Russian. "
  "The package brings a demonstration database with sample templates and a user guide.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ormena developers <ormena@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION "editors")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Debian 12's runtime packages: Qt 6.4, SQLite 3, the UNO runtime the word
# processor client links against, and LibreOffice Writer that it drives.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), "
  "libqt6printsupport6 (>= 6.4), libqt6network6 (>= 6.4), libsqlite3-0 (>= 3.40), "
  "libuno-sal3, libuno-cppu3, libuno-cppuhelpergcc3-3, libreoffice-writer (>= 4:7.4)")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2 | fonts-liberation, adwaita-icon-theme")
include(CPack)
