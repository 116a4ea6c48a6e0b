# CD grabber, CDDB lookup and player.
harvelo_add_test(tst_audio_grabber SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_grabber.cpp
  LIBS harvelo_test_support)
harvelo_add_test(tst_xmcd_entry SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_xmcd_entry.cpp
  LIBS harvelo_test_support)
target_compile_definitions(tst_xmcd_entry PRIVATE HARVELO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
harvelo_add_test(tst_cddb_lookup SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cddb_lookup.cpp
  LIBS harvelo_test_support)
target_compile_definitions(tst_cddb_lookup PRIVATE HARVELO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
harvelo_add_test(tst_audio_player SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_player.cpp
  LIBS harvelo_test_support)
harvelo_add_test(tst_audio_player_pulse SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_player_pulse.cpp
  LIBS harvelo_test_support)
if(TARGET harvelo-cli)
  harvelo_add_test(tst_cli_disc_commands SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cli_disc_commands.cpp
    LIBS harvelo_test_support)
  target_compile_definitions(tst_cli_disc_commands PRIVATE HARVELO_CLI="$<TARGET_FILE:harvelo-cli>")
  add_dependencies(tst_cli_disc_commands harvelo-cli)
endif()
harvelo_add_test(tst_cd_images SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cd_images.cpp
  LIBS harvelo_test_support)
target_compile_definitions(tst_cd_images PRIVATE HARVELO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
