# CD grabber, CDDB lookup and player.
harvelo_add_test(tst_audio_grabber SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_audio_grabber.cpp
  LIBS harvelo_test_support)
