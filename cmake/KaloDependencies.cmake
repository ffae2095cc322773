# Third-party libraries, all from the distribution's packages (tools/setup.sh installs them).
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_IMAGE REQUIRED IMPORTED_TARGET SDL2_image)
pkg_check_modules(SDL2_TTF REQUIRED IMPORTED_TARGET SDL2_ttf)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET
  libavformat libavcodec libavutil libswscale libavfilter libswresample)
find_package(nlohmann_json 3.9 REQUIRED)
find_package(Threads REQUIRED)

# GLM is header-only; Debian ships a CMake package for it, other systems may not.
find_package(glm CONFIG QUIET)
if(NOT TARGET glm::glm)
  find_path(GLM_INCLUDE_DIR glm/glm.hpp REQUIRED)
  add_library(glm::glm INTERFACE IMPORTED)
  set_target_properties(glm::glm PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${GLM_INCLUDE_DIR})
endif()
