# The seed database "roduvede.db": made at build time from its schema file by
# a small tool, so the bundle never holds a database that the schema does not
# describe.
add_executable(rd_make_seed_db ${CMAKE_CURRENT_LIST_DIR}/schema/MakeSeedDatabase.cpp)
target_link_libraries(rd_make_seed_db PRIVATE SQLite::SQLite3)
add_custom_command(OUTPUT ${RD_BUNDLE_DIR}/roduvede.db
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RD_BUNDLE_DIR}
  COMMAND rd_make_seed_db ${CMAKE_CURRENT_LIST_DIR}/schema/roduvede.sql ${RD_BUNDLE_DIR}/roduvede.db
  DEPENDS rd_make_seed_db ${CMAKE_CURRENT_LIST_DIR}/schema/roduvede.sql
  COMMENT "Seed database roduvede.db")
list(APPEND RD_BUNDLE_OUTPUTS ${RD_BUNDLE_DIR}/roduvede.db)
