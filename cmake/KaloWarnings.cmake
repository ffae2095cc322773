# Warnings and sanitizer flags shared by every target of the project.
add_library(kalo_options INTERFACE)
if(MSVC)
  target_compile_options(kalo_options INTERFACE "$<$<COMPILE_LANGUAGE:C,CXX>:/W4;/utf-8>")
else()
  # C and C++ only: the Windows resource compiler takes no warning options.
  target_compile_options(kalo_options INTERFACE
    "$<$<COMPILE_LANGUAGE:C,CXX>:-Wall;-Wextra;-Wpedantic;-Wno-unused-parameter>")
endif()

if(KALO_SANITIZE STREQUAL "address")
  target_compile_options(kalo_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_link_options(kalo_options INTERFACE -fsanitize=address,undefined)
elseif(KALO_SANITIZE STREQUAL "thread")
  target_compile_options(kalo_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(kalo_options INTERFACE -fsanitize=thread)
elseif(NOT KALO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KALO_SANITIZE must be empty, address or thread")
endif()
