# The tool that makes the shipped templates and wizard backgrounds
# (scripts/make_templates.sh runs it).
add_executable(make_templates ${CMAKE_CURRENT_SOURCE_DIR}/personalisation/tools/make_templates.cpp)
target_link_libraries(make_templates PRIVATE mainwindow personalisation)

# The walkthrough of the personalisation dialogs in the real window, under a
# display (xvfb-run). Not a test: run it by hand and look at the screenshots.
add_executable(personalisation_walkthrough ${CMAKE_CURRENT_SOURCE_DIR}/personalisation/tools/walkthrough.cpp)
target_link_libraries(personalisation_walkthrough PRIVATE mainwindow personalisation Qt6::Test)
