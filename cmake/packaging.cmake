# The Debian package: `cpack -G DEB` in a build configured with the prefix /usr (see
# scripts/package-deb.sh) makes lanchuan-xiangqi_<version>_<arch>.deb with the game, the engine, the
# opening library and pattern, the launcher entry, the icons, the AppStream metadata and the file
# type of saved games. Its library dependencies are worked out from the binaries by
# dpkg-shlibdeps (package dpkg-dev; CPack also needs `file`). The launcher, icon and MIME caches
# are refreshed by the triggers of the packages that own them, so no maintainer scripts are needed.
set(CPACK_PACKAGE_NAME lanchuan-xiangqi)
set(CPACK_PACKAGE_VENDOR "澜川中国象棋 开发组")
set(CPACK_PACKAGE_CONTACT "澜川中国象棋 开发组 <lanchuan-xiangqi@users.noreply.github.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Xiangqi (Chinese chess) against the computer")
set(CPACK_PACKAGE_DESCRIPTION
    "A Xiangqi game for the desktop: play Red or Black against the built-in engine, ask for\n"
    "hints, take moves back, set up positions, save and restore games, and exchange positions\n"
    "and games as FEN and PGN. The engine also plays in other programs over UCI and UCCI\n"
    "(lanchuan-engine), and lanchuan-match plays matches between engines.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/lanchuan-xiangqi/lanchuan-xiangqi")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries come from the binaries; the rest the binaries cannot name: a font with the Chinese
# characters of the window's texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
# The file dialogs' and message boxes' own texts in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The opening library's folder is an absolute path compiled into the game: the package's tree is
# made with DESTDIR under the build's own prefix.
set(CPACK_SET_DESTDIR ON)

include(CPack)
