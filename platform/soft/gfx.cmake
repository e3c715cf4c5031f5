# Surfaces, the blitter, colour conversion and BMP pictures of the portable layer.
set(el_gfx_sources
  ${CMAKE_CURRENT_LIST_DIR}/blit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/blit_kernels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/blit_rotate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixel_convert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bmp_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bmp_writer.cpp)
# bmp_file.cpp reads and writes by file name through the file layer; the fuzzers leave it out.
target_sources(el_platform_soft PRIVATE ${el_gfx_sources} ${CMAKE_CURRENT_LIST_DIR}/bmp_file.cpp)

# libFuzzer targets. They compile the picture and blit code themselves, so that the sanitizers and
# the coverage instrumentation reach it without changing how el_platform_soft is built.
if(EL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "EL_FUZZ needs clang (use the fuzz preset)")
  endif()
  set(el_fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -g -O1)
  foreach(fuzzer bmp_fuzz blit_fuzz)
    add_executable(${fuzzer} ${CMAKE_CURRENT_LIST_DIR}/../../fuzz/${fuzzer}.cpp ${el_gfx_sources})
    target_include_directories(${fuzzer} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${fuzzer} PRIVATE el_flags)
    target_compile_options(${fuzzer} PRIVATE ${el_fuzz_flags})
    target_link_options(${fuzzer} PRIVATE ${el_fuzz_flags})
  endforeach()
endif()
