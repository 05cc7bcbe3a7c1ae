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

# Links the settings into every executable of the build: the test programs,
# the program itself and the tools the tests start all check and report the
# same way, whoever starts them and from where. Called once every target exists.
function(quvo_sanitizer_defaults)
  if(NOT (QUVO_SANITIZE OR QUVO_FUZZ))
    return()
  endif()
  add_library(sanitizer_defaults OBJECT ${PROJECT_SOURCE_DIR}/cmake/SanitizerDefaults.cpp)
  target_compile_definitions(sanitizer_defaults PRIVATE
    QUVO_LEAK_SUPPRESSIONS="${PROJECT_SOURCE_DIR}/tests/lsan.supp"
    QUVO_ADDRESS_SUPPRESSIONS="${PROJECT_SOURCE_DIR}/tests/asan.supp")
  _quvo_executables(${PROJECT_SOURCE_DIR} _programs)
  foreach(_program ${_programs})
    target_link_libraries(${_program} PRIVATE sanitizer_defaults)
  endforeach()
endfunction()
