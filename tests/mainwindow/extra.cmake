# Fuzz targets of the main window (libFuzzer): built only in a fuzzing
# configuration (-DQUVO_FUZZ=ON with clang). Every tests/mainwindow/fuzz/*.cpp
# becomes one program linked with the main window library.
quvo_fuzz_targets(mainwindow mainwindow Qt6::Gui)

# The walkthrough: drives the real main window under a display (xvfb-run),
# builds a card with every tool and the card tabs, saves screenshots and the
# design. Not a test: run it by hand and look at what it shows.
add_executable(mainwindow_walkthrough ${CMAKE_CURRENT_SOURCE_DIR}/mainwindow/tools/walkthrough.cpp)
target_link_libraries(mainwindow_walkthrough PRIVATE mainwindow Qt6::Test)

# The scripting test drives the built program.
if(TARGET mainwindow_tests)
  add_dependencies(mainwindow_tests quvo-gratulo)
endif()

# The object tabs' walkthrough: makes a card with the panels alone, saves and
# reopens it, and takes a screenshot of each tab. Run by hand like the one above.
add_executable(mainwindow_panels_walkthrough ${CMAKE_CURRENT_SOURCE_DIR}/mainwindow/tools/panels_walkthrough.cpp)
target_link_libraries(mainwindow_panels_walkthrough PRIVATE mainwindow Qt6::Test)
# The print walkthrough: the print dialog, its preview and a PDF of the sheets.
add_executable(mainwindow_print_walkthrough ${CMAKE_CURRENT_SOURCE_DIR}/mainwindow/tools/print_walkthrough.cpp)
target_link_libraries(mainwindow_print_walkthrough PRIVATE mainwindow Qt6::Test)
foreach(walk mainwindow_walkthrough mainwindow_panels_walkthrough mainwindow_print_walkthrough)
  target_include_directories(${walk} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endforeach()
# Opens a design as the window does, or pastes clipboard data on a canvas,
# and tells the program's peak memory; the design file tests run it on
# designs and clipboard data that carry many pictures.
add_executable(design_open_peak ${CMAKE_CURRENT_SOURCE_DIR}/mainwindow/tools/design_open_peak.cpp)
target_link_libraries(design_open_peak PRIVATE mainwindow Qt6::Widgets)
target_include_directories(design_open_peak PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
if(TARGET mainwindow_tests)
  add_dependencies(mainwindow_tests design_open_peak)
endif()
