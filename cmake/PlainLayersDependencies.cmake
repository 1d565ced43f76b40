# What the plain layers and their tests need in a cross build, taken from the build machine
# without its system headers: GoogleTest built from its sources with the same compiler, and
# nlohmann-json's headers alone (header-only; the rest of /usr/include belongs to Linux).
set(QV_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(QV_NLOHMANN_JSON_HEADERS /usr/include/nlohmann CACHE PATH "nlohmann-json's header folder")

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${QV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# A package folder of its own whose include folder holds only nlohmann/: the callers'
# find_package(nlohmann_json) finds it and nothing else of the build machine.
set(qv_json_package ${CMAKE_BINARY_DIR}/nlohmann_json)
file(MAKE_DIRECTORY ${qv_json_package}/include)
file(CREATE_LINK ${QV_NLOHMANN_JSON_HEADERS} ${qv_json_package}/include/nlohmann SYMBOLIC)
file(WRITE ${qv_json_package}/nlohmann_jsonConfig.cmake [[
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
                        INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_CURRENT_LIST_DIR}/include)
endif()
]])
file(READ ${QV_NLOHMANN_JSON_HEADERS}/detail/abi_macros.hpp qv_json_header)
string(REGEX MATCH "NLOHMANN_JSON_VERSION_MAJOR ([0-9]+)" qv_json_major "${qv_json_header}")
file(WRITE ${qv_json_package}/nlohmann_jsonConfigVersion.cmake "
set(PACKAGE_VERSION ${CMAKE_MATCH_1})
if(PACKAGE_FIND_VERSION_MAJOR EQUAL PACKAGE_VERSION)
  set(PACKAGE_VERSION_COMPATIBLE TRUE)
endif()
")
set(nlohmann_json_DIR ${qv_json_package} CACHE PATH "nlohmann-json's package folder" FORCE)
