# The framework layer (Win32 only). Included by Cross.cmake.
add_library(lumora_framework STATIC
    framework/ControlWnd.cpp
    framework/Dialog.cpp
    framework/Dispatch.cpp
    framework/DlgTemplate.cpp
    framework/Guard.cpp
    framework/MessageBox.cpp
    framework/MessageLoop.cpp
    framework/LiveCounts.cpp
    framework/ModulePath.cpp
    framework/OccContainer.cpp
    framework/OccEvents.cpp
    framework/OccManager.cpp
    framework/OccSite.cpp
    framework/Scoped.cpp
    framework/Stub.cpp
    framework/Surface.cpp
    framework/Text.cpp
    framework/WinApp.cpp
    framework/Wnd.cpp
)
target_include_directories(lumora_framework PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lumora_framework PUBLIC lumora_core ${LUMORA_WIN32_LIBS})

# The framework's WinMain, for the client and for test programs that run a real application object.
add_library(lumora_winmain OBJECT framework/WinMain.cpp)
target_include_directories(lumora_winmain PUBLIC ${CMAKE_SOURCE_DIR})
