# The Debian package, built by CPack (scripts/package): quire_VERSION_ARCH.deb with the
# project's version, its library dependencies computed by dpkg-shlibdeps and the fonts and
# Qt parts it loads at run time named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quire)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quire developers")
set(CPACK_PACKAGE_CONTACT "The Quire developers <quire@quire.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plain-text editor for Japanese text in Shift_JIS, EUC, JIS and UTF-8")
set(CPACK_PACKAGE_DESCRIPTION [=[
Quire edits plain text for Japanese users: up to 100 documents in tabs, word
wrap with Japanese line-breaking rules, colouring of mail quotes, URLs and
program sources, numbered backups, auto-save and a recovery journal, printing
with a preview, and shortcut keys of one's own. It reads Shift_JIS, EUC, JIS
and UTF-8 files with CR LF, CR or LF line ends and saves them back byte for
byte.

The package also holds quire-kanji, which detects and converts kanji codes the
way the editor does, and quire-lex, which shows how the editor colours a text.]=])
set(CPACK_PACKAGE_HOMEPAGE_URL https://quire.invalid/)
# Installed where the build was configured to install (scripts/package: /usr), so that the
# paths named in the manual pages are the package's.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the programs load without linking it: the font their text is drawn in (IPAGothic and
# IPAPGothic); Qt's Japanese translations for its own dialogs; colour emoji.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-noto-color-emoji")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
