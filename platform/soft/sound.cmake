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
