# The Debian package, built by `cmake --build --preset release --target package`:
# taviro_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME taviro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Taviro developers <maintainers@taviro.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulator of the Taviro pachislot machine")
# CPack puts the summary first and indents each line of the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Taviro plays any number of games of the Taviro pachislot machine at one of
its six settings and shows how often each bonus came, the virtual coin-out
and the PAYOUT percentage. The full edition draws the slump graph with a
money summary and writes a CSV data file; the light edition runs up to
2147483647 games in the memory of a short run; taviro-stats plays many
sessions per setting and draws them; taviro-estimate tells, from the games
and bonuses a player saw, which setting the machine is likely at and what
the next games are worth. The programs speak Japanese.")
# Libraries the programs link are found by dpkg-shlibdeps; what Qt loads at run time (its platform
# plugins) and the Japanese font are named by hand. The SVG library that taviro-stats links also
# brings the plugins that draw the scalable icon.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
