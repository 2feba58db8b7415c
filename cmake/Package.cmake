# The Debian package, made by CPack (scripts/package runs it): the programs, their desktop files
# and manuals from the install rules, runtime dependencies found by dpkg-shlibdeps. No maintainer
# scripts: dpkg's triggers update the desktop, MIME, icon and manual databases.
set(LARKSPUR_MAINTAINER "Larkspur Survalon maintainers <maintainers@larkspur.example.org>"
    CACHE STRING "The package's maintainer, as Debian writes it")

# A native package: the project's version is the package's, as larkspur --version prints it.
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog.in
    ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
    COMMAND gzip -9nkf changelog
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/debian
    VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/debian/changelog.gz
    ${PROJECT_SOURCE_DIR}/resources/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME larkspur)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Larkspur Survalon developers")
set(CPACK_PACKAGE_CONTACT "${LARKSPUR_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LARKSPUR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LARKSPUR_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugins at run time, which dpkg-shlibdeps cannot see; the program's
# fonts are metric-compatible with the handheld's. SoapySDR loads a module per family of radios
# at run time too: the two most surveyors buy are recommended, the others are one apt-get away.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-liberation2, soapysdr-module-rtlsdr, soapysdr-module-hackrf")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "radio site survey with a scanning receiver or a software-defined radio
Larkspur Survalon measures radio coverage inside buildings. Open a site file
(a floor plan and any points measured earlier), load a channel table, walk
the site and tap the map where you stand: a receiver board on a serial line
(cellular 800 MHz and PCS 1900 MHz) or a software-defined radio through
SoapySDR (any band the radio tunes) measures the signal strength of every
channel, and the point is painted coloured by its strongest reading; a live
coverage layer grows on the plan as you walk. The survey is signed by hand
and saved into the site file.
.
The desktop tool lks makes site files and channel tables, coverage maps and
signed grid-test reports in PDF.")
include(CPack)
