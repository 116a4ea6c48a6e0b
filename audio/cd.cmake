target_sources(harvelo_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/audio_grabber.h ${CMAKE_CURRENT_LIST_DIR}/audio_grabber.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cd_drive_list.h ${CMAKE_CURRENT_LIST_DIR}/cd_drive_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cd_disc.h ${CMAKE_CURRENT_LIST_DIR}/cd_disc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cd_track_reader.h ${CMAKE_CURRENT_LIST_DIR}/cd_track_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cd_image.h ${CMAKE_CURRENT_LIST_DIR}/cd_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cd_image_track_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cue_sheet_reader.cpp ${CMAKE_CURRENT_LIST_DIR}/toc_file_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/freedb_disc_id.h ${CMAKE_CURRENT_LIST_DIR}/freedb_disc_id.cpp
  ${CMAKE_CURRENT_LIST_DIR}/disc_names.h ${CMAKE_CURRENT_LIST_DIR}/disc_names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_decoding.h ${CMAKE_CURRENT_LIST_DIR}/text_decoding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xmcd_entry.h ${CMAKE_CURRENT_LIST_DIR}/xmcd_entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cddb_client.h ${CMAKE_CURRENT_LIST_DIR}/cddb_client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/http_fetcher.h ${CMAKE_CURRENT_LIST_DIR}/http_fetcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cdio_log.h ${CMAKE_CURRENT_LIST_DIR}/cdio_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cddb_reply.h
  ${CMAKE_CURRENT_LIST_DIR}/local_disc_db.h ${CMAKE_CURRENT_LIST_DIR}/local_disc_db.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audio_player.h ${CMAKE_CURRENT_LIST_DIR}/audio_player.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pcm_queue.h ${CMAKE_CURRENT_LIST_DIR}/pcm_queue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audio_output.h ${CMAKE_CURRENT_LIST_DIR}/audio_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/null_audio_output.h ${CMAKE_CURRENT_LIST_DIR}/null_audio_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_audio_output.h ${CMAKE_CURRENT_LIST_DIR}/qt_audio_output.cpp
)
target_link_libraries(harvelo_core PRIVATE PkgConfig::LIBCUE)
