# The library graph: what each of our libraries may link, ours and third-party. Libraries
# depend downwards only; the README's "Where things are" draws the same graph. Included at
# the end of the top-level CMakeLists.txt, when every target is declared: configuring fails
# on a link that its library's line does not allow, and on a kalo_* library without a line.
#
# Every library may also link kalo_options (warnings, sanitizers) and Threads::Threads.

set(kalo_layer_everyone kalo_options Threads::Threads)

# One line per library, lowest first.
set(kalo_layer_kalo_options "")
set(kalo_layer_kalo_platform PkgConfig::SDL2 util shell32 comdlg32 user32 ole32 uuid)
set(kalo_layer_kalo_config kalo_platform nlohmann_json::nlohmann_json glm::glm PkgConfig::SDL2)
# The lut3d filter text names a file of the option tables' filter list: config.
set(kalo_layer_kalo_media kalo_config kalo_platform PkgConfig::FFMPEG)
set(kalo_layer_kalo_scene kalo_config kalo_platform
  PkgConfig::SDL2 PkgConfig::SDL2_TTF glm::glm)
set(kalo_layer_kalo_widgets kalo_config kalo_platform
  PkgConfig::SDL2 PkgConfig::SDL2_TTF PkgConfig::SDL2_IMAGE glm::glm)
# The preview's play cover asks the job record (conversion) whether a source is chosen.
set(kalo_layer_kalo_player kalo_conversion kalo_media kalo_widgets kalo_scene kalo_config kalo_platform
  PkgConfig::FFMPEG PkgConfig::SDL2 glm::glm)
# The scene library is the conversion's only way to the main loop: its user events.
set(kalo_layer_kalo_conversion kalo_media kalo_scene kalo_config kalo_platform PkgConfig::SDL2)
set(kalo_layer_kalo_screen kalo_player kalo_conversion kalo_widgets kalo_scene kalo_media
  kalo_config kalo_platform
  PkgConfig::FFMPEG PkgConfig::SDL2 PkgConfig::SDL2_TTF PkgConfig::SDL2_IMAGE glm::glm)
set(kalo_layer_kalo_app kalo_screen kalo_player kalo_conversion kalo_widgets kalo_scene
  kalo_media kalo_config kalo_platform
  PkgConfig::SDL2 PkgConfig::SDL2_TTF PkgConfig::SDL2_IMAGE)
set(kalo_layer_kalo_depth_algorithms "")
set(kalo_layer_kalo_converter kalo_depth_algorithms kalo_media kalo_platform PkgConfig::FFMPEG)
# What the tests share: a drawing canvas, the clip factory, the child-process runner.
set(kalo_layer_kalo_test_support PkgConfig::SDL2 GTest::gtest nlohmann_json::nlohmann_json)

# All targets declared in `dir` and the folders below it.
function(kalo_layer_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    kalo_layer_targets_below(${subdir} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# A link item as written, without the wrappers CMake adds ($<LINK_ONLY:x> -> x).
function(kalo_layer_link_name item out)
  string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" name "${item}")
  set(${out} "${name}" PARENT_SCOPE)
endfunction()

function(kalo_check_layers)
  kalo_layer_targets_below(${PROJECT_SOURCE_DIR} targets)
  list(APPEND targets kalo_options)  # declared by cmake/KaloWarnings.cmake at the top
  list(REMOVE_DUPLICATES targets)
  set(problems "")
  foreach(target ${targets})
    if(NOT target MATCHES "^kalo_" OR NOT TARGET ${target})
      continue()
    endif()
    get_target_property(type ${target} TYPE)
    # Custom targets (kalo_assets) link nothing; programs (tests, helpers) sit on top of
    # the graph and may link any library.
    if(type STREQUAL "UTILITY" OR type STREQUAL "EXECUTABLE")
      continue()
    endif()
    if(NOT DEFINED kalo_layer_${target})
      string(APPEND problems "\n  ${target} has no line in cmake/KaloLayers.cmake")
      continue()
    endif()
    set(allowed ${kalo_layer_${target}} ${kalo_layer_everyone})
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(links ${target} LINK_LIBRARIES)
    endif()
    if(NOT links)
      continue()
    endif()
    foreach(item ${links})
      kalo_layer_link_name("${item}" link)
      if(link IN_LIST allowed)
        continue()
      endif()
      string(REPLACE ";" ", " allowed_text "${kalo_layer_${target}}")
      string(APPEND problems "\n  ${target} links ${link}, which its line does not allow "
                             "(allowed: ${allowed_text})")
    endforeach()
  endforeach()
  if(problems)
    message(FATAL_ERROR "The library graph is broken: a library links what lies above it or "
                        "beside it.${problems}\nSee cmake/KaloLayers.cmake and the README's "
                        "\"Where things are\".")
  endif()
endfunction()

kalo_check_layers()
