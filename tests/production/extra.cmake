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

# libFuzzer target for the To-line reader of the mail window (configure with
# -DQUVO_FUZZ=ON and clang): every tests/production/fuzz/*.cpp is one
# program; its seeds lie in the folder of its name without "fuzz_" and with
# "_seeds" (fuzz_mail_addresses: fuzz/mail_addresses_seeds). New inputs go
# to the first folder named, for example
#   build/fuzz/tests/fuzz_mail_addresses -max_total_time=600 /tmp/corpus \
#     tests/production/fuzz/mail_addresses_seeds
quvo_fuzz_targets(production production)
