# Sound of the portable layer: the RIFF/WAVE reader, the resampler, the mixer and the device's
# buffer operations on it.
set(el_sound_sources
  ${CMAKE_CURRENT_LIST_DIR}/wave_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wave_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resampler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mixer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_converter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audio_device.cpp)
target_sources(el_platform_soft PRIVATE ${el_sound_sources})

# libFuzzer target of the WAVE reader, playing what it reads through the mixer; it compiles the
# sources itself, like the picture fuzzers.
if(EL_FUZZ)
  set(el_sound_fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -g -O1)
  add_executable(wave_fuzz ${CMAKE_CURRENT_LIST_DIR}/../../fuzz/wave_fuzz.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wave_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resampler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mixer.cpp)
  target_include_directories(wave_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(wave_fuzz PRIVATE el_flags)
  target_compile_options(wave_fuzz PRIVATE ${el_sound_fuzz_flags})
  target_link_options(wave_fuzz PRIVATE ${el_sound_fuzz_flags})
endif()
