# Modules of this area: target_sources(vcl_portable ...) for portable ones,
# target_sources(vcl ...) inside if(WIN32) for the Windows ones.
target_sources(vcl_portable PRIVATE
  SysUtils.cpp
  Persistent.cpp
  List.cpp
  Streams.cpp
  StringList.cpp
  Component.cpp
  Collection.cpp
  TypInfo.cpp
  FormReader.cpp
  FormWriter.cpp
  IniFiles.cpp
  MenuMerge.cpp)

if(WIN32)
  target_sources(vcl PRIVATE FormReaderWin32.cpp Registry.cpp)
endif()

# The operating system's file services, behind SysUtils.h and FileHandle.h.
if(WIN32)
  target_sources(vcl_portable PRIVATE SysUtilsWin32.cpp)
else()
  target_sources(vcl_portable PRIVATE SysUtilsPosix.cpp)
endif()
