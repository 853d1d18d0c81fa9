set(TALVO_INFO_SOURCES
  size_text.cpp
  talvo_info_codes.cpp
  talvo_info_machine.cpp
  talvo_info_plc.cpp
  talvo_info_position.cpp
  talvo_info_system.cpp
  talvo_info_tables.cpp
  talvo_info_tools.cpp
)
list(TRANSFORM TALVO_INFO_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
