# Surfaces, the blitter, colour conversion and BMP pictures of the portable layer.
set(el_gfx_sources
  ${CMAKE_CURRENT_LIST_DIR}/blit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/blit_kernels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/blit_rotate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixel_convert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bmp_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bmp_writer.cpp)
target_sources(el_platform_soft PRIVATE ${el_gfx_sources} ${CMAKE_CURRENT_LIST_DIR}/bmp_file.cpp)
