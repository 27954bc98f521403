# zuvo_add_test(...) calls of this area
zuvo_add_test(NAME SysUtilsTest SOURCES SysUtilsTest.cpp LIBS vcl_portable)
zuvo_add_test(NAME StreamsTest SOURCES StreamsTest.cpp LIBS vcl_portable)
zuvo_add_test(NAME StringListTest SOURCES StringListTest.cpp LIBS vcl_portable)
zuvo_add_test(NAME ComponentTest SOURCES ComponentTest.cpp LIBS vcl_portable)
