target_sources(harvelo_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/audio_file.h
  ${CMAKE_CURRENT_LIST_DIR}/audio_transform.h
  ${CMAKE_CURRENT_LIST_DIR}/audio_information.h
)
