# A program that ends its application object while a picture is being
# filtered for the window; the core tests run it.
add_executable(filtering_at_exit ${CMAKE_CURRENT_SOURCE_DIR}/core/tools/filtering_at_exit.cpp)
target_link_libraries(filtering_at_exit PRIVATE core Qt6::Gui)
add_dependencies(core_tests filtering_at_exit)

# libFuzzer target for the picture check (configure with -DQUVO_FUZZ=ON and
# clang): every tests/core/fuzz/*.cpp is one program; its seeds are in
# tests/core/fuzz/seeds.
quvo_fuzz_targets(core core)
