# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows zip: corvane.exe with the catalogues beside it, the README and the licence.
# `make package` writes it as corvane-VERSION-windows-x86_64.zip.
install(TARGETS corvane RUNTIME DESTINATION . COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .
        COMPONENT cli)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME corvane-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
