# The MIDI sequencer: our own MIDI file reader, and the synthesizer that renders the pieces.
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
target_sources(el_platform_soft PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/midi_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sequencer.cpp)
target_link_libraries(el_platform_soft PRIVATE PkgConfig::FLUIDSYNTH)
