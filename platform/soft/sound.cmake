# Sound of the portable layer: the RIFF/WAVE reader, the resampler, the mixer and the device's
# buffer operations on it. The mixer's voice loops come in one source per instruction-set level,
# each compiled for its level alone (the rest stays baseline x86-64).
set(el_sound_sources
  ${CMAKE_CURRENT_LIST_DIR}/wave_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wave_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resampler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mixer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mixer_loops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mixer_loops_avx2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mixer_loops_avx512.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_converter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audio_device.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/mixer_loops_avx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2")
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/mixer_loops_avx512.cpp PROPERTIES COMPILE_OPTIONS "-mavx512f")
target_sources(el_platform_soft PRIVATE ${el_sound_sources})
