# Saving, opening and printing images.
scrawlix_unit_test(tst_fileio)
scrawlix_unit_test(tst_printing)
