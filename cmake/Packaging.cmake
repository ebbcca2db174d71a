# Installing both programs with the desktop entry and icon (resources/), and the Debian package
# built from that install: cpack -G DEB.
include(GNUInstallDirs)
install(TARGETS liskoprinter liskoprinter-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME liskoprinter)
set(CPACK_PACKAGE_VENDOR "LiskoPrinter")
# All four parts: the package version is the one the program shows in its caption.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print crib sheets from photographed notes")
set(CPACK_PACKAGE_DESCRIPTION
    "Add JPEG photos of your notes, adjust each one (rotation, crop, colour or a
black-and-white clean-up) and print them reduced, several to an A4 sheet, with
a live preview. The batch tool liskoprinter-cli renders and prints the same way
without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "LiskoPrinter <${LISKO_FEEDBACK_EMAIL}>")
# The libraries come from dpkg-shlibdeps; what the program opens by name at run time does not:
# the Calibri-compatible font of the pages, Qt's Russian translations, and the browser engine's
# resources behind the web tabs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(LISKO_RUNTIME_DEPENDS fonts-crosextra-carlito qt6-translations-l10n)
if(LISKO_WEBENGINE)
  list(APPEND LISKO_RUNTIME_DEPENDS libqt6webengine6-data)
endif()
list(JOIN LISKO_RUNTIME_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The user-interface font of the design, when the user has it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wine)
# What Debian asks of every package's documentation folder: the copyright and a changelog, the
# changelog compressed as dpkg keeps it.
set(LISKO_PACKAGE_DOC_DIR ${PROJECT_BINARY_DIR}/package-doc)
configure_file(resources/package/copyright.in ${LISKO_PACKAGE_DOC_DIR}/copyright @ONLY)
configure_file(resources/package/changelog.in ${LISKO_PACKAGE_DOC_DIR}/changelog @ONLY)
add_custom_command(
  OUTPUT ${LISKO_PACKAGE_DOC_DIR}/changelog.gz
  COMMAND gzip -9nkf ${LISKO_PACKAGE_DOC_DIR}/changelog
  DEPENDS ${LISKO_PACKAGE_DOC_DIR}/changelog)
add_custom_target(lisko_package_doc ALL DEPENDS ${LISKO_PACKAGE_DOC_DIR}/changelog.gz)
install(FILES ${LISKO_PACKAGE_DOC_DIR}/copyright ${LISKO_PACKAGE_DOC_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/liskoprinter)
include(CPack)
