trovik_add_fuzzer(binary_adstime ${TROVIK_FUZZ_DIR}/binary_adstime_fuzz.cpp trovik_formats)
