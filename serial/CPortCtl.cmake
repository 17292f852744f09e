# The signal lamp TComLed with its twelve lamp images (a widget, so it lives in
# a library of its own next to the non-visual serial layer).
# The images are drawn by CPortCtl_leds/make_leds.py (run it again after a change).
add_library(kmp_serial_ctl STATIC
  ${CMAKE_CURRENT_LIST_DIR}/detail/CPortCtl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CPortCtl.h
  ${CMAKE_CURRENT_LIST_DIR}/CPortCtl.qrc
)
target_include_directories(kmp_serial_ctl PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kmp_serial_ctl PUBLIC kmp_serial Qt6::Widgets)
kmp_warnings(kmp_serial_ctl)
