# One target, `pelasim_assets`, stands for every generated picture and sound. The programs
# and the test executables depend on it, so the files beside the programs are always
# current. Each generator folder adds its own target with pelasim_add_assets().
include_guard(GLOBAL)

function(pelasim_add_assets target)
  if(NOT TARGET pelasim_assets)
    add_custom_target(pelasim_assets ALL)
    # The tests are defined after the tools: attach the dependencies once every folder
    # has been read.
    cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL _pelasim_assets_attach)
  endif()
  add_dependencies(pelasim_assets ${target})
endfunction()

function(_pelasim_assets_attach)
  foreach(t IN ITEMS OrvanePelaSim OrvanePelaSimViewer pelasim_core_tests pelasim_gui_tests)
    if(TARGET ${t})
      add_dependencies(${t} pelasim_assets)
    endif()
  endforeach()
endfunction()
