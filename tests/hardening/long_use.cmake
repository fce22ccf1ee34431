# Long use: 2000 corrected tests and 500 edits through the screens, with
# restarts, checking the log, the counters, what each start-up loads and the
# memory. `ctest -L long` runs it alone. CULEGERE_LONG_TESTS=<n> in the
# environment sets another number of tests (the edits follow as a quarter).
culegere_add_test(hardening long_use LABELS long)
set_tests_properties(tst_long_use PROPERTIES TIMEOUT 1800)
