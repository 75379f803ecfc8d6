# Start-up, memory and drag benchmarks (bench/run.sh runs them side by side).
add_executable(bare_window ${CMAKE_CURRENT_LIST_DIR}/bare_window.cpp)
target_link_libraries(bare_window PRIVATE Qt6::Widgets)

add_executable(first_map ${CMAKE_CURRENT_LIST_DIR}/first_map.cpp)
target_link_libraries(first_map PRIVATE X11::xcb)

add_executable(bench_drag ${CMAKE_CURRENT_LIST_DIR}/bench_drag.cpp)
target_link_libraries(bench_drag PRIVATE zarnikcore)
