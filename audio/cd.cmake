target_sources(harvelo_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/audio_grabber.h
  ${CMAKE_CURRENT_LIST_DIR}/audio_player.h
)
