# The font tests write their sample fonts with the font maker's writer.
if(TARGET vorlen_tests)
  target_sources(vorlen_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/rfnmaker/RfnWriter.cpp)
endif()

# Reference libraries for the compression and PNG cross-checks (never linked into the product).
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
target_link_libraries(vorlen_tests PRIVATE ZLIB::ZLIB PNG::PNG)

# The JPEG cross-checks compare against libjpeg-turbo (never linked into the product).
find_package(JPEG REQUIRED)
target_link_libraries(vorlen_tests PRIVATE JPEG::JPEG)

# The platform tests embed a res/ folder of their own, as every module of the program does.
if(TARGET platform_tests AND COMMAND quillo_embed_resources)
  quillo_embed_resources(platform_tests tests ${CMAKE_CURRENT_SOURCE_DIR}/platform/res)
endif()

# The language tests write their sample language files with the build's encoder.
if(TARGET quillo_tests)
  target_sources(quillo_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/lngmaker/LanguageEncoder.cpp)
  add_dependencies(quillo_tests language_files)
endif()

# The image-file tests of the program read what it writes with libpng and libjpeg-turbo
# (never linked into the product).
if(TARGET quillo_tests)
  target_link_libraries(quillo_tests PRIVATE PNG::PNG JPEG::JPEG)
endif()
# The skin maker's tests parse skin sources with its reader and run the built tool; the
# default skin's tests read the skin built into the program folder.
if(TARGET quillo_tests)
  target_sources(quillo_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/skinmaker/SkinSource.cpp
                 ${CMAKE_SOURCE_DIR}/tools/skinmaker/SkinImage.cpp)
  add_dependencies(quillo_tests skin_files skinmaker)
endif()
# The save dialog's tests read the files the program writes with ImageMagick and netpbm too.
if(TARGET quillo_tests)
  target_sources(quillo_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/vorlen/formats/ReferenceTools.cpp)
endif()

# The SDL host's own events are pushed through SDL's dummy video driver.
if(TARGET platform_tests)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(QUILLO_TEST_SDL2 REQUIRED IMPORTED_TARGET sdl2)
  target_link_libraries(platform_tests PRIVATE PkgConfig::QUILLO_TEST_SDL2)
endif()

# The filter plug-in tests run sample plug-ins written in C.
if(TARGET quillo_tests)
  add_subdirectory(filter-plugins)
  add_dependencies(quillo_tests filter_samples)
  target_compile_definitions(quillo_tests PRIVATE QUILLO_FILTER_PLUGIN_DIR="${QUILLO_FILTER_PLUGIN_DIR}")
endif()

# The plug-in component tests load small components built from tests/qlc/ as "*.qlc" libraries
# (the C++ ones link the platform layer for the window messages they send).
if(TARGET quillo_tests)
  file(GLOB qlc_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/qlc/*.c ${CMAKE_CURRENT_SOURCE_DIR}/qlc/*.cpp)
  foreach(source IN LISTS qlc_sources)
    get_filename_component(qlc_name ${source} NAME_WE)
    add_library(qlc_${qlc_name} MODULE ${source})
    set_target_properties(qlc_${qlc_name} PROPERTIES PREFIX "" OUTPUT_NAME ${qlc_name} SUFFIX ".qlc"
                          LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/qlc)
    target_include_directories(qlc_${qlc_name} PRIVATE ${CMAKE_SOURCE_DIR})
    add_dependencies(quillo_tests qlc_${qlc_name})
  endforeach()
  target_link_libraries(qlc_messages PRIVATE platform)
  target_compile_definitions(quillo_tests PRIVATE QUILLO_QLC_DIR="${CMAKE_BINARY_DIR}/tests/qlc")
endif()

# Building the program alone fills its folder with everything it reads.
if(CMAKE_GENERATOR MATCHES "Ninja")
  add_test(NAME ProgramFolderHoldsWhatTheProgramReads
           COMMAND ${CMAKE_COMMAND} -DNINJA=${CMAKE_MAKE_PROGRAM} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/CheckProgramFolderInputs.cmake)
endif()
