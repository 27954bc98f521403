# Tests of controls, forms, the application and dialogs.
zuvo_add_test(NAME RefreshGateTest SOURCES RefreshGateTest.cpp LIBS vcl_portable)
if(WIN32)
  zuvo_add_test(NAME ObjectInstanceTest SOURCES ObjectInstanceTest.cpp LIBS vcl)
endif()
