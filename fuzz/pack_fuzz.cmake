# libFuzzer target of the picture pack scan and load, with the pack format and the surface code
# compiled in under the sanitizers.
add_executable(pack_fuzz ${CMAKE_CURRENT_LIST_DIR}/pack_fuzz.cpp ${PROJECT_SOURCE_DIR}/engine/draw/pack_format.cpp
  ${PROJECT_SOURCE_DIR}/platform/soft/blit.cpp ${PROJECT_SOURCE_DIR}/platform/soft/blit_kernels.cpp
  ${PROJECT_SOURCE_DIR}/platform/soft/pixel_convert.cpp ${PROJECT_SOURCE_DIR}/platform/soft/bmp_decoder.cpp
  ${PROJECT_SOURCE_DIR}/platform/soft/bmp_writer.cpp)
target_include_directories(pack_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(pack_fuzz PRIVATE el_flags)
target_compile_options(pack_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -g -O1)
target_link_options(pack_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
