# file_bench: the file coding job over a file of 1 GiB against CopyFileA (into a folder) and a
# plain read-and-write-back pass (in place), in the same run. The job's source is compiled in
# so the benchmark needs nothing of the window.
add_executable(file_bench ${CMAKE_CURRENT_LIST_DIR}/file_bench.cpp ${CMAKE_SOURCE_DIR}/engine/file_coding_job.cpp
               ${CMAKE_SOURCE_DIR}/engine/partly_coded_files.cpp
               ${CMAKE_SOURCE_DIR}/engine/file_identity.cpp)
target_link_libraries(file_bench PRIVATE vorrin_core ntdll)
target_compile_definitions(file_bench PRIVATE VORRIN_BENCH_ARCH="${VORRIN_ARCH}")
