# Included by app/CMakeLists.txt: the upload part's members of TForm1 and the
# libraries they need (the serial port, the lamps, the frame, the open hint).
set(KMP_WINDOW_UPLOAD_SOURCES
  ${PROJECT_SOURCE_DIR}/upload/upload_state.h
  ${PROJECT_SOURCE_DIR}/upload/upload_texts.h
  ${PROJECT_SOURCE_DIR}/upload/port_choice.h
  ${PROJECT_SOURCE_DIR}/upload/port_choice.cpp
  ${PROJECT_SOURCE_DIR}/upload/com_port1.cpp
  ${PROJECT_SOURCE_DIR}/upload/upload_setup.cpp
  ${PROJECT_SOURCE_DIR}/upload/port_search.cpp
  ${PROJECT_SOURCE_DIR}/upload/connection.cpp
  ${PROJECT_SOURCE_DIR}/upload/send_button.cpp
  ${PROJECT_SOURCE_DIR}/upload/returned_bytes.cpp
)
set(KMP_WINDOW_UPLOAD_LIBS kmp_serial kmp_serial_ctl kmp_upload_frame kmp_port_hint)
# ui_TForm1.h comes from app/TForm1.ui, which AUTOUIC already turns into the
# window's header; these files only include it.
set_source_files_properties(${KMP_WINDOW_UPLOAD_SOURCES} PROPERTIES SKIP_AUTOUIC ON)
