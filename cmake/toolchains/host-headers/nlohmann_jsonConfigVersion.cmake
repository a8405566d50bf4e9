# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's nlohmann-json3-dev (bookworm ships 3.11.2).
set(PACKAGE_VERSION 3.11.2)
set(PACKAGE_VERSION_COMPATIBLE TRUE)
