# The installed layout. The program and its plug-ins share a folder of their own, as plug-ins
# load only from the program's folder; bin/marlux is a link to the program there. The program's
# folder carries the mark that keeps settings out of it, and a link to the manual, which the
# program opens from its own folder as it does in the build tree.
set(MARLUX_PROGRAM_FOLDER lib/marlux)
set(MARLUX_MANUAL_FOLDER share/marlux/manual)

set(staging ${CMAKE_BINARY_DIR}/install-staging)
file(MAKE_DIRECTORY ${staging})
# Relative links, so that the installed tree may move (DESTDIR, a package's prefix).
file(RELATIVE_PATH program_link /bin /${MARLUX_PROGRAM_FOLDER}/marlux)
file(RELATIVE_PATH manual_link /${MARLUX_PROGRAM_FOLDER} /${MARLUX_MANUAL_FOLDER})
file(CREATE_LINK ${program_link} ${staging}/marlux SYMBOLIC)
file(CREATE_LINK ${manual_link} ${staging}/manual SYMBOLIC)
file(WRITE ${staging}/installed
  "This Marlux is installed: each user's settings live in $XDG_CONFIG_HOME/Marlux, not here.\n")
# The build tree's program folder shows the manual as an installed one does; on a first
# configure the folder does not exist yet.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
file(CREATE_LINK ${PROJECT_SOURCE_DIR}/doc/manual ${CMAKE_BINARY_DIR}/bin/manual SYMBOLIC)

install(TARGETS marlux ifjpeg ifpng ifgif DESTINATION ${MARLUX_PROGRAM_FOLDER})
install(FILES ${staging}/installed ${staging}/manual DESTINATION ${MARLUX_PROGRAM_FOLDER})
install(FILES ${staging}/marlux DESTINATION bin)
install(TARGETS marlux-ftp DESTINATION bin)
install(DIRECTORY doc/manual/ DESTINATION ${MARLUX_MANUAL_FOLDER})
install(FILES doc/marlux-ftp.1 DESTINATION share/man/man1)
install(FILES desktop/marlux.desktop DESTINATION share/applications)
install(FILES desktop/org.marlux.marlux.metainfo.xml DESTINATION share/metainfo)
install(FILES desktop/icons/marlux.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES desktop/icons/${size}/marlux.png DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# cpack -G DEB in the build tree makes the Debian package of that layout under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marlux)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Marlux developers <marlux@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-pane FTP client")
# One argument: separate ones would be joined with ";".
set(CPACK_PACKAGE_DESCRIPTION "Marlux shows the local files on the left and an FTP server's files on the right,
with the server dialogue below, and moves files and whole folders between them: ASCII, binary or
automatic transfer mode, name transforms, append, resume, time-stamp comparison, mirroring, FTP
over TLS and FTP proxies. The user interface is in Japanese. The package also holds marlux-ftp,
the same FTP engine on the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-noto-cjk")
include(CPack)
