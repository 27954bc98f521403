# Tests of controls, forms, the application and dialogs.
zuvo_add_test(NAME RefreshGateTest SOURCES RefreshGateTest.cpp LIBS vcl_portable)
if(WIN32)
  zuvo_add_test(NAME ObjectInstanceTest SOURCES ObjectInstanceTest.cpp LIBS vcl)
  zuvo_add_test(NAME ControlsTest SOURCES ControlsTest.cpp LIBS vcl zuvo_ui_driver)
  zuvo_add_test(NAME ProgressBarTest SOURCES ProgressBarTest.cpp LIBS vcl)
  zuvo_add_test(NAME ExtCtrlsTest SOURCES ExtCtrlsTest.cpp LIBS vcl zuvo_ui_driver)
  zuvo_add_test(NAME HintWindowTest SOURCES HintWindowTest.cpp LIBS vcl)
  zuvo_add_test(NAME FormsTest SOURCES FormsTest.cpp MDIFormsTest.cpp LIBS vcl zuvo_ui_driver)
  zuvo_add_test(NAME MenusTest SOURCES MenusTest.cpp LIBS vcl)
  zuvo_add_test(NAME DialogsTest SOURCES DialogsTest.cpp LIBS vcl zuvo_ui_driver)
  # Alone in its process: the message loop it runs ends the application.
  zuvo_add_test(NAME ApplicationRunTest SOURCES ApplicationRunTest.cpp LIBS vcl)
  zuvo_add_test(NAME FormDescriptionTest SOURCES FormDescriptionTest.cpp LIBS vcl zuvo_ui_driver)
  zuvo_add_test(NAME FormRoundTripTest SOURCES FormRoundTripTest.cpp LIBS vcl)
  zuvo_add_test(NAME LifetimeTest SOURCES LifetimeTest.cpp LIBS vcl zuvo_ui_driver)
  # Replaces the allocator of its own process: alone in it.
  zuvo_add_test(NAME ProgramEndTest SOURCES ProgramEndTest.cpp LIBS vcl)
endif()
