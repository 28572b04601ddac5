# Sources are gathered per folder, so a new module is a new file pair and nothing else.
function(quillo_glob_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# Links a shared library with no undefined symbols, so that a dependency it lacks fails its own
# link rather than a process at load time. Left out where the sanitizer or coverage run-time
# comes from the program (clang's sanitizers, the libFuzzer build).
function(quillo_no_undefined target)
  if(QUILLO_FUZZ OR (QUILLO_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
    return()
  endif()
  target_link_options(${target} PRIVATE LINKER:--no-undefined)
endfunction()
