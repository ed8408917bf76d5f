# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build takes its header-only and test libraries from the build machine: Debian has
# no MinGW packages of them, and both are plain C++.

# nlohmann/json is headers alone. Only its own folder is put on the include path: the build
# machine's other headers would shadow Windows' ones.
set(_host_include ${CMAKE_BINARY_DIR}/host-include)
file(MAKE_DIRECTORY ${_host_include})
if(NOT EXISTS ${_host_include}/nlohmann)
  file(CREATE_LINK /usr/include/nlohmann ${_host_include}/nlohmann SYMBOLIC)
endif()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
                      INTERFACE_INCLUDE_DIRECTORIES ${_host_include})
set(nlohmann_json_FOUND TRUE)

# GoogleTest from its Debian source package, built with the Windows compilers.
if(CORVANE_BUILD_TESTS)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
