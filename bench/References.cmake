# Reference libraries the benchmarks compare against (never linked into the product).
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
target_link_libraries(deflate_bench PRIVATE ZLIB::ZLIB)
target_link_libraries(png_bench PRIVATE PNG::PNG)
find_package(JPEG REQUIRED)
target_link_libraries(jpeg_bench PRIVATE JPEG::JPEG)
find_package(GIF REQUIRED)
target_link_libraries(gif_bench PRIVATE GIF::GIF)
