# The fuzz targets, one per parser of outside input, and the libraries each one needs. Both
# the fuzz build (libFuzzer) and the normal build (corpus replay) take them from here.
set(KVN_FUZZ_TARGETS
  text_record config_text settings_text language_pack
  modbus_answer event_record typed_number sim_request)
set(kvn_fuzz_libs_text_record kvn_texts)
set(kvn_fuzz_libs_config_text kvn_parameters)
set(kvn_fuzz_libs_settings_text kvn_texts)
set(kvn_fuzz_libs_language_pack kvn_texts)
set(kvn_fuzz_libs_modbus_answer kvn_devsim kvn_device_link)
set(kvn_fuzz_libs_event_record kvn_operations)
set(kvn_fuzz_libs_typed_number kvn_parameters)
set(kvn_fuzz_libs_sim_request kvn_devsim kvn_device_link)

# kvn_fuzz_target(EXECUTABLE TARGET SOURCES...): the target's code with its libraries.
function(kvn_fuzz_target executable target)
  add_executable(${executable} ${ARGN} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${target}.cpp)
  target_include_directories(${executable} PRIVATE ${PROJECT_SOURCE_DIR}/tests
                             ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tools)
  target_link_libraries(${executable} PRIVATE ${kvn_fuzz_libs_${target}})
endfunction()
