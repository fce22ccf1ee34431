# Bad input: damaged or cut-short data files, names holding bytes that are no
# letters or typed outside the code page, picture files that are no pictures.
culegere_add_test(hardening bad_input)
