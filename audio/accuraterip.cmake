# Proof of an exact rip: per-track checksums and the AccurateRip disc ID, database and lookup.
target_sources(harvelo_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/track_checksums.h ${CMAKE_CURRENT_LIST_DIR}/track_checksums.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accuraterip_disc_id.h ${CMAKE_CURRENT_LIST_DIR}/accuraterip_disc_id.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accuraterip_db.h ${CMAKE_CURRENT_LIST_DIR}/accuraterip_db.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accuraterip_client.h ${CMAKE_CURRENT_LIST_DIR}/accuraterip_client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/disc_codes.h ${CMAKE_CURRENT_LIST_DIR}/disc_codes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shifted_track_reader.h ${CMAKE_CURRENT_LIST_DIR}/shifted_track_reader.cpp
)
# The checksums run over every sample of a rip: -O3 lets GCC vectorize their loops.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/track_checksums.cpp PROPERTIES COMPILE_OPTIONS -O3)
