include(${CMAKE_CURRENT_LIST_DIR}/common/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/reveal/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/main/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/settings/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/editor/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/prizes/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/stage/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/sound/sources.cmake)
set(ZOP_UI_SOURCES
  ${ZOP_UI_COMMON_SOURCES} ${ZOP_UI_REVEAL_SOURCES} ${ZOP_UI_MAIN_SOURCES} ${ZOP_UI_SETTINGS_SOURCES} ${ZOP_UI_EDITOR_SOURCES}
  ${ZOP_UI_PRIZES_SOURCES} ${ZOP_UI_STAGE_SOURCES} ${ZOP_UI_SOUND_SOURCES})
