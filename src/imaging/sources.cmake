# The imaging area's sources, for its library and for the fuzz project.
set(duoptic_imaging_sources
    ${CMAKE_CURRENT_LIST_DIR}/Anaglyph.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BackgroundPriority.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DecoderMemory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DisplayCompose.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JpegDecoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JpegLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MpfIndex.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MpoViews.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PairBudget.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Picture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Raster.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Stretch.cpp
)
