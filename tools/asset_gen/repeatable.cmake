# Generates the content a second time into a scratch folder and compares every file with the
# game folder's, byte for byte: the same sources must always give the same files.
#   cmake -D GENERATOR=... -D CONTENT=... -D GAME_DIR=... -D SCRATCH=... -P repeatable.cmake
file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${GENERATOR} generate ${CONTENT} ${SCRATCH} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${status}")
endif()
file(GLOB_RECURSE generated RELATIVE ${SCRATCH} ${SCRATCH}/*)
list(LENGTH generated count)
if(count LESS 70)
  message(FATAL_ERROR "only ${count} files generated")
endif()
foreach(f ${generated})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH}/${f} ${GAME_DIR}/${f}
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${f} differs between two runs of the generator")
  endif()
endforeach()
file(REMOVE_RECURSE ${SCRATCH})
message(STATUS "${count} files, identical")
