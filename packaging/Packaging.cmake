# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by cpack from what `cmake --install` puts in place (scripts/package).
set(QUORVANE_MAINTAINER "Quorvane developers <maintainers@quorvane.org>" CACHE STRING
    "The package's maintainer, as the Maintainer field and the changelog name them")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "The Quorvane developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUORVANE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for laboratory gas-mixing rigs")
# The synopsis is the summary above; this is the extended description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quorvane computes the gases of a laboratory gas-mixing rig: from the readings
of up to 16 flowmeters, read through their calibration curves, it finds every
flow and composition of the mixer, with its saturators, KBr solution, drying
agent and oxygen getter, the gas each of up to 8 measurement cells receives,
and the thermochemical equilibrium of that gas at the cell's temperature and
pressure, down to oxygen partial pressures such as 1e-20 bar.
.
The package holds the desktop program, the command-line calculator
quorvane-calc, the rig converter quorvane-rig and an example rig.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUORVANE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The dependencies are those of the shared libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
