# file_bench: the file coding job over a file of 1 GiB against CopyFileA (into a folder) and a
# plain read-and-write-back pass (in place), in the same run. It links the engine's job, which
# needs nothing of the window: the benchmark gives it a view of its own.
add_executable(file_bench ${CMAKE_CURRENT_LIST_DIR}/file_bench.cpp)
target_link_libraries(file_bench PRIVATE vorrin_engine)
target_compile_definitions(file_bench PRIVATE VORRIN_BENCH_ARCH="${VORRIN_ARCH}")
