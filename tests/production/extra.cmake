# The production tests read barcodes on exported cards with zxing-cpp.
if(TARGET production_tests AND TARGET ZXing::ZXing)
  target_link_libraries(production_tests PRIVATE ZXing::ZXing)
endif()

# A batch export in a process of its own, which the tests end at a chosen point.
add_executable(card_batch_run ${CMAKE_CURRENT_SOURCE_DIR}/production/tools/card_batch_run.cpp)
target_link_libraries(card_batch_run PRIVATE production)
if(TARGET production_tests)
  add_dependencies(production_tests card_batch_run)
endif()
