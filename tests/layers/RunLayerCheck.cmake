# Configures the probe project (check/) with one breach of the layering and
# expects the layer check to refuse it in the words given, or, for the breach
# "none", to pass.
#   cmake -DWMS_SOURCE_DIR=<source> -DGENERATOR=<generator> -DWORK_DIR=<scratch>
#         -DBREACH=<breach> "-DEXPECTED=<regular expression>" -P RunLayerCheck.cmake
set(_dir ${WORK_DIR}/${BREACH})
file(REMOVE_RECURSE ${_dir})
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${WMS_SOURCE_DIR}/tests/layers/check -B ${_dir} -G ${GENERATOR}
          -DWMS_SOURCE_DIR=${WMS_SOURCE_DIR} -DBREACH=${BREACH}
  RESULT_VARIABLE _result
  OUTPUT_VARIABLE _out
  ERROR_VARIABLE _out)
file(REMOVE_RECURSE ${_dir})
if(BREACH STREQUAL "none")
  if(NOT _result EQUAL 0 OR NOT _out MATCHES "${EXPECTED}")
    message(FATAL_ERROR "the layers hold, yet the check refused them:\n${_out}")
  endif()
elseif(_result EQUAL 0)
  message(FATAL_ERROR "the breach \"${BREACH}\" passed the layer check:\n${_out}")
elseif(NOT _out MATCHES "${EXPECTED}")
  message(FATAL_ERROR "the breach \"${BREACH}\" failed otherwise than with \"${EXPECTED}\":\n${_out}")
endif()
message(STATUS "${BREACH}: ${EXPECTED}")
