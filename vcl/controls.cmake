# Controls, forms, the application and dialogs: the windowed half of the
# class library.
if(WIN32)
  target_sources(vcl PRIVATE
    Messages.cpp
    ObjectInstance.cpp
    WindowBinding.cpp
    ControlTypes.cpp
    Controls.cpp
    WindowUpdates.cpp
    ControlCanvas.cpp
    Forms.cpp
    Application.cpp
    StdCtrls.cpp
    StaticText.cpp
    Panels.cpp
    ScrollBar.cpp
    ComboBox.cpp
    ComCtrls.cpp
    ImgList.cpp
    ExtCtrls.cpp
    HintWindow.cpp
    Menus.cpp
    Dialogs.cpp
    Buttons.cpp
    CheckBoxes.cpp
    UpDown.cpp)
  target_sources(vcl PRIVATE StatusBar.cpp Tabs.cpp ToolBar.cpp)
  target_link_libraries(vcl PUBLIC comctl32)
endif()
