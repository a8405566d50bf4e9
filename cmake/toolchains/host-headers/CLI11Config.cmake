# SPDX-License-Identifier: GPL-3.0-or-later
include(${CMAKE_CURRENT_LIST_DIR}/header_only.cmake)
orvale_host_headers(CLI11::CLI11 CLI)
