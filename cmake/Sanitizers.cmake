# The sanitizer builds: their compile and link options, and the settings every
# program of such a build starts with (cmake/SanitizerDefaults.cpp).

if(QUVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(QUVO_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(QUVO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The executables defined in the folder and the folders below it.
function(_quvo_executables folder out)
  get_property(_targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  set(_found)
  foreach(_target ${_targets})
    get_target_property(_type ${_target} TYPE)
    if(_type STREQUAL "EXECUTABLE")
      list(APPEND _found ${_target})
    endif()
  endforeach()
  get_property(_folders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(_sub ${_folders})
    _quvo_executables(${_sub} _below)
    list(APPEND _found ${_below})
  endforeach()
  set(${out} ${_found} PARENT_SCOPE)
endfunction()

# The settings object for programs whose suppressions lie in `folder`.
function(_quvo_sanitizer_settings name folder)
  add_library(${name} OBJECT ${PROJECT_SOURCE_DIR}/cmake/SanitizerDefaults.cpp)
  target_compile_definitions(${name} PRIVATE
    QUVO_LEAK_SUPPRESSIONS="${folder}/lsan.supp"
    QUVO_ADDRESS_SUPPRESSIONS="${folder}/asan.supp")
endfunction()

# Links the settings into every executable of the build: the test programs,
# the program itself and the tools the tests start all check and report the
# same way, whoever starts them and from where. Called once every target exists.
# A program whose property QUVO_SUPPRESSIONS_FOLDER names another folder looks
# for its suppressions there (the probe of a program moved away from its
# source tree).
# In the thread checker's build every executable links instead the choice of
# the races it reports (cmake/ThreadCheckerReports.cpp) and the order that
# Qt's semaphores and thread pools give (cmake/ThreadCheckerQtOrder.cpp).
function(quvo_sanitizer_defaults)
  if(QUVO_TSAN)
    add_library(thread_checker_view OBJECT ${PROJECT_SOURCE_DIR}/cmake/ThreadCheckerReports.cpp
                                           ${PROJECT_SOURCE_DIR}/cmake/ThreadCheckerQtOrder.cpp)
    target_link_libraries(thread_checker_view PRIVATE Qt6::Core)
    _quvo_executables(${PROJECT_SOURCE_DIR} _programs)
    foreach(_program ${_programs})
      target_link_libraries(${_program} PRIVATE thread_checker_view ${CMAKE_DL_LIBS})
    endforeach()
  endif()
  if(NOT (QUVO_SANITIZE OR QUVO_FUZZ))
    return()
  endif()
  _quvo_sanitizer_settings(sanitizer_defaults ${PROJECT_SOURCE_DIR}/tests)
  _quvo_executables(${PROJECT_SOURCE_DIR} _programs)
  foreach(_program ${_programs})
    get_target_property(_folder ${_program} QUVO_SUPPRESSIONS_FOLDER)
    if(_folder)
      _quvo_sanitizer_settings(${_program}_sanitizer_defaults ${_folder})
      target_link_libraries(${_program} PRIVATE ${_program}_sanitizer_defaults)
    else()
      target_link_libraries(${_program} PRIVATE sanitizer_defaults)
    endif()
  endforeach()
endfunction()
