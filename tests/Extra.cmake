# The font tests write their sample fonts with the font maker's writer.
if(TARGET vorlen_tests)
  target_sources(vorlen_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/rfnmaker/RfnWriter.cpp)
endif()
