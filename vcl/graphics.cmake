# Graphics of the class library. What only computes (pixel formats, BMP,
# icon and JPEG files, colour names) is portable; the GDI side is Windows only.
target_sources(vcl_portable PRIVATE Colors.cpp Dib.cpp BmpFile.cpp IcoFile.cpp JpegDecoder.cpp)
target_link_libraries(vcl_portable PUBLIC Zuvo::jpeg)
if(WIN32)
  target_sources(vcl PRIVATE Graphics.cpp Canvas.cpp Graphic.cpp Bitmap.cpp Icon.cpp Jpeg.cpp Picture.cpp)
  target_link_libraries(vcl PUBLIC msimg32)
endif()
