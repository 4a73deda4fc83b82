# Saving, opening and printing images.
scrawlix_unit_test(tst_fileio)
scrawlix_unit_test(tst_printing)
# Opening hostile files; a pipe that blocks the program would stop the test, hence the limit.
scrawlix_unit_test(tst_opening)
set_tests_properties(tst_opening PROPERTIES TIMEOUT 120)
