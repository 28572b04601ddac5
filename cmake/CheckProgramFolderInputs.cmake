# Fails unless building the program alone (the run command's build) also brings every data
# file the program reads from its folder. Arguments: NINJA, BUILD_DIR, SOURCE_DIR.
execute_process(COMMAND ${NINJA} -C ${BUILD_DIR} -t inputs quillo
                OUTPUT_VARIABLE inputs RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "ninja could not list the program's inputs")
endif()
file(GLOB needed ${SOURCE_DIR}/data/gallery/*.gif ${SOURCE_DIR}/data/languages/*.txt ${SOURCE_DIR}/data/tips.txt)
foreach(file IN LISTS needed)
  string(FIND "${inputs}" "${file}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "Building the program does not bring ${file} into the program folder")
  endif()
endforeach()
