trovik_add_fuzzer(binary_mat ${TROVIK_FUZZ_DIR}/binary_mat_fuzz.cpp trovik_formats PkgConfig::MATIO)
