# Native tree: the portable core and its tests with AddressSanitizer and UndefinedBehaviorSanitizer.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
# Every warning is an error: a new one fails the build, and so CI.
target_compile_options(gridlark_core PUBLIC ${SANITIZE} -Wall -Wextra -Wshadow -Werror)
target_link_options(gridlark_core PUBLIC ${SANITIZE})

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/*.cpp)
add_executable(core_tests ${NATIVE_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE gridlark_core gridlark_history GTest::gtest_main)
gtest_discover_tests(core_tests DISCOVERY_TIMEOUT 60)

# Fuzz targets, replayed over deterministic inputs in every run; scripts/fuzz runs them under libFuzzer.
add_executable(collections_fuzz_replay tests/fuzz/CollectionsFuzz.cpp tests/fuzz/Replay.cpp)
target_link_libraries(collections_fuzz_replay PRIVATE gridlark_core)
add_test(NAME CollectionsFuzz.ReplaysInputsCleanly COMMAND collections_fuzz_replay)
add_executable(names_fuzz_replay tests/fuzz/NamesFuzz.cpp tests/fuzz/Replay.cpp)
target_link_libraries(names_fuzz_replay PRIVATE gridlark_core)
add_test(NAME NamesFuzz.ReplaysInputsCleanly COMMAND names_fuzz_replay)
add_executable(symboltable_fuzz_replay tests/fuzz/SymbolTableFuzz.cpp tests/fuzz/Replay.cpp)
target_link_libraries(symboltable_fuzz_replay PRIVATE gridlark_core)
add_test(NAME SymbolTableFuzz.ReplaysInputsCleanly COMMAND symboltable_fuzz_replay)
