# The production tests read barcodes on exported cards with zxing-cpp.
if(TARGET production_tests AND TARGET ZXing::ZXing)
  target_link_libraries(production_tests PRIVATE ZXing::ZXing)
endif()
