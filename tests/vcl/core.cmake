# zuvo_add_test(...) calls of this area
