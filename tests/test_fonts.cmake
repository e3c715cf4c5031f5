# The font configuration every test runs with: only the font files that the set-up's packages
# install, linked into the build tree, plus families made from further links to those files, so
# that the installed-font list holds the same rows on every machine whatever else is installed.
# Matching follows the rules a fresh system has (the standard rule files of the font configuration
# package and the DejaVu package); the user's and the administrator's own files are left out, and
# the cache lives in the build tree.
set(EL_TEST_FONT_DIR ${CMAKE_BINARY_DIR}/tests/fonts)
set(EL_TEST_FONT_CACHE ${CMAKE_BINARY_DIR}/tests/fontconfig-cache)
set(EL_TEST_FONTCONFIG_FILE ${CMAKE_BINARY_DIR}/tests/fonts.conf)

set(el_dejavu /usr/share/fonts/truetype/dejavu)
set(el_test_font_files
  ${el_dejavu}/DejaVuSans.ttf ${el_dejavu}/DejaVuSans-Bold.ttf
  ${el_dejavu}/DejaVuSansMono.ttf ${el_dejavu}/DejaVuSansMono-Bold.ttf
  ${el_dejavu}/DejaVuSerif.ttf ${el_dejavu}/DejaVuSerif-Bold.ttf
  /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
  /usr/share/fonts/opentype/ipafont-mincho/ipam.ttf /usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf)
# Families of their own on Latin faces: enough rows that the lists the tests page through are
# longer than one screen.
set(el_test_extra_family_count 12)
set(el_test_extra_sources
  ${el_dejavu}/DejaVuSans.ttf ${el_dejavu}/DejaVuSerif.ttf ${el_dejavu}/DejaVuSansMono.ttf)

file(REMOVE_RECURSE ${EL_TEST_FONT_DIR})
file(MAKE_DIRECTORY ${EL_TEST_FONT_DIR} ${EL_TEST_FONT_CACHE})
foreach(font IN LISTS el_test_font_files)
  if(NOT EXISTS ${font})
    message(WARNING "${font} is missing: run scripts/setup.sh, or the text tests will fail")
    continue()
  endif()
  get_filename_component(name ${font} NAME)
  file(CREATE_LINK ${font} ${EL_TEST_FONT_DIR}/${name} SYMBOLIC)
endforeach()

function(el_xml_escape out text)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

el_xml_escape(el_dir_xml ${EL_TEST_FONT_DIR})
el_xml_escape(el_cache_xml ${EL_TEST_FONT_CACHE})
set(el_renames "")
list(LENGTH el_test_extra_sources el_source_count)
foreach(i RANGE 1 ${el_test_extra_family_count})
  math(EXPR pick "(${i} - 1) % ${el_source_count}")
  list(GET el_test_extra_sources ${pick} source)
  if(i LESS 10)
    set(number "0${i}")
  else()
    set(number "${i}")
  endif()
  set(link ${EL_TEST_FONT_DIR}/extra-face-${number}.ttf)
  if(EXISTS ${source})
    file(CREATE_LINK ${source} ${link} SYMBOLIC)
  endif()
  el_xml_escape(link_xml ${link})
  string(APPEND el_renames
    "  <match target=\"scan\">\n"
    "    <test name=\"file\"><string>${link_xml}</string></test>\n"
    "    <edit name=\"family\" mode=\"assign_replace\" binding=\"strong\"><string>Extra Face ${number}</string></edit>\n"
    "  </match>\n")
endforeach()

set(el_rules "")
foreach(rule
    /usr/share/fontconfig/conf.avail/10-hinting-slight.conf
    /usr/share/fontconfig/conf.avail/10-scale-bitmap-fonts.conf
    /usr/share/fontconfig/conf.avail/10-yes-antialias.conf
    /usr/share/fontconfig/conf.avail/11-lcdfilter-default.conf
    /usr/share/fontconfig/conf.avail/20-unhint-small-vera.conf
    /usr/share/fontconfig/conf.avail/30-metric-aliases.conf
    /usr/share/fontconfig/conf.avail/40-nonlatin.conf
    /usr/share/fontconfig/conf.avail/45-generic.conf
    /usr/share/fontconfig/conf.avail/45-latin.conf
    /usr/share/fontconfig/conf.avail/48-spacing.conf
    /usr/share/fontconfig/conf.avail/49-sansserif.conf
    /etc/fonts/conf.avail/57-dejavu-sans-mono.conf
    /etc/fonts/conf.avail/57-dejavu-sans.conf
    /etc/fonts/conf.avail/57-dejavu-serif.conf
    /usr/share/fontconfig/conf.avail/60-generic.conf
    /usr/share/fontconfig/conf.avail/60-latin.conf
    /usr/share/fontconfig/conf.avail/65-fonts-persian.conf
    /usr/share/fontconfig/conf.avail/65-nonlatin.conf
    /usr/share/fontconfig/conf.avail/69-unifont.conf
    /usr/share/fontconfig/conf.avail/70-no-bitmaps.conf
    /usr/share/fontconfig/conf.avail/80-delicious.conf
    /usr/share/fontconfig/conf.avail/90-synthetic.conf)
  string(APPEND el_rules "  <include ignore_missing=\"yes\">${rule}</include>\n")
endforeach()

file(WRITE ${EL_TEST_FONTCONFIG_FILE}
  "<?xml version=\"1.0\"?>\n"
  "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
  "<!-- Written by the build for the tests: only the set-up's fonts, and named copies of them. -->\n"
  "<fontconfig>\n"
  "  <dir>${el_dir_xml}</dir>\n"
  "  <cachedir>${el_cache_xml}</cachedir>\n"
  "${el_renames}"
  "${el_rules}"
  "</fontconfig>\n")
