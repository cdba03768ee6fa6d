# nlohmann's JSON library (header-only) as the one target vantik_json; code includes
# <nlohmann/json.hpp>.
#
# It is Debian's nlohmann-json3-dev, installed by scripts/setup under /usr/include. The MinGW
# compilers must not search the host's /usr/include (its C library headers are not theirs), so
# every build reaches the library through a folder of its own that holds nothing but a link to
# /usr/include/nlohmann.
find_path(VANTIK_NLOHMANN_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
if(NOT VANTIK_NLOHMANN_INCLUDE)
  message(FATAL_ERROR "nlohmann/json.hpp not found under /usr/include: run scripts/setup "
                      "(package nlohmann-json3-dev)")
endif()
set(_json_include "${CMAKE_BINARY_DIR}/json-include")
file(MAKE_DIRECTORY "${_json_include}")
file(CREATE_LINK "${VANTIK_NLOHMANN_INCLUDE}/nlohmann" "${_json_include}/nlohmann" SYMBOLIC)
add_library(vantik_json INTERFACE)
target_include_directories(vantik_json SYSTEM INTERFACE "${_json_include}")
