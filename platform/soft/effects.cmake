# The effect loops of the portable layer: a one-pixel reference and one vector source per
# instruction-set level, each compiled for its level alone (the rest stays baseline x86-64).
set(el_effect_sources
  ${CMAKE_CURRENT_LIST_DIR}/effect_loops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/effect_loops_sse2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/effect_loops_avx2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/effect_loops_avx512.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/effect_loops_avx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2")
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/effect_loops_avx512.cpp
  PROPERTIES COMPILE_OPTIONS "-mavx512f;-mavx512bw")
target_sources(el_platform_soft PRIVATE ${el_effect_sources})
