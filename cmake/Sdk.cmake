# The engine as a library for scene programs: El::Desktop (shell, engine, portable layer and the SDL
# backend) and El::Headless (the replay runner, shell, engine, portable layer and the headless
# backend), each one archive made from the objects the tree already compiles, so the circle between
# the engine and the platform resolves inside it and nothing is compiled twice.
#
# `cmake --install build --component sdk --prefix P` installs the public headers, both archives, the
# CMake package ElEngine, the pkg-config files el-desktop.pc and el-headless.pc and eltool. These
# rules are left out of the plain `cmake --install`, which stays the player's.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(EL_SDK_VERSION 1.0.0)
if(TARGET el_platform_sdl)
  set(EL_SDK_WITH_DESKTOP ON)
else()
  set(EL_SDK_WITH_DESKTOP OFF)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/ElEngineDependencies.cmake)
if(EL_SDK_MISSING)
  message(FATAL_ERROR "pkg-config modules not found: ${EL_SDK_MISSING}")
endif()
set(EL_SDK_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/ElEngine)

# el_sdk_library NAME OUTPUT ALIAS OBJECTS_FROM... : one archive of the named targets' objects.
function(el_sdk_library name output alias)
  set(objects)
  foreach(part IN LISTS ARGN)
    list(APPEND objects $<TARGET_OBJECTS:${part}>)
  endforeach()
  add_library(${name} STATIC ${objects})
  add_dependencies(${name} ${ARGN})
  add_library(${alias} ALIAS ${name})
  string(REPLACE "El::" "" export_name ${alias})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${output} EXPORT_NAME ${export_name} LINKER_LANGUAGE CXX)
  target_include_directories(${name} INTERFACE $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
                                               $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${name} INTERFACE cxx_std_20)
  # Source texts are UTF-8; with GCC the scene's own literals become the Shift-JIS the engine takes.
  target_compile_options(${name} INTERFACE
    "$<$<COMPILE_LANG_AND_ID:CXX,GNU>:-finput-charset=UTF-8;-fexec-charset=CP932>")
  target_link_libraries(${name} PRIVATE PkgConfig::EL_SDK_FREETYPE PkgConfig::EL_SDK_FONTCONFIG PkgConfig::EL_SDK_FLUIDSYNTH)
endfunction()

set(el_sdk_targets)
set(el_sdk_pc_files)

if(TARGET el_platform_sdl)
  el_sdk_library(el_desktop el-desktop El::Desktop el_shell el_engine el_platform_soft el_platform_sdl)
  target_link_libraries(el_desktop PRIVATE PkgConfig::EL_SDK_SDL2 PkgConfig::EL_SDK_X11 PkgConfig::EL_SDK_PNG)
  list(APPEND el_sdk_targets el_desktop)
endif()

el_sdk_library(el_headless el-headless El::Headless el_replay_runner el_shell el_engine el_platform_soft
               el_platform_headless)
list(APPEND el_sdk_targets el_headless)

# pkg-config files: the archives are static, so the libraries they use are Requires (plain --libs
# links as well as --static). Cflags carry the text options of GCC and the language level.
file(RELATIVE_PATH EL_PC_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" EL_PC_PREFIX "${EL_PC_PREFIX}")
set(el_pc_requires_headless "freetype2 fontconfig fluidsynth")
set(el_pc_requires_desktop "sdl2 x11 libpng ${el_pc_requires_headless}")
foreach(kind IN ITEMS desktop headless)
  if(TARGET el_${kind})
    set(EL_PC_NAME el-${kind})
    set(EL_PC_REQUIRES ${el_pc_requires_${kind}})
    if(kind STREQUAL "desktop")
      set(EL_PC_DESCRIPTION "the engine for scene programs on the desktop (window, sound, keys, joysticks)")
    else()
      set(EL_PC_DESCRIPTION "the engine for scene programs run headless from a key script (the replay runner)")
    endif()
    configure_file(${CMAKE_CURRENT_LIST_DIR}/el.pc.in ${PROJECT_BINARY_DIR}/sdk/el-${kind}.pc @ONLY)
    list(APPEND el_sdk_pc_files ${PROJECT_BINARY_DIR}/sdk/el-${kind}.pc)
  endif()
endforeach()

install(TARGETS ${el_sdk_targets} EXPORT ElEngineTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk EXCLUDE_FROM_ALL)
# eltool packs a scene's pictures and sounds at its build time: El::eltool in the package.
add_executable(El::eltool ALIAS eltool)
install(TARGETS eltool EXPORT ElEngineTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT sdk EXCLUDE_FROM_ALL)
if(EXISTS ${PROJECT_SOURCE_DIR}/include/el)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/el DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
          COMPONENT sdk EXCLUDE_FROM_ALL FILES_MATCHING PATTERN "*.h")
endif()
install(FILES ${el_sdk_pc_files} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT sdk EXCLUDE_FROM_ALL)

install(EXPORT ElEngineTargets NAMESPACE El:: DESTINATION ${EL_SDK_INSTALL_CMAKEDIR}
        COMPONENT sdk EXCLUDE_FROM_ALL)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ElEngineConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/sdk/ElEngineConfig.cmake
                              INSTALL_DESTINATION ${EL_SDK_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/sdk/ElEngineConfigVersion.cmake
                                 VERSION ${EL_SDK_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/sdk/ElEngineConfig.cmake ${CMAKE_CURRENT_LIST_DIR}/ElEngineDependencies.cmake
              ${PROJECT_BINARY_DIR}/sdk/ElEngineConfigVersion.cmake
        DESTINATION ${EL_SDK_INSTALL_CMAKEDIR} COMPONENT sdk EXCLUDE_FROM_ALL)
