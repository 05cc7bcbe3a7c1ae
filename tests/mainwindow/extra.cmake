# Fuzz targets of the main window (libFuzzer): built only in a fuzzing
# configuration (-DQUVO_FUZZ=ON with clang). Every tests/mainwindow/fuzz/*.cpp
# becomes one program linked with the main window library.
if(QUVO_FUZZ)
  file(GLOB _mainwindow_fuzzers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/mainwindow/fuzz/*.cpp)
  foreach(src ${_mainwindow_fuzzers})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE mainwindow Qt6::Gui)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()
