# Installation into the usual places and a Debian package (cpack -G DEB). The programs' own
# install rule lives beside their targets in src/app; this file adds the desktop files, icons,
# manual pages and the package's metadata.
include(GNUInstallDirs)

set(TARNLET_DATA ${PROJECT_SOURCE_DIR}/data)
set(TARNLET_MAINTAINER "Tarnlet developers <dev@tarnlet.invalid>")

# The launcher entry and the icon theme entries.
install(FILES ${TARNLET_DATA}/tarnlet.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TARNLET_DATA}/icons/tarnlet.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Bitmap sizes for panels and menus that do not scale SVG icons, rendered from the one drawing.
# Without rsvg-convert the SVG alone is installed; every icon theme user copes with that.
set(TARNLET_ICON_SIZES 16 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(icon_outputs)
  foreach(size IN LISTS TARNLET_ICON_SIZES)
    set(dir ${PROJECT_BINARY_DIR}/icons/${size}x${size})
    add_custom_command(
      OUTPUT ${dir}/tarnlet.png
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${dir}/tarnlet.png
              ${TARNLET_DATA}/icons/tarnlet.svg
      DEPENDS ${TARNLET_DATA}/icons/tarnlet.svg
      VERBATIM)
    list(APPEND icon_outputs ${dir}/tarnlet.png)
    install(FILES ${dir}/tarnlet.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(tarnlet_icons ALL DEPENDS ${icon_outputs})
else()
  message(STATUS "rsvg-convert not found: installing the scalable icon only")
  set(TARNLET_ICON_SIZES)
endif()

# The autostart entry is not placed in /etc/xdg/autostart, which would start Tarnlet for every
# user; each user who wants it copies it to ~/.config/autostart/.
install(FILES ${TARNLET_DATA}/tarnlet-autostart.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnlet
        RENAME tarnlet.desktop)

# Manual pages, compressed as Debian expects them (gzip -n keeps the build reproducible).
find_program(GZIP gzip REQUIRED)
set(man_outputs)
foreach(page tarnlet.1 tarnlet-token.1)
  set(out ${PROJECT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${GZIP} -9 -n -c ${TARNLET_DATA}/man/${page} > ${out}
    DEPENDS ${TARNLET_DATA}/man/${page})
  list(APPEND man_outputs ${out})
endforeach()
add_custom_target(tarnlet_man ALL DEPENDS ${man_outputs})
install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian wants a changelog beside the copyright file; one entry for the project's version, dated
# at configure time (or at SOURCE_DATE_EPOCH, for reproducible builds).
string(TIMESTAMP TARNLET_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${TARNLET_DATA}/changelog.in ${PROJECT_BINARY_DIR}/doc/changelog @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/doc/changelog.gz
  COMMAND ${GZIP} -9 -n -c ${PROJECT_BINARY_DIR}/doc/changelog > ${PROJECT_BINARY_DIR}/doc/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/doc/changelog)
add_custom_target(tarnlet_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/doc/changelog.gz)
install(FILES ${TARNLET_DATA}/copyright ${PROJECT_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarnlet)

# The Debian package. Its version is the project's (the top CMakeLists.txt, the one place).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnlet)
set(CPACK_PACKAGE_VENDOR "Tarnlet")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TARNLET_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "status overlay for developers: GitHub Actions, pull requests, Docker")
# The summary becomes the synopsis line; this is the extended description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarnlet sits in the system tray and draws a small black overlay at the top
centre of the screen. Collapsed, it shows one status line; hovering opens it
and a click pins it open.

In the background it watches the latest GitHub Actions runs of a repository,
your pull-request notifications and the local Docker engine, and flashes short
news such as a review request or a merged pull request in the overlay. Its
interface is German.

The GitHub token is read from the desktop's Secret Service (GNOME Keyring or
KWallet); store it with tarnlet-token.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# Libraries the programs link come from dpkg-shlibdeps; the rest is needed at run time without
# being linked: the Qt platform plugins (X11), libsecret (loaded by QtKeychain when present),
# a Secret Service to hold the token, the CA certificates for HTTPS, and curl for the Docker engine.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libsecret-1-0, gnome-keyring | libkf5wallet-bin, ca-certificates, curl")
# Qt's translations of its own texts (standard buttons, context menus); without them those stay English.
# ssh reaches a Docker engine on another machine; without it such an engine says so in its pane.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, openssh-client")
include(CPack)
