# The portable half: pixel formats, BMP, icon and JPEG files, colour names
# (both presets).
zuvo_add_test(NAME GraphicsFormatsTest
  SOURCES DibTest.cpp BmpFileTest.cpp IcoFileTest.cpp JpegDecoderTest.cpp
  LIBS vcl_portable)

# Fonts, canvases, bitmaps, icons and pictures on GDI.
if(WIN32)
  zuvo_add_test(NAME GraphicsTest
    SOURCES GraphicsObjectsTest.cpp CanvasTest.cpp BitmapTest.cpp IconTest.cpp JpegTest.cpp PictureTest.cpp
      GraphicsTest.rc
    LIBS vcl)
endif()
