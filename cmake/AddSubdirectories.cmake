# Adds every direct subdirectory of the current source directory that has a
# CMakeLists.txt, so that each area keeps its own build file.
macro(ts_add_all_subdirectories)
  file(GLOB _ts_children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _ts_children)
  foreach(_ts_child ${_ts_children})
    if(IS_DIRECTORY ${_ts_child} AND EXISTS ${_ts_child}/CMakeLists.txt)
      add_subdirectory(${_ts_child})
    endif()
  endforeach()
endmacro()
