# Builds the probe and passes only when the build stops at the layer guard.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target layer_probe
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(result EQUAL 0)
  message(FATAL_ERROR "a core file including a widget header was built")
endif()
if(NOT "${out}${err}" MATCHES "this layer may not include Qt's widget headers")
  message(FATAL_ERROR "the probe failed for another reason:\n${out}${err}")
endif()
message(STATUS "the core refuses widget headers")
