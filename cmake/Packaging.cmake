# Installation into the usual places and a Debian package (cpack -G DEB).
include(GNUInstallDirs)

install(FILES data/tarnlet.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/icons/tarnlet.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The autostart entry the user may copy to ~/.config/autostart/.
install(FILES data/tarnlet-autostart.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnlet
        RENAME tarnlet.desktop)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnlet)
set(CPACK_PACKAGE_VENDOR "Tarnlet")
set(CPACK_PACKAGE_CONTACT "Tarnlet developers <dev@tarnlet.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Status overlay for developers: GitHub Actions, pull requests, Docker")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Needed at run time but not linked: curl for the Docker engine, the Qt platform plugins, a
# Secret Service for the token.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "curl, qt6-qpa-plugins, libsecret-1-0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnome-keyring | kwalletmanager")
include(CPack)
