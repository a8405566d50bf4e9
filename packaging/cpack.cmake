# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package (make package): dependencies computed from the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The ORVALE developers <developers@orvale.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The ORVALE developers <developers@orvale.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "score an Index-based short form of a children's intelligence test")
# The summary above is the first line; this is the extended description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "ORVALE is a calculator for clinical psychologists. From a child's scaled
scores on eight subtests it estimates short-form Index scores, a Full Scale
IQ and a General Ability Index with confidence limits and percentile ranks,
tests whether the differences between them are reliable, and judges how
unusual the scores, their differences and the profile are. The report can
be read, saved and printed; orvale-score writes it from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvale.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
