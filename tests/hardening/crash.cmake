# Crash safety: the worker runs one store operation on a folder; the test kills
# it under strace at each system call of that operation and checks the files.
add_executable(crash_worker hardening/crash_worker.cpp)
target_link_libraries(crash_worker PRIVATE culegere_test_support)
culegere_warnings(crash_worker)

culegere_add_test(hardening crash_safety)
add_dependencies(tst_crash_safety crash_worker)
target_compile_definitions(tst_crash_safety PRIVATE
    CULEGERE_CRASH_WORKER="$<TARGET_FILE:crash_worker>")
