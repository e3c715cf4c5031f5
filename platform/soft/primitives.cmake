# The vector rasterizer of the device contexts: pixels, lines, rectangles, polygons, curves.
target_sources(el_platform_soft PRIVATE ${CMAKE_CURRENT_LIST_DIR}/primitives.cpp)
