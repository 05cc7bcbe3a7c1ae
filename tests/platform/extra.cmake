# libFuzzer target for the property-list and keyed-archive readers
# (configure with -DQUVO_FUZZ=ON and clang): every tests/platform/fuzz/*.cpp
# is one program.
quvo_fuzz_targets(platform platform)
