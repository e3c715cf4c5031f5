# The text rasterizer: fonts found through fontconfig, glyphs rendered by FreeType, Shift-JIS
# decoded with iconv (glibc's own).
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)

set(el_text_sources
  ${CMAKE_CURRENT_LIST_DIR}/text_encoding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font_cache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glyph_cache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_render.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_reduce.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_reduce_sse2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_reduce_avx2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_reduce_avx512.cpp)
# The smooth-text reduction: one vector source per instruction-set level, each compiled for its
# level alone (the rest stays baseline x86-64).
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/text_reduce_avx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2")
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/text_reduce_avx512.cpp
  PROPERTIES COMPILE_OPTIONS "-mavx512f;-mavx512bw")
target_sources(el_platform_soft PRIVATE ${el_text_sources})
target_link_libraries(el_platform_soft PRIVATE PkgConfig::FREETYPE PkgConfig::FONTCONFIG)

# The texts reaching the rasterizer are in the encoding the system's own code is compiled to:
# Shift-JIS, or UTF-8 where the compiler keeps UTF-8 texts (el_text_flags says which).
get_target_property(el_text_definitions el_text_flags INTERFACE_COMPILE_DEFINITIONS)
if(el_text_definitions AND "EL_TEXT_UTF8=1" IN_LIST el_text_definitions)
  set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/text_encoding.cpp APPEND PROPERTY COMPILE_DEFINITIONS EL_TEXT_UTF8=1)
endif()
