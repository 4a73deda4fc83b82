# Saving and opening images, hostile files among them; a pipe that blocks the program would stop
# the test, hence the limit, which the sanitized build's slower code gets four times over.
scrawlix_unit_test(tst_fileio)
if(SCRAWLIX_SANITIZE)
    set_tests_properties(tst_fileio PROPERTIES TIMEOUT 480)
else()
    set_tests_properties(tst_fileio PROPERTIES TIMEOUT 120)
endif()
