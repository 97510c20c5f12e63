# The catalogue area's sources, for its library and for the fuzz project.
set(duoptic_catalogue_sources
    ${CMAKE_CURRENT_LIST_DIR}/AsciiCase.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DirectoryEntries.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FolderListing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Classify.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PairList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Scan.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OpenPairFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PathTarget.cpp
)
