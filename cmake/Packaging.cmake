# What an installed Vantor!! consists of beyond its programs, and the Debian
# package made from it ("cpack -G DEB" in the build directory).

install(DIRECTORY data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantor
        PATTERN demo-server EXCLUDE
        PATTERN .keep EXCLUDE)
# The demo server's own files; the packed data files it hands out are the
# ones the program ships (share/vantor/Data).
install(FILES data/demo-server/version.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/vantor-demo-server)

if(VANTOR_GUI)
    install(FILES dist/de.keldrum.Vantor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES dist/de.keldrum.Vantor.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES dist/de.keldrum.Vantor.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
            RENAME de.keldrum.Vantor.xml)
    install(FILES dist/icons/de.keldrum.Vantor.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 48 128 256)
        install(FILES dist/icons/hicolor/${size}x${size}/apps/de.keldrum.Vantor.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
endif()

# Debian wants the changelog compressed to the maximum and without a time
# stamp, so that two builds give the same bytes.
set(VANTOR_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/dist/changelog.gz)
add_custom_command(OUTPUT ${VANTOR_CHANGELOG_GZ}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
    COMMAND sh -c "gzip -9n -c '${CMAKE_SOURCE_DIR}/dist/debian/changelog' > '${VANTOR_CHANGELOG_GZ}'"
    DEPENDS ${CMAKE_SOURCE_DIR}/dist/debian/changelog
    VERBATIM)
add_custom_target(vantor_changelog ALL DEPENDS ${VANTOR_CHANGELOG_GZ})
install(FILES dist/debian/copyright ${VANTOR_CHANGELOG_GZ} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Keldrum)
set(CPACK_PACKAGE_CONTACT "Keldrum <vantor@keldrum.de>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "optimise a web site for search engines (German)")
set(CPACK_PACKAGE_DESCRIPTION "\
Vantor!! helps the owner of a web site to be found well by search engines.
It optimises a local copy of the site (homepage, copies and doorway pages
for further search terms, with a report and undo), builds a template page,
previews result-list snippets, submits the site to search engines, writes
sitemaps and reports changes by IndexNow, researches search terms and
checks the site's positions with their history. The program speaks German.

This package holds the program (vantor), the command line (vantor-cli) and
a demo server (vantor-demo-server) that stands in for the internet.

Vantor!! hilft Betreibern einer Web-Site, bei Suchmaschinen gut gefunden zu
werden: es optimiert eine lokale Kopie der Site, erstellt Vorlagen, zeigt
die Vorschau in Trefferlisten, meldet die Site bei Suchmaschinen an
(Sitemap, IndexNow), recherchiert Suchbegriffe und ermittelt Platzierungen
samt Verlauf.")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.keldrum.de/vantor/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The browser for reports, and the German words the demo server's research
# services answer with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, wngerman, mythes-de")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
