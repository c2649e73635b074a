# Install rules and the Debian packages (cpack -G DEB, see scripts/setup.sh package):
#   varelio          the program folder in /usr/lib/varelio, /usr/bin/varelio,
#                    /usr/bin/stelcode, /usr/bin/varelio-lector, menu entry,
#                    icons, AppStream metadata
#   libstelcode-dev  Stelcode headers, encoder library, CMake package, Qt
#                    Designer plugin
# Installed, the program folder is read-only: each user's data goes to
# $XDG_DATA_HOME/Varelio (shell/CarpetaDatos.h).

set(VARELIO_MAINTAINER "Varelio <varelio@example.org>")
set(ESCRITORIO ${CMAKE_SOURCE_DIR}/data/escritorio)
set(VARELIO_ID org.varelio.Varelio)
set(GENERADOS ${CMAKE_BINARY_DIR}/paquete)

# The program folder.
install(TARGETS Varelio RUNTIME DESTINATION ${VARELIO_INSTALL_DIR} COMPONENT varelio)
install(FILES ${CMAKE_SOURCE_DIR}/data/usuarioslimpio.xml "${VARELIO_PROGRAM_DIR}/Manual de Usuario.doc"
  DESTINATION ${VARELIO_INSTALL_DIR} COMPONENT varelio)
install(FILES ${CMAKE_SOURCE_DIR}/data/ficheros/FicheroTexto.txt
  DESTINATION ${VARELIO_INSTALL_DIR}/ficheros COMPONENT varelio)
install(FILES ${VARELIO_PROGRAM_DIR}/ficheros/DOT_10101/PlantillaW97.dot
              ${VARELIO_PROGRAM_DIR}/ficheros/DOT_10101/PlantillaWXP.dot
  DESTINATION ${VARELIO_INSTALL_DIR}/ficheros/DOT_10101 COMPONENT varelio)

# The command: a relative link into the program folder, so the program finds its
# folder (and libStelcode.so) through the link. (stelcode needs no folder and is
# installed in bin by barcode/.)
file(MAKE_DIRECTORY ${GENERADOS}/bin)
file(RELATIVE_PATH a_programa /${CMAKE_INSTALL_BINDIR} /${VARELIO_INSTALL_DIR})
file(CREATE_LINK ${a_programa}/Varelio ${GENERADOS}/bin/varelio SYMBOLIC)
install(FILES ${GENERADOS}/bin/varelio DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT varelio)

# Desktop integration.
install(FILES ${ESCRITORIO}/${VARELIO_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT varelio)
install(FILES ${ESCRITORIO}/${VARELIO_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT varelio)
foreach(lado 16 32 48 64 128 256)
  install(FILES ${ESCRITORIO}/${VARELIO_ID}-${lado}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${lado}x${lado}/apps
    RENAME ${VARELIO_ID}.png COMPONENT varelio)
endforeach()
configure_file(${ESCRITORIO}/${VARELIO_ID}.metainfo.xml.in ${GENERADOS}/${VARELIO_ID}.metainfo.xml @ONLY)
install(FILES ${GENERADOS}/${VARELIO_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT varelio)

# Manual page, change log and copyright, compressed as Debian wants them
# (gzip -9n: no name or time stamp, so the package is reproducible).
configure_file(${ESCRITORIO}/varelio.1 ${GENERADOS}/varelio.1 @ONLY)
configure_file(${ESCRITORIO}/changelog.in ${GENERADOS}/changelog @ONLY)
set(comprimidos)
foreach(f varelio.1 changelog)
  add_custom_command(OUTPUT ${GENERADOS}/${f}.gz
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${GENERADOS}/${f} ${GENERADOS}/${f}.gz
    DEPENDS ${GENERADOS}/${f} VERBATIM)
  list(APPEND comprimidos ${GENERADOS}/${f}.gz)
endforeach()
add_custom_target(varelio_paquete_docs ALL DEPENDS ${comprimidos})
install(FILES ${GENERADOS}/varelio.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT varelio)
foreach(paquete varelio libstelcode-dev)
  install(FILES ${ESCRITORIO}/copyright ${GENERADOS}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${paquete} COMPONENT ${paquete})
endforeach()

# ---- CPack -------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varelio)
set(CPACK_PACKAGE_VENDOR Varelio)
set(CPACK_PACKAGE_CONTACT ${VARELIO_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL varelio libstelcode-dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VARELIO_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_VARELIO_PACKAGE_NAME varelio)
set(CPACK_DEBIAN_VARELIO_PACKAGE_SECTION misc)
# varelio-lector reads TIFF scans through Qt's image plugin, which no library
# links and so dpkg-shlibdeps cannot find.
set(CPACK_DEBIAN_VARELIO_PACKAGE_DEPENDS "qt6-image-formats-plugins")
set(CPACK_COMPONENT_VARELIO_DESCRIPTION
"application form for health-area vacancy competitions
Varelio is the desktop program with which a candidate in a Spanish public
competition for vacancies in health areas fills in, stores and prints an
application. The printed copy carries a PDF417 barcode made by the Stelcode
library, which ships with the program, together with the stelcode tool.
varelio-lector reads the barcodes of printed and scanned applications (PDF,
PNG, JPEG, TIFF, BMP) back into their fields, checks them and writes CSV or
JSON Lines.")
set(CPACK_DEBIAN_LIBSTELCODE-DEV_PACKAGE_NAME libstelcode-dev)
set(CPACK_DEBIAN_LIBSTELCODE-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_LIBSTELCODE-DEV_PACKAGE_DEPENDS "varelio (= ${PROJECT_VERSION}), qt6-base-dev, zlib1g-dev")
set(CPACK_COMPONENT_LIBSTELCODE-DEV_DESCRIPTION
"PDF417 barcode control Stelcode - development files
Headers, the Qt-free encoder library and the CMake package
(find_package(Stelcode)) of the Stelcodex barcode widget, and its Qt Designer
plugin. The library itself ships in the varelio
package.")
include(CPack)
