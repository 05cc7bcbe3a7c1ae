# Extras of the data-source tests.

# The table model's tests watch its signals with QSignalSpy.
find_package(Qt6 REQUIRED COMPONENTS Test)
if(TARGET data_tests)
  target_link_libraries(data_tests PRIVATE Qt6::Test)
endif()

# libFuzzer targets for the readers of untrusted files (configure with
# -DQUVO_FUZZ=ON and clang): every tests/data/fuzz/*.cpp is one program.
quvo_fuzz_targets(data data)

# Reads a series file as a reader of the program does and tells the
# program's peak memory; the series tests run it on files of many lines.
add_executable(series_read_peak ${CMAKE_CURRENT_SOURCE_DIR}/data/tools/series_read_peak.cpp)
target_link_libraries(series_read_peak PRIVATE data)
target_include_directories(series_read_peak PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
if(TARGET data_tests)
  add_dependencies(data_tests series_read_peak)
endif()
