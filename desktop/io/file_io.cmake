# The one file writer (and whole-file reader), a library of its own with no dependency, so that
# TOLVEN_Inference writes its output the way kvr and KVRv1 do. Included by desktop/io and by
# inference, whichever is built.
if(NOT TARGET kvr_file_io)
  add_library(kvr_file_io STATIC
    ${CMAKE_CURRENT_LIST_DIR}/file_io.cpp
    ${CMAKE_CURRENT_LIST_DIR}/output_target.cpp)
  add_library(kvr::file_io ALIAS kvr_file_io)
  target_include_directories(kvr_file_io PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
  kvr_target_defaults(kvr_file_io)
endif()
