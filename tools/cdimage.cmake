# CD image writer shared by the image maker and the test fixtures: Qt Core only.
add_library(harvelo_cdimage STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cd_image_writer.h ${CMAKE_CURRENT_LIST_DIR}/cd_image_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/demo_disc.h ${CMAKE_CURRENT_LIST_DIR}/demo_disc.cpp)
target_link_libraries(harvelo_cdimage PUBLIC harvelo_options Qt6::Core)

add_executable(make_cd_image ${CMAKE_CURRENT_LIST_DIR}/make_cd_image.cpp)
target_link_libraries(make_cd_image PRIVATE harvelo_cdimage)

# The demo disc that scripts/run loads when the machine has no CD drive.
set(HARVELO_DEMO_CUE ${CMAKE_BINARY_DIR}/demo/demo.cue)
add_custom_command(
  OUTPUT ${HARVELO_DEMO_CUE} ${CMAKE_BINARY_DIR}/demo/demo.bin
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/demo
  COMMAND ${CMAKE_COMMAND} -E env TSAN_OPTIONS=exitcode=0 $<TARGET_FILE:make_cd_image> --demo ${HARVELO_DEMO_CUE}
  DEPENDS make_cd_image
  COMMENT "Writing the demo disc")
add_custom_target(harvelo_demo_disc ALL DEPENDS ${HARVELO_DEMO_CUE})
