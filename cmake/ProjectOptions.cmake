# One interface target carries the language standard and the warnings for every target.
add_library(pelasim_options INTERFACE)
target_compile_features(pelasim_options INTERFACE cxx_std_20)
target_compile_options(pelasim_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wconversion -Wno-sign-conversion
  $<$<BOOL:${PELASIM_WERROR}>:-Werror>)
target_compile_definitions(pelasim_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS
  # The program's version, from the project line: the one place it is written.
  PELASIM_VERSION="${PROJECT_VERSION}")

if(PELASIM_SANITIZE)
  target_compile_options(pelasim_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_link_options(pelasim_options INTERFACE -fsanitize=address,undefined)
endif()

# Fails the configure step when a Qt-free target links Qt, directly or through a dependency.
function(pelasim_assert_qt_free target)
  get_target_property(_libs ${target} LINK_LIBRARIES)
  if(_libs)
    foreach(_lib IN LISTS _libs)
      if(_lib MATCHES "Qt[0-9]*::|Qt[0-9]*[A-Z]")
        message(FATAL_ERROR "${target} must not link Qt, but links ${_lib}")
      endif()
      if(TARGET ${_lib} AND NOT _lib STREQUAL "pelasim_options")
        pelasim_assert_qt_free(${_lib})
      endif()
    endforeach()
  endif()
endfunction()
