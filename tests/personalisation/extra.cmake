# The tool that makes the shipped templates and wizard backgrounds
# (scripts/make_templates.sh runs it).
add_executable(make_templates ${CMAKE_CURRENT_SOURCE_DIR}/personalisation/tools/make_templates.cpp)
target_link_libraries(make_templates PRIVATE mainwindow personalisation)
