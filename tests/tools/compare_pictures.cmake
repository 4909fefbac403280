# Runs the picture generator into a scratch folder and fails when any of its
# pictures differs from the committed one.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${GENERATOR} ${SCRATCH} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_pictures failed: ${result}")
endif()
foreach(picture penis.bmp ball.bmp black.bmp black2.bmp)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E compare_files ${SCRATCH}/${picture} ${COMMITTED}/${picture}
    RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR
            "${picture} differs from what make_pictures writes; run it into game/pictures")
  endif()
endforeach()
