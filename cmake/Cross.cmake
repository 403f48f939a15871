# Cross build: the Win32 client and the tests that run under Wine.
include(cmake/BuildIdentity.cmake)
include(cmake/Brand.cmake)
add_compile_definitions(NOMINMAX WINVER=0x0601 _WIN32_WINNT=0x0601)
add_compile_options(-Wall -Wextra)
set(LUMORA_WIN32_LIBS gdiplus wininet ole32 oleaut32 shell32 comctl32 uuid gdi32 user32 advapi32)

# The manifest names the processor architecture twice (the client's assembly and the Common Controls it depends
# on); with the wrong one Windows finds no version 6 of the common controls and the dialogs fall back to the old
# ones. It is made for this build's architecture, under generated/, which windres searches before res/.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(LUMORA_MANIFEST_ARCH amd64)
else()
    set(LUMORA_MANIFEST_ARCH x86)
endif()
configure_file(${CMAKE_SOURCE_DIR}/res/lumora.manifest.in ${CMAKE_BINARY_DIR}/generated/lumora.manifest @ONLY)

# windres looks for the files a script names along its include path. Its preprocessor writes the files a script
# includes into the dependency file Ninja reads, so that a change to an included script or picture rebuilds it.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_BINARY_DIR}/generated -I${CMAKE_SOURCE_DIR}/res")
set(CMAKE_DEPFILE_FLAGS_RC
    "--preprocessor-arg=-MD --preprocessor-arg=-MT --preprocessor-arg=<OBJECT> --preprocessor-arg=-MF --preprocessor-arg=<DEP_FILE>")

include(cmake/Framework.cmake)
include(cmake/PictureIds.cmake)
lumora_picture_ids()

# The Win32 side of the client, everything but the application object itself, so that tests can link it.
add_library(lumora_win32 STATIC
    app/BrowserEmulation.cpp
    app/DesktopShortcut.cpp
    app/GameApp.cpp
    config/TextResource.cpp
    host/CustomControlSite.cpp
    host/CustomOccManager.cpp
    host/ImpIDispatch.cpp
    host/ScriptError.cpp
    host/WebBrowser.cpp
    mainwnd/GameDlg.cpp
    skin/MyBitmap.cpp
    skin/MyBitmapButton.cpp
    skin/SkinFrame.cpp
    skin/ResourceImage.cpp
    webwnd/ClearBrowserCache.cpp
    webwnd/DialogWeb.cpp
    webwnd/DlgVolume.cpp
    webwnd/OfflinePage.cpp
    webwnd/SoundSwitch.cpp
    webwnd/WebToolbar.cpp
)
target_link_libraries(lumora_win32 PUBLIC lumora_core lumora_framework ${LUMORA_WIN32_LIBS})
target_include_directories(lumora_win32 PUBLIC ${CMAKE_BINARY_DIR}/generated)

add_executable(lumora WIN32 app/Main.cpp)
target_link_libraries(lumora PRIVATE lumora_win32 lumora_winmain)
# The shipped client, or an operator's: -DLUMORA_BRAND_DIR, -DLUMORA_SITEURL_DOCUMENT and -DLUMORA_OPERATOR.
lumora_brand(lumora res/lumora.rc BRAND "${LUMORA_BRAND_DIR}" SITEURL "${LUMORA_SITEURL_DOCUMENT}"
             OPERATOR "${LUMORA_OPERATOR}")

include(cmake/GoogleTest.cmake)
include(cmake/WineTests.cmake)

# ---- Tools: programs the scripts run, which are no tests ----

# The window scripts/skin-preview.sh takes a screenshot of; with a brand folder, its pictures.
add_executable(skin_preview WIN32 tools/skin-preview/SkinPreview.cpp)
target_link_libraries(skin_preview PRIVATE lumora_win32)
lumora_brand(skin_preview res/images.rc BRAND "${LUMORA_BRAND_DIR}")

# The benchmark (scripts/bench.sh) and the minimal program it measures the client's start against.
add_executable(minimal_start WIN32 tools/bench/MinimalStart.cpp tools/bench/MinimalStart.rc res/images.rc)
target_link_libraries(minimal_start PRIVATE lumora_win32 lumora_winmain)
add_executable(bench tools/bench/Bench.cpp)
target_link_libraries(bench PRIVATE lumora_win32 lumora_test_support psapi GTest::gtest)
lumora_brand(bench res/lumora.rc)
