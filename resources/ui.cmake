# The bundle images of the widgets and screens: drawn at build time by a small
# Cairo tool at 1x and 2x. The names come from the tool's own table (one
# entry a line, each starting with {"name.png"), so the list lives in one place.
add_executable(rd_draw_bundle_images ${CMAKE_CURRENT_LIST_DIR}/images/DrawBundleImages.cpp)
target_link_libraries(rd_draw_bundle_images PRIVATE PkgConfig::CAIRO)

file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/images/DrawBundleImages.cpp _rd_image_lines
  REGEX "^ *\\{\"[A-Za-z0-9_]+\\.png\"")
set(_rd_image_outputs)
foreach(line ${_rd_image_lines})
  string(REGEX MATCH "\"([A-Za-z0-9_]+)\\.png\"" _m "${line}")
  list(APPEND _rd_image_outputs ${RD_BUNDLE_DIR}/${CMAKE_MATCH_1}.png ${RD_BUNDLE_DIR}/${CMAKE_MATCH_1}@2x.png)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/images/DrawBundleImages.cpp)

add_custom_command(OUTPUT ${_rd_image_outputs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RD_BUNDLE_DIR}
  COMMAND rd_draw_bundle_images ${RD_BUNDLE_DIR}
  DEPENDS rd_draw_bundle_images
  COMMENT "Bundle images")
list(APPEND RD_BUNDLE_OUTPUTS ${_rd_image_outputs})
