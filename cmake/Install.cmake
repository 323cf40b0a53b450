# Where `cmake --install` puts everything, and the Debian package CPack makes of it:
#   cmake --build build --target package      (or: cd build && cpack -G DEB)
include(GNUInstallDirs)

install(TARGETS velmar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS velmar_program RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR})
# The modules the program loads from its library folder on first use: the film player, the film
# picture reader, the zip archive writer of slide decks, the spelling dictionaries, printing.
install(TARGETS velmar_media velmar_film_pictures velmar_zip velmar_spelling velmar_print LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/velmar/modules)
install(FILES ${PROJECT_SOURCE_DIR}/help/index.html ${PROJECT_SOURCE_DIR}/help/index_en.html DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmar/help)

# Desktop integration: the entry (with the plain program name, found on PATH), the MIME package,
# the thumbnailer, the AppStream description and the icons.
set(EXEC velmar)
configure_file(${PROJECT_SOURCE_DIR}/packaging/velmar.desktop.in
  ${CMAKE_CURRENT_BINARY_DIR}/packaging/org.velmar.velmar.desktop @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/org.velmar.velmar.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/velmar-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME velmar.xml)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/velmar.thumbnailer
  DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.velmar.velmar.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/velmar-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME velmar.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/velmar.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian's documents of the package: the machine-readable copyright file, the changelog and the
# manual pages (English and Russian), compressed as Debian wants them (gzip -9n: no name, no
# time stamp, so the package is reproducible). The maintainer is named once, here.
set(VELMAR_MAINTAINER "Velmar developers <maintainers@velmar.org>" CACHE STRING
  "Maintainer of the Debian package, also written into its changelog and copyright file")
set(VELMAR_HOMEPAGE "https://velmar.org" CACHE STRING "Home page of the package")
set(VELMAR_VERSION ${PROJECT_VERSION})
set(VELMAR_PACKAGE_VERSION ${PROJECT_VERSION}.0)
set(debian_docs ${CMAKE_CURRENT_BINARY_DIR}/packaging/debian)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${debian_docs}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog ${debian_docs}/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/man/velmar.1 ${debian_docs}/man/velmar.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/man/velmar.ru.1 ${debian_docs}/man/ru/velmar.1 @ONLY)
find_program(GZIP_PROGRAM gzip REQUIRED)
set(debian_gz ${debian_docs}/changelog.gz ${debian_docs}/man/velmar.1.gz ${debian_docs}/man/ru/velmar.1.gz)
add_custom_command(OUTPUT ${debian_gz}
  COMMAND ${GZIP_PROGRAM} -9nkf changelog man/velmar.1 man/ru/velmar.1
  WORKING_DIRECTORY ${debian_docs}
  DEPENDS ${debian_docs}/changelog ${debian_docs}/man/velmar.1 ${debian_docs}/man/ru/velmar.1
  COMMENT "Compressing the changelog and the manual pages")
add_custom_target(debian_docs ALL DEPENDS ${debian_gz})
install(FILES ${debian_docs}/copyright ${debian_docs}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmar)
install(FILES ${debian_docs}/man/velmar.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(NOT VELMAR_SANITIZE)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME velmar)
endif()
install(FILES ${debian_docs}/man/ru/velmar.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)

set(CPACK_PACKAGE_NAME velmar)
set(CPACK_PACKAGE_VENDOR "Velmar")
set(CPACK_PACKAGE_CONTACT "${VELMAR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMAR_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of logical outlines for lessons")
set(CPACK_PACKAGE_DESCRIPTION "Velmar builds one-page visual summaries of a lesson (logical
outlines): titled frames holding pictures, text fields and video fragments,
arrows between them, a minimal text per object strung into a summary in
reading order, an undo history that survives a crash, export as a picture
and a built-in picture editor. The interface is in Russian.")
set(CPACK_PACKAGE_VERSION ${VELMAR_PACKAGE_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# The libraries' packages come from dpkg-shlibdeps; the desktop caches are refreshed by the file
# triggers of shared-mime-info, desktop-file-utils and hicolor-icon-theme, which watch the folders
# the files go to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "shared-mime-info, hicolor-icon-theme")
# Video fragments play through GStreamer; Qt's own dialogs speak Russian with its translations;
# typed words are checked with the Russian and English dictionaries (none installed: no marks).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "desktop-file-utils, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav, qt6-translations-l10n, fonts-dejavu-core, hunspell-ru, hunspell-en-us")
include(CPack)
