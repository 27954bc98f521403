# The portable half: pixel formats, BMP files, colour names (both presets).
zuvo_add_test(NAME GraphicsFormatsTest
  SOURCES ColorsTest.cpp DibTest.cpp BmpFileTest.cpp
  LIBS vcl_portable)
