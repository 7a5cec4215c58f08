# file_bench: the file coding job over a file of 1 GiB against CopyFileA (into a folder) and a
# plain read-and-write-back pass (in place), in the same run.
add_executable(file_bench ${CMAKE_CURRENT_LIST_DIR}/file_bench.cpp)
target_link_libraries(file_bench PRIVATE vorrin_core)
target_compile_definitions(file_bench PRIVATE VORRIN_BENCH_ARCH="${VORRIN_ARCH}")
