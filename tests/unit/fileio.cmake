# Saving and opening images.
scrawlix_unit_test(tst_fileio)
# Opening hostile files; a pipe that blocks the program would stop the test, hence the limit, which
# the sanitized build's slower code gets four times over.
scrawlix_unit_test(tst_opening)
if(SCRAWLIX_SANITIZE)
    set_tests_properties(tst_opening PROPERTIES TIMEOUT 480)
else()
    set_tests_properties(tst_opening PROPERTIES TIMEOUT 120)
endif()
