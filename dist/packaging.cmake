# SPDX-FileCopyrightText: the Tavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in a Release build makes tavo_VERSION-1_ARCH.deb.

set(TAVO_DEB_RELEASE 1)

# The Debian changelog and copyright file go into the package only: a plain install has no
# use for a Debian changelog. The release date in the changelog's own form, from the one
# release date of the project.
execute_process(COMMAND date --utc --date=${TAVO_RELEASE_DATE} --rfc-email
                OUTPUT_VARIABLE TAVO_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(debian/changelog.in ${generated}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${generated}/debian/changelog.Debian.gz
  COMMAND gzip -9n --stdout ${generated}/debian/changelog > ${generated}/debian/changelog.Debian.gz
  DEPENDS ${generated}/debian/changelog
  COMMENT "Compressing the Debian changelog")
add_custom_target(tavo-deb-files ALL DEPENDS ${generated}/debian/changelog.Debian.gz)
set(deb_docdir ${CMAKE_INSTALL_DATADIR}/doc/tavo)
install(FILES debian/copyright ${generated}/debian/changelog.Debian.gz
        DESTINATION ${deb_docdir} COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES debian/lintian-overrides RENAME tavo
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavo)
set(CPACK_PACKAGE_VENDOR "The Tavo developers")
set(CPACK_PACKAGE_CONTACT "${TAVO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# One package holding the program's files and the Debian documents.
set(CPACK_COMPONENTS_ALL Unspecified debian)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TAVO_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TAVO_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries come from dpkg-shlibdeps; Qt only recommends its platform plugins, without
# which no window opens; libxkbcommon and libxkbregistry read the layout data of xkb-data,
# and dead keys the compose tables of libx11-data; the picture of a layout is drawn in
# DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, xkb-data, libx11-data, fonts-dejavu-core")
# Courier New's metric twin for the key cells, glyphs of the scripts beyond U+FFFF, and the
# native Wayland platform plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-noto-core, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[editor of keyboard layouts
Tavo edits a keyboard layout on a picture of the typing block of a PC
keyboard: the digit row, the three letter rows and the space bar. For each
key the user picks, from a character table, what it types in six shift
states (plain, Shift, AltGr, AltGr with Shift, Ctrl and Ctrl with Shift) and
whether Caps Lock acts on it.
.
A layout can start from a layout of the system's XKB database or from a KLC
file. It is kept in Tavo's own file (.ukb) and can be exported as an XKB
symbols file, to type with it on Linux desktops, as a keyboard-layout source
text (.klc) for layout compilers, as an on-screen-keyboard description
(.layout) in two XML dialects, and as a picture (SVG, PNG, PDF). A window
types with the layout before it is installed, and one step installs it for
the user, without root. The command-line tool tavo-convert does the same
from scripts.]=])

include(CPack)
