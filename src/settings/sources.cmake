# The settings area's sources, for its library and for the fuzz project.
set(duoptic_settings_sources
    ${CMAKE_CURRENT_LIST_DIR}/TextToInt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IniFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SaveFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LockFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DeferredSave.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TempFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UserFolders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PairOffsetsText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PairOffsets.cpp
)
