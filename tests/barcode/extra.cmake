# Small command-line tools used by the barcode tests and by reviewers:
# every tests/barcode/tools/*.cpp becomes one program linked with the barcode library.
file(GLOB _barcode_tools CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/barcode/tools/*.cpp)
foreach(src ${_barcode_tools})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE barcode Qt6::Svg Qt6::Widgets)
endforeach()
