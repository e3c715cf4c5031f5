# Compile flags shared by every target of the system.
#
# el_flags: warnings, plain IEEE floating point (no contraction into FMA, no fast-math), and the
# public headers (<el/...>), which the engine's own headers include.
# el_text_flags: source texts are UTF-8 and the system's own strings are stored as Shift-JIS bytes.
add_library(el_flags INTERFACE)
target_compile_options(el_flags INTERFACE
  -Wall -Wextra -Wno-unused-parameter
  -ffp-contract=off -fno-fast-math)
target_include_directories(el_flags INTERFACE $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>)

add_library(el_text_flags INTERFACE)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(el_text_flags INTERFACE -finput-charset=UTF-8 -fexec-charset=CP932)
else()
  # clang only knows UTF-8 as execution character set: its build keeps UTF-8 texts.
  target_compile_definitions(el_text_flags INTERFACE EL_TEXT_UTF8=1)
endif()
target_link_libraries(el_text_flags INTERFACE el_flags)
