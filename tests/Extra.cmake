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
# (the C++ ones link the platform layer for the window messages they send; the "fault*" ones
# fault on purpose).
if(TARGET quillo_tests)
  file(GLOB qlc_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/qlc/*.c ${CMAKE_CURRENT_SOURCE_DIR}/qlc/*.cpp)
  foreach(source IN LISTS qlc_sources)
    get_filename_component(qlc_name ${source} NAME_WE)
    add_library(qlc_${qlc_name} MODULE ${source})
    set_target_properties(qlc_${qlc_name} PROPERTIES PREFIX "" OUTPUT_NAME ${qlc_name} SUFFIX ".qlc"
                          LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/qlc)
    target_include_directories(qlc_${qlc_name} PRIVATE ${CMAKE_SOURCE_DIR})
    add_dependencies(quillo_tests qlc_${qlc_name})
    # The components that fault are built as someone else's would be: without the checkers,
    # whose own reports would otherwise come before the fault.
    if(qlc_name MATCHES "^fault")
      target_compile_options(qlc_${qlc_name} PRIVATE -fno-sanitize=all)
    endif()
  endforeach()
  target_link_libraries(qlc_messages PRIVATE platform)
  target_compile_definitions(quillo_tests PRIVATE QUILLO_QLC_DIR="${CMAKE_BINARY_DIR}/tests/qlc")
endif()

# The plug-in guide's two examples, taken from the guide's own text at build time and built
# as the guide says; GuideExamplesTest runs them in the program.
if(TARGET quillo_tests)
  set(guide ${CMAKE_SOURCE_DIR}/quillo/plugins/README.md)
  set(guide_dir ${CMAKE_BINARY_DIR}/tests/guide)
  set(guide_sources ${guide_dir}/guide_darken.c ${guide_dir}/guide_negative.c)
  add_custom_command(OUTPUT ${guide_sources}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${guide_dir}
                     COMMAND ${CMAKE_COMMAND} -DGUIDE=${guide} -DOUT_DIR=${guide_dir}
                             -DEXPECTED=guide_darken.c,guide_negative.c
                             -P ${CMAKE_CURRENT_SOURCE_DIR}/guide/ExtractGuideExamples.cmake
                     DEPENDS ${guide} ${CMAKE_CURRENT_SOURCE_DIR}/guide/ExtractGuideExamples.cmake
                     COMMENT "Taking the plug-in guide's examples from its text")
  foreach(example darken negative)
    set(suffix .qlc)
    if(example STREQUAL negative)
      set(suffix .8bf)
    endif()
    add_library(guide_${example} MODULE ${guide_dir}/guide_${example}.c)
    set_target_properties(guide_${example} PROPERTIES PREFIX "" OUTPUT_NAME guide-${example} SUFFIX ${suffix}
                          LIBRARY_OUTPUT_DIRECTORY ${guide_dir})
    target_include_directories(guide_${example} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(guide_${example} PRIVATE -O2)
    add_dependencies(quillo_tests guide_${example})
  endforeach()
  target_compile_definitions(quillo_tests PRIVATE QUILLO_GUIDE_DIR="${guide_dir}")
endif()

# The tests of the user's X screen play the other programs on it with Xlib, pressing keys
# through the XTEST extension.
if(TARGET platform_tests)
  pkg_check_modules(QUILLO_TEST_X11 REQUIRED IMPORTED_TARGET x11 xtst)
  target_link_libraries(platform_tests PRIVATE PkgConfig::QUILLO_TEST_X11)
endif()

# Building the program alone fills its folder with everything it reads.
if(CMAKE_GENERATOR MATCHES "Ninja")
  add_test(NAME ProgramFolderHoldsWhatTheProgramReads
           COMMAND ${CMAKE_COMMAND} -DNINJA=${CMAKE_MAKE_PROGRAM} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/CheckProgramFolderInputs.cmake)
endif()

# The layering test checks the platform core's includes against the folders and units the
# build puts in libplatform_core.so.
if(TARGET platform_tests)
  string(JOIN " " platform_core_parts ${QUILLO_PLATFORM_CORE_FOLDERS} ${QUILLO_PLATFORM_CORE_UNITS})
  target_compile_definitions(platform_tests PRIVATE QUILLO_PLATFORM_CORE="${platform_core_parts}")
endif()
