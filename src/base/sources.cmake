# The plain C++ part of the base area's sources, for its library and for the fuzz project.
set(duoptic_base_sources
    ${CMAKE_CURRENT_LIST_DIR}/FileIdentity.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileRead.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileWrite.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PairKey.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Trace.cpp
)
