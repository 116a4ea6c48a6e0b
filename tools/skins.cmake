# The skin maker draws the five shipped skins, the built-in skin and the theme bitmaps at build
# time. Included early (from skin/) so that the executables can append the built-in skin. A
# sanitizer's report about the tool itself never fails the build (TSAN_OPTIONS=exitcode=0).
include_guard(GLOBAL)

add_executable(harvelo_skinmaker
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/art.h
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/art.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/schemes.h
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/schemes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/face_art.h
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/face_art.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/button_art.h
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/button_art.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/theme_art.h
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/theme_art.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/title_art.h
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/title_art.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/menu_icon_art.h
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/menu_icon_art.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/app_icon_art.h
  ${CMAKE_CURRENT_LIST_DIR}/skinmaker/app_icon_art.cpp
)
target_link_libraries(harvelo_skinmaker PRIVATE harvelo_skinbase Qt6::Gui Qt6::Svg)

set(HARVELO_SKIN_DIR ${CMAKE_BINARY_DIR}/app/skins CACHE INTERNAL "Shipped skins beside the executable")
set(HARVELO_BUILTIN_SKIN ${CMAKE_BINARY_DIR}/skin/builtin.skn CACHE INTERNAL "The built-in skin")
# The program's icon in the hicolor layout, installed as it stands.
set(HARVELO_ICON_DIR ${CMAKE_BINARY_DIR}/skin/icons CACHE INTERNAL "The program's icon theme folder")
set(_theme_dir ${CMAKE_BINARY_DIR}/skin/themes)
set(_skin_outputs ${HARVELO_BUILTIN_SKIN} ${_theme_dir}/themes.qrc
  ${CMAKE_BINARY_DIR}/generated/builtin_skin.h
  ${HARVELO_ICON_DIR}/hicolor/scalable/apps/io.github.harvelo.Harvelo.svg)
foreach(n 1 2 3 4 5)
  list(APPEND _skin_outputs ${HARVELO_SKIN_DIR}/skin${n}.skn)
endforeach()

add_custom_command(OUTPUT ${_skin_outputs}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 TSAN_OPTIONS=exitcode=0 QT_QPA_PLATFORM=offscreen
    $<TARGET_FILE:harvelo_skinmaker> make
      --skins ${HARVELO_SKIN_DIR}
      --builtin ${HARVELO_BUILTIN_SKIN}
      --themes ${_theme_dir}
      --header ${CMAKE_BINARY_DIR}/generated/builtin_skin.h
      --icons ${HARVELO_ICON_DIR}
  DEPENDS harvelo_skinmaker
  COMMENT "Drawing the skins and theme bitmaps"
  VERBATIM)

add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/skin/theme_bitmaps.cpp
  COMMAND Qt6::rcc --name harvelo_themes -o ${CMAKE_BINARY_DIR}/skin/theme_bitmaps.cpp
    ${_theme_dir}/themes.qrc
  DEPENDS ${_theme_dir}/themes.qrc
  VERBATIM)

add_custom_target(harvelo_skins DEPENDS ${_skin_outputs})

add_library(harvelo_theme_bitmaps STATIC ${CMAKE_BINARY_DIR}/skin/theme_bitmaps.cpp)
set_target_properties(harvelo_theme_bitmaps PROPERTIES AUTOMOC OFF AUTORCC OFF)
target_link_libraries(harvelo_theme_bitmaps PRIVATE Qt6::Core)

# Appends the built-in skin to an executable after each link (the program reads it from its
# own end). Stripping removes it: install unstripped or append again afterwards.
function(harvelo_append_builtin_skin target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 TSAN_OPTIONS=exitcode=0
      $<TARGET_FILE:harvelo_skinmaker> append ${HARVELO_BUILTIN_SKIN} $<TARGET_FILE:${target}>
    VERBATIM)
  add_dependencies(${target} harvelo_skins)
endfunction()

# The skinned controls in each theme, rendered to PNG by tools/screenshots.sh.
add_executable(harvelo_skin_gallery EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/skin_gallery.cpp)
target_link_libraries(harvelo_skin_gallery PRIVATE harvelo_ui)
