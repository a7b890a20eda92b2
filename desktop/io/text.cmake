# The text helpers (io/text.h), a library of their own with no dependency, so that
# TOLVEN_Inference shows the texts of its input in messages the way kvr and KVRv1 do. Included
# by desktop/io and by inference, whichever is built.
if(NOT TARGET kvr_text)
  add_library(kvr_text STATIC ${CMAKE_CURRENT_LIST_DIR}/text.cpp)
  add_library(kvr::text ALIAS kvr_text)
  target_include_directories(kvr_text PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
  kvr_target_defaults(kvr_text)
endif()
