set(TALVO_INFO_TESTS
  size_text_test.cpp
  talvo_info_test.cpp
  talvo_info_values_test.cpp
)
list(TRANSFORM TALVO_INFO_TESTS PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
