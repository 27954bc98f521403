# Graphics of the class library. What only computes (pixel formats, the BMP
# file format, colour names) is portable; the GDI side is Windows only.
target_sources(vcl_portable PRIVATE Colors.cpp Dib.cpp BmpFile.cpp)
