# libFuzzer target for the property-list and keyed-archive readers
# (configure with -DQUVO_FUZZ=ON and clang): every tests/platform/fuzz/*.cpp
# is one program.
if(QUVO_FUZZ)
  file(GLOB _platform_fuzzers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/platform/fuzz/*.cpp)
  foreach(src ${_platform_fuzzers})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE platform)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()
