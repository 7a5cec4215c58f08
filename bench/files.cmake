# files_bench: a queue of small files coded in place through the real window against
# CopyFileA over the same files, in the same run.
add_executable(files_bench ${CMAKE_CURRENT_LIST_DIR}/files_bench.cpp)
target_link_libraries(files_bench PRIVATE vorrin_ui)
target_compile_definitions(files_bench PRIVATE VORRIN_BENCH_ARCH="${VORRIN_ARCH}")
target_sources(files_bench PRIVATE $<TARGET_OBJECTS:vorrin_resources>)
