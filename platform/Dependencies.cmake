# Libraries the platform layer links: FreeType and Fontconfig for GDI's text (the core), SDL2
# for the host that shows the desktop on a real display.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QUILLO_FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(QUILLO_FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(QUILLO_SDL2 REQUIRED IMPORTED_TARGET sdl2)
target_link_libraries(platform_core PRIVATE PkgConfig::QUILLO_FREETYPE PkgConfig::QUILLO_FONTCONFIG)
target_link_libraries(platform PRIVATE PkgConfig::QUILLO_SDL2)
# Xlib and XFixes for the SDL host's clipboard on X displays (pictures too, not text alone);
# without them the host exchanges text through SDL only.
pkg_check_modules(QUILLO_X11 IMPORTED_TARGET x11 xfixes)
if(QUILLO_X11_FOUND)
  target_link_libraries(platform PRIVATE PkgConfig::QUILLO_X11)
  target_compile_definitions(platform PRIVATE QUILLO_HAVE_X11=1)
endif()

# quillo_embed_resources(target module_name res_dir): embeds every file under res_dir into a
# table the module registers at load; FindResource and friends read it by module.
function(quillo_embed_resources target module res_dir)
  file(GLOB_RECURSE res_files CONFIGURE_DEPENDS ${res_dir}/*)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} -DMODULE=${module} -DRES_DIR=${res_dir}
            -P ${CMAKE_SOURCE_DIR}/platform/EmbedResources.cmake
    DEPENDS ${res_files} ${CMAKE_SOURCE_DIR}/platform/EmbedResources.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/res)
  quillo_embed_resources(platform platform ${CMAKE_CURRENT_SOURCE_DIR}/res)
endif()

# libcurl for the SMTP client component (mail with MIME attachments, STARTTLS).
pkg_check_modules(QUILLO_CURL REQUIRED IMPORTED_TARGET libcurl)
target_link_libraries(platform PRIVATE PkgConfig::QUILLO_CURL)
# Printing: cairo draws each printed page into a PDF; libcups lists the printers and takes the
# jobs. Scanning goes through SANE.
pkg_check_modules(QUILLO_CAIRO REQUIRED IMPORTED_TARGET cairo cairo-pdf)
pkg_check_modules(QUILLO_SANE REQUIRED IMPORTED_TARGET sane-backends)
find_library(QUILLO_CUPS_LIBRARY cups REQUIRED)
target_link_libraries(platform PRIVATE PkgConfig::QUILLO_CAIRO PkgConfig::QUILLO_SANE ${QUILLO_CUPS_LIBRARY})
