# Probes of the sanitizers themselves (only in sanitizer builds): the leak check
# survives per-thread blocks of loaded modules and still reports a leak, made
# anywhere, also through glib's allocator; the programs that tests start run
# with the tests' settings, and start without their suppressions when these are
# gone; the program starts and quits on an X display.
if(QUVO_SANITIZE)
  add_library(sanitizer_thread_local_module MODULE ${CMAKE_CURRENT_SOURCE_DIR}/sanitizers/ThreadLocalModule.cpp)
  add_executable(sanitizer_probe ${CMAKE_CURRENT_SOURCE_DIR}/sanitizers/SanitizerProbeTest.cpp)
  target_link_libraries(sanitizer_probe PRIVATE test_support ${CMAKE_DL_LIBS})
  # The programs the tests start, besides the test programs.
  set(_started)
  foreach(_program quvo-gratulo barcode_render barcode_render_2d filtering_at_exit card_batch_run)
    if(TARGET ${_program})
      list(APPEND _started "$<TARGET_FILE:${_program}>")
      add_dependencies(sanitizer_probe ${_program})
    endif()
  endforeach()
  list(JOIN _started ":" _started)
  # A program whose source tree is gone: its suppressions' folder does not exist.
  add_executable(sanitizer_moved_program ${CMAKE_CURRENT_SOURCE_DIR}/sanitizers/MovedProgram.cpp)
  set_target_properties(sanitizer_moved_program PROPERTIES QUVO_SUPPRESSIONS_FOLDER ${CMAKE_CURRENT_BINARY_DIR}/gone)
  target_compile_definitions(sanitizer_probe PRIVATE
    QUVO_THREAD_LOCAL_MODULE="$<TARGET_FILE:sanitizer_thread_local_module>"
    QUVO_PROGRAMS_TESTS_START="${_started}"
    QUVO_PROGRAM="$<TARGET_FILE:quvo-gratulo>"
    QUVO_MOVED_PROGRAM="$<TARGET_FILE:sanitizer_moved_program>")
  add_dependencies(sanitizer_probe sanitizer_thread_local_module sanitizer_moved_program)

  function(quvo_sanitizer_probe name)
    cmake_parse_arguments(_probe "" "CASE;PASS_REGULAR_EXPRESSION" "ENVIRONMENT" ${ARGN})
    if(NOT _probe_CASE)
      set(_probe_CASE ${name})
    endif()
    add_test(NAME SanitizerProbe.${name} COMMAND sanitizer_probe --gtest_filter=SanitizerProbe.${_probe_CASE})
    set_tests_properties(SanitizerProbe.${name} PROPERTIES
      TIMEOUT ${QUVO_TEST_TIMEOUT} ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${_probe_ENVIRONMENT}")
    if(_probe_PASS_REGULAR_EXPRESSION)
      # The case itself passes; the process must end with the leak report.
      set_tests_properties(SanitizerProbe.${name} PROPERTIES
        PASS_REGULAR_EXPRESSION "${_probe_PASS_REGULAR_EXPRESSION}")
    endif()
  endfunction()

  quvo_sanitizer_probe(ThreadLocalBlocksOfALoadedModuleAtExit)
  quvo_sanitizer_probe(ProgramsThatTestsStartCheckAsTheTestsDo)
  quvo_sanitizer_probe(TheProgramStartsAndQuitsOnAnXDisplay)
  quvo_sanitizer_probe(AProgramWhoseSuppressionsAreGoneStartsAndSaysSoOnce)
  quvo_sanitizer_probe(ADeliberateLeakIsReported PASS_REGULAR_EXPRESSION "detected memory leaks.*4242 byte")
  set(_both "4444 byte.*4343 byte|4343 byte.*4444 byte")
  quvo_sanitizer_probe(LeaksOfCodeRunFromTheEventLoopAreReported PASS_REGULAR_EXPRESSION "${_both}")
  # A full unwinder sees the frames of the event loop's libraries below ours,
  # as it would on a system whose libraries keep their frame pointers.
  quvo_sanitizer_probe(LeaksOfCodeRunFromTheEventLoopAreReportedWithTheFullUnwinder
    CASE LeaksOfCodeRunFromTheEventLoopAreReported PASS_REGULAR_EXPRESSION "${_both}"
    ENVIRONMENT "ASAN_OPTIONS=fast_unwind_on_malloc=0")
  foreach(_unwinder "" "fast_unwind_on_malloc=0")
    set(_name LeaksOfOursAllocatedThroughGlibAreReported)
    if(_unwinder)
      set(_name ${_name}WithTheFullUnwinder)
    endif()
    quvo_sanitizer_probe(${_name} CASE LeaksOfOursAllocatedThroughGlibAreReported
      PASS_REGULAR_EXPRESSION "detected memory leaks.*4546 byte" ENVIRONMENT "ASAN_OPTIONS=${_unwinder}")
  endforeach()
endif()

# The race probe of the thread checker's build (`make tsan`): races of ours
# made on purpose, also where Qt or glib read what our thread wrote, where Qt
# both writes (on our thread) and reads, or a pool task reads what its
# starter wrote after the start. Each case runs alone with the
# suppressions of tests/tsan.supp and must be reported.
if(QUVO_TSAN)
  add_executable(race_probe ${CMAKE_CURRENT_SOURCE_DIR}/sanitizers/RaceProbeTest.cpp)
  target_link_libraries(race_probe PRIVATE test_support ${CMAKE_DL_LIBS})
  foreach(_case OurThreadAndOurCode QtCoreCopiesWhatOurThreadWrote QtGuiCopiesWhatOurThreadWrote
                GlibCopiesWhatOurThreadWrote QtFillsOurArrayThatQtCopies QtBufferWritesOurArrayThatQtCopies
                QtPaintsIntoOurPictureThatQtCopies OurPoolTaskReadsWhatWeWroteAfterStartingIt)
    add_test(NAME RaceProbe.${_case} COMMAND race_probe --gtest_filter=RaceProbe.${_case})
    set_tests_properties(RaceProbe.${_case} PROPERTIES
      TIMEOUT ${QUVO_TEST_TIMEOUT}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp"
      PASS_REGULAR_EXPRESSION "WARNING: ThreadSanitizer: data race.*RaceProbeTest.cpp")
  endforeach()
endif()
