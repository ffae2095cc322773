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

# Windows: SDL's pkg-config files mark every program that links SDL as a GUI-subsystem
# program (-mwindows). Both of ours are console programs (the application hides its
# console itself and reads the converter's status line from it), and the tests print to it.
# SDL's entry wrapper (SDL2main) is taken out too: it belongs to the one program whose
# main is SDL's, the application (KALO_SDL_MAIN_LIBRARY, linked by app/). Any other program
# that reaches SDL through a library (kalo-depth through the option tables) would otherwise
# get the wrapper's WinMain and fail to link for want of an SDL_main.
set(KALO_SDL_MAIN_LIBRARY "")
if(WIN32)
  foreach(sdl_target PkgConfig::SDL2 PkgConfig::SDL2_IMAGE PkgConfig::SDL2_TTF)
    get_target_property(sdl_link_options ${sdl_target} INTERFACE_LINK_OPTIONS)
    if(sdl_link_options)
      list(REMOVE_ITEM sdl_link_options -mwindows -Wl,--subsystem,windows)
      set_target_properties(${sdl_target} PROPERTIES INTERFACE_LINK_OPTIONS "${sdl_link_options}")
    endif()
    # "-Dmain=SDL_main" would rename every program's main, kalo-depth's too; the
    # application's own SDL.h renames its main anyway.
    get_target_property(sdl_compile_options ${sdl_target} INTERFACE_COMPILE_OPTIONS)
    if(sdl_compile_options)
      list(REMOVE_ITEM sdl_compile_options -Dmain=SDL_main)
      set_target_properties(${sdl_target} PROPERTIES INTERFACE_COMPILE_OPTIONS "${sdl_compile_options}")
    endif()
    get_target_property(sdl_link_libraries ${sdl_target} INTERFACE_LINK_LIBRARIES)
    if(sdl_link_libraries)
      foreach(library ${sdl_link_libraries})
        if(library MATCHES "SDL2main")
          set(KALO_SDL_MAIN_LIBRARY ${library})
        endif()
      endforeach()
      list(FILTER sdl_link_libraries EXCLUDE REGEX "SDL2main")
      set_target_properties(${sdl_target} PROPERTIES INTERFACE_LINK_LIBRARIES "${sdl_link_libraries}")
    endif()
  endforeach()
endif()
