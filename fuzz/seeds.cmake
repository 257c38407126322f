# Every fuzz target is also built with the normal compiler as a small program that replays
# its seeds from fuzz/corpus/<target>/ (fuzz/seedreplay.cpp), one CTest test per target, so
# that the seeds run in every build and not only when someone fuzzes. A new *_fuzz.cpp is
# picked up by the glob.
file(GLOB _seed_targets CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_fuzz.cpp)
set(_seed_layers)
foreach(layer platform kb engine compiler import webexport)
  if(TARGET vireka_${layer})
    list(APPEND _seed_layers vireka_${layer})
  endif()
endforeach()
add_library(vireka_seedreplay OBJECT ${CMAKE_CURRENT_LIST_DIR}/seedreplay.cpp)
foreach(source IN LISTS _seed_targets)
  get_filename_component(name ${source} NAME_WE)
  add_executable(seeds_${name} ${source} $<TARGET_OBJECTS:vireka_seedreplay>)
  target_link_libraries(seeds_${name} PRIVATE ${_seed_layers} Qt6::Gui)
  add_test(NAME fuzz.seeds.${name}
           COMMAND seeds_${name} ${CMAKE_CURRENT_LIST_DIR}/corpus/${name})
  set_tests_properties(fuzz.seeds.${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endforeach()
