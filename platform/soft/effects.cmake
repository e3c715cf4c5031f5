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

# libFuzzer target: every effect blit and filter at every level against the reference loops. It
# compiles the effect sources itself, so that the sanitizers reach them, and takes the rest of the
# engine (display tables, object table, copies) from the libraries.
if(EL_FUZZ)
  set(el_effects_fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -g -O1)
  add_executable(effects_fuzz ${CMAKE_CURRENT_LIST_DIR}/../../fuzz/effects_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/engine/draw/effects.cpp ${el_effect_sources})
  target_include_directories(effects_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(effects_fuzz PRIVATE "$<LINK_GROUP:RESCAN,el_engine,el_platform_soft,el_platform_headless>"
    el_text_flags)
  target_compile_options(effects_fuzz PRIVATE ${el_effects_fuzz_flags})
  target_link_options(effects_fuzz PRIVATE ${el_effects_fuzz_flags})
endif()
