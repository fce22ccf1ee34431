// The print dialog and the test sheet come here.
