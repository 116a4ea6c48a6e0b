add_library(harvelo_audio_test_util STATIC
  ${CMAKE_CURRENT_LIST_DIR}/audio_test_util.h ${CMAKE_CURRENT_LIST_DIR}/audio_test_util.cpp)
target_link_libraries(harvelo_audio_test_util PUBLIC harvelo_test_support)

harvelo_add_test(tst_audio_roundtrip SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_roundtrip.cpp
  LIBS harvelo_audio_test_util)
harvelo_add_test(tst_audio_format_checks SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_format_checks.cpp
  LIBS harvelo_audio_test_util PkgConfig::CODECS)
harvelo_add_test(tst_audio_bad_input SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_bad_input.cpp
  LIBS harvelo_audio_test_util)
harvelo_add_test(tst_audio_levels SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_levels.cpp
  LIBS harvelo_audio_test_util)
harvelo_add_test(tst_audio_transform SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_transform.cpp
  LIBS harvelo_test_support)
harvelo_add_test(tst_audio_information SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_information.cpp
  LIBS harvelo_audio_test_util)
if(TARGET harvelo-cli)
  harvelo_add_test(tst_harvelo_cli SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_harvelo_cli.cpp
    LIBS harvelo_test_support)
  target_compile_definitions(tst_harvelo_cli PRIVATE HARVELO_CLI_PATH="$<TARGET_FILE:harvelo-cli>")
  add_dependencies(tst_harvelo_cli harvelo-cli)
  harvelo_add_test(tst_cli_batch_convert SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_cli_batch_convert.cpp
    LIBS harvelo_test_support)
  target_compile_definitions(tst_cli_batch_convert PRIVATE HARVELO_CLI_PATH="$<TARGET_FILE:harvelo-cli>")
  add_dependencies(tst_cli_batch_convert harvelo-cli)
  harvelo_add_test(tst_encoders_match_tools SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_encoders_match_tools.cpp
    LIBS harvelo_test_support)
  target_compile_definitions(tst_encoders_match_tools PRIVATE HARVELO_CLI_PATH="$<TARGET_FILE:harvelo-cli>")
  add_dependencies(tst_encoders_match_tools harvelo-cli)
endif()
