# The options dialog, starting with the system, and the About box.
scrawlix_unit_test(tst_options)
if(SCRAWLIX_PLATFORM STREQUAL "x11")
    # The Linux desktop's autostart entry and opener.
    scrawlix_unit_test(tst_autostart)
endif()
