# The MIDI sequencer: our own MIDI file reader, and the synthesizer that renders the pieces.
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
target_sources(el_platform_soft PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/midi_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sequencer.cpp)
target_link_libraries(el_platform_soft PRIVATE PkgConfig::FLUIDSYNTH)

if(EL_FUZZ)
  set(el_midi_fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -g -O1)
  add_executable(midi_file_fuzz ${PROJECT_SOURCE_DIR}/fuzz/midi_file_fuzz.cpp ${CMAKE_CURRENT_LIST_DIR}/midi_file.cpp)
  target_include_directories(midi_file_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(midi_file_fuzz PRIVATE el_flags)
  target_compile_options(midi_file_fuzz PRIVATE ${el_midi_fuzz_flags})
  target_link_options(midi_file_fuzz PRIVATE ${el_midi_fuzz_flags})
endif()
