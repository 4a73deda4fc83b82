# The options dialog, starting with the system, Help and About.
scrawlix_unit_test(tst_options)
scrawlix_unit_test(tst_autostart)
scrawlix_unit_test(tst_about)
