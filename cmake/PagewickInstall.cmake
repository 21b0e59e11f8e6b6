# What `cmake --install` puts under the prefix, and the Debian package made of
# it by `cpack -G DEB` in the build folder.
set(pagewick_id io.github.pagewick.Pagewick)

install(TARGETS pagewick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# window/programinfo.cpp looks for the sample book here, relative to the program.
install(DIRECTORY samples/book-utf8 samples/book-gbk
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pagewick/samples
        FILES_MATCHING PATTERN "*.htm")
# The systemd user service and timer that run "pagewick update" nightly; the
# user copies them to ~/.config/systemd/user/ (README: Keeping books up to date).
install(FILES data/pagewick-update.service data/pagewick-update.timer
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pagewick)
install(FILES data/${pagewick_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${pagewick_id}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/${pagewick_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagewick)
set(CPACK_PACKAGE_VENDOR "Pagewick")
set(CPACK_PACKAGE_CONTACT "Pagewick developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collects serialized web fiction page by page into text files")
set(CPACK_PACKAGE_DESCRIPTION
    "Pagewick opens a book's first chapter in its built-in browser, takes the page's main text, \
saves it as a text file named after the chapter title, follows the next-page link and goes on \
until the book ends. The interface is in Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the platform plugins
# (a window needs one) and a font with the Chinese characters of the interface.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
include(CPack)
