# The WAVE pack scan fuzz target: compiles the pack reader itself with the fuzzer's instrumentation.
if(EL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "EL_FUZZ needs clang (use the fuzz preset)")
  endif()
  set(el_pack_fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -g -O1)
  add_executable(wave_pack_fuzz ${PROJECT_SOURCE_DIR}/fuzz/wave_pack_fuzz.cpp
                                ${PROJECT_SOURCE_DIR}/engine/sound/wave_pack.cpp)
  target_include_directories(wave_pack_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(wave_pack_fuzz PRIVATE el_flags)
  target_compile_options(wave_pack_fuzz PRIVATE ${el_pack_fuzz_flags})
  target_link_options(wave_pack_fuzz PRIVATE ${el_pack_fuzz_flags})
endif()
