# The option parser of trovik-cli, compiled on its own: the commands themselves are not needed.
add_library(fuzz_cli_options STATIC ${PROJECT_SOURCE_DIR}/cli/clioptions.cpp)
target_include_directories(fuzz_cli_options PUBLIC ${PROJECT_SOURCE_DIR}/cli)
target_link_libraries(fuzz_cli_options PUBLIC trovik_formats Qt5::Core)
trovik_add_fuzzer(cli_options ${CMAKE_CURRENT_LIST_DIR}/cli/clioptions_fuzz.cpp fuzz_cli_options)
