# coder_bench: the one-step-per-word loop against CodeBlock over the same data.
# The loop lives in its own file so it is compiled as written, with the coder's own flags.
add_executable(coder_bench ${CMAKE_CURRENT_LIST_DIR}/coder_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/coder_plain_loop.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/coder_plain_loop.cpp PROPERTIES COMPILE_OPTIONS -O3)
target_link_libraries(coder_bench PRIVATE vorrin_engine_portable)
target_compile_definitions(coder_bench PRIVATE VORRIN_BENCH_ARCH="${VORRIN_ARCH}")
