# dayplot_bench: drawDayGraph of a full day with its JPEG (and BMP) write.
# Included from bench/CMakeLists.txt.
add_executable(dayplot_bench ${CMAKE_CURRENT_LIST_DIR}/dayplot_bench.cpp)
target_link_libraries(dayplot_bench PRIVATE dayplot_render benchmark::benchmark Qt6::Gui)
