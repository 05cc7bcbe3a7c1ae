# Probes of the sanitizers themselves (only in sanitizer builds): the leak check
# survives per-thread blocks of loaded modules, and still reports a leak.
if(QUVO_SANITIZE)
  add_library(sanitizer_thread_local_module MODULE ${CMAKE_CURRENT_SOURCE_DIR}/sanitizers/ThreadLocalModule.cpp)
  add_executable(sanitizer_probe ${CMAKE_CURRENT_SOURCE_DIR}/sanitizers/SanitizerProbeTest.cpp)
  target_link_libraries(sanitizer_probe PRIVATE test_support ${CMAKE_DL_LIBS})
  target_compile_definitions(sanitizer_probe PRIVATE
    QUVO_THREAD_LOCAL_MODULE="$<TARGET_FILE:sanitizer_thread_local_module>")
  add_dependencies(sanitizer_probe sanitizer_thread_local_module)

  add_test(NAME SanitizerProbe.ThreadLocalBlocksOfALoadedModuleAtExit
           COMMAND sanitizer_probe --gtest_filter=SanitizerProbe.ThreadLocalBlocksOfALoadedModuleAtExit)
  add_test(NAME SanitizerProbe.ADeliberateLeakIsReported
           COMMAND sanitizer_probe --gtest_filter=SanitizerProbe.ADeliberateLeakIsReported)
  # The case itself passes; the process must end with the leak report.
  set_tests_properties(SanitizerProbe.ADeliberateLeakIsReported PROPERTIES
    PASS_REGULAR_EXPRESSION "detected memory leaks.*4242 byte")
  set_tests_properties(SanitizerProbe.ThreadLocalBlocksOfALoadedModuleAtExit SanitizerProbe.ADeliberateLeakIsReported
    PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
