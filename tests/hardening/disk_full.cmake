# A full disk and a read-only one under the running program: each case mounts
# a small tmpfs as the application folder, so it runs as root (CI does) and
# is skipped otherwise.
culegere_add_test(hardening disk_full)
