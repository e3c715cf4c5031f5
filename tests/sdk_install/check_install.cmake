# Installs the sdk component of BUILD_DIR into WORK_DIR/prefix and checks the tree, the pkg-config
# files and a consumer project configured against the prefix alone. Fails at the first wrong thing.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

function(expect_contains text wanted what)
  string(FIND "${text}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${what}: '${wanted}' missing from:\n${text}")
  endif()
endfunction()

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --component sdk --prefix ${prefix}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install --component sdk failed: ${status}")
endif()

# The SDK's files, and nothing of the player's install.
set(wanted bin/eltool include/el/el.h include/el/sound.h lib/libel-headless.a lib/cmake/ElEngine/ElEngineConfig.cmake
    lib/cmake/ElEngine/ElEngineConfigVersion.cmake lib/cmake/ElEngine/ElEngineTargets.cmake
    lib/cmake/ElEngine/ElEngineDependencies.cmake lib/pkgconfig/el-headless.pc)
if(HAVE_DESKTOP)
  list(APPEND wanted lib/libel-desktop.a lib/pkgconfig/el-desktop.pc)
endif()
foreach(file IN LISTS wanted)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
foreach(player IN ITEMS lib/milkanet bin/milkanet share/applications share/metainfo share/icons)
  if(EXISTS ${prefix}/${player})
    message(FATAL_ERROR "the player's ${player} came with the sdk component")
  endif()
endforeach()

# One archive holds the engine and both ends of its circle with the platform.
execute_process(COMMAND nm -C --defined-only ${prefix}/lib/libel-headless.a OUTPUT_VARIABLE symbols
                ERROR_QUIET)
foreach(symbol IN ITEMS "replay::RunReplay" "WinMain" "elDraw::LoadObject" "platform::Initialise()")
  expect_contains("${symbols}" "${symbol}" "libel-headless.a")
endforeach()

# pkg-config from the prefix alone: plain and static link lines, the text options in Cflags.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs el-headless OUTPUT_VARIABLE flags RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pkg-config el-headless failed")
endif()
foreach(wanted IN ITEMS "-lel-headless" "-lfluidsynth" "-lfreetype" "-fexec-charset=CP932" "-std=c++20"
                        "${prefix}/lib/pkgconfig/../../include")
  expect_contains("${flags}" "${wanted}" "pkg-config --cflags --libs el-headless")
endforeach()
execute_process(COMMAND ${PKG_CONFIG} --libs --static el-headless OUTPUT_VARIABLE flags)
expect_contains("${flags}" "-lel-headless" "pkg-config --libs --static el-headless")
expect_contains("${flags}" "-lfontconfig" "pkg-config --libs --static el-headless")
if(HAVE_DESKTOP)
  execute_process(COMMAND ${PKG_CONFIG} --libs el-desktop OUTPUT_VARIABLE flags)
  expect_contains("${flags}" "-lel-desktop" "pkg-config --libs el-desktop")
  expect_contains("${flags}" "-lSDL2" "pkg-config --libs el-desktop")
endif()

# A consumer configured against the prefix: the targets, C++20, the GCC-only text options and the
# system libraries as link-only dependencies.
execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER} -B ${WORK_DIR}/consumer -DCMAKE_PREFIX_PATH=${prefix}
                OUTPUT_VARIABLE report ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the consumer does not configure:\n${report}\n${errors}")
endif()
foreach(wanted IN ITEMS "target El::Headless" "target El::eltool" "features cxx_std_20"
                        "$<$<COMPILE_LANG_AND_ID:CXX,GNU>:-finput-charset=UTF-8;-fexec-charset=CP932>"
                        "includes ${prefix}/include" "$<LINK_ONLY:PkgConfig::EL_SDK_FLUIDSYNTH>")
  expect_contains("${report}" "${wanted}" "the consumer's view of ElEngine")
endforeach()
if(HAVE_DESKTOP)
  expect_contains("${report}" "target El::Desktop" "the consumer's view of ElEngine")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
