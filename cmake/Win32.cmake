# Windows tree: gridlark.exe, its Wine tests and the test stubs. build/win32 is the product for
# 32-bit Windows; build/win64 the same code for 64-bit Windows, tested where no 32-bit code runs.
enable_language(RC)
set(JPEG_PREFIX ${PROJECT_SOURCE_DIR}/build/deps/libjpeg-${CMAKE_SYSTEM_PROCESSOR} CACHE PATH "libjpeg built by scripts/setup")

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
# Every warning is an error: a new one fails the build, and so CI.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wall> $<$<COMPILE_LANGUAGE:CXX>:-Wextra> $<$<COMPILE_LANGUAGE:CXX>:-Wshadow>
  $<$<COMPILE_LANGUAGE:CXX>:-Werror>)
# Statically linked: gridlark.exe imports system DLLs only.
add_link_options(-static -static-libgcc -static-libstdc++)

set(GRIDLARK_WIN_SOURCES
  win/Registry.cpp
  win/Files.cpp
  puzzles/CollectionFiles.cpp
  puzzles/ImportDialog.cpp
  puzzles/Drop.cpp
  ui/Dialog.cpp
  win/Paths.cpp
  win/Messages.cpp
  win/Background.cpp
  win/FolderIds.cpp
  win/DirectoryChanges.cpp
  win/ExceptionHook.cpp
  settings/Settings.cpp
  app/Launcher.cpp
  jre/JavaNotice.cpp
  app/Application.cpp
  app/MainWindow.cpp
  app/PuzzleListView.cpp
  app/LibraryFeed.cpp
  app/MainCommands.cpp
  app/WindowPlacement.cpp
  app/ImportQueue.cpp
  puzzles/FolderListing.cpp
  puzzles/RepositoryWatcher.cpp
  puzzles/ListingWorker.cpp
  app/SingleInstance.cpp
  win/VersionResource.cpp
  settings/Installation.cpp
  ui/CommandBars.cpp
  ui/Panel.cpp
  ui/Tooltip.cpp
  ui/OpenDialog.cpp
  win/LazyApi.cpp
  ui/Fonts.cpp
  ui/LinkLabel.cpp
  win/MessagePump.cpp
  jre/DriveScan.cpp
  jre/DriveScanDialog.cpp
  jre/JavaDiscovery.cpp
  ui/ShellFolderTree.cpp
  ui/FolderChooser.cpp
  settings/PreferencesDialog.cpp
  help/HTMLHelp.cpp
  app/Modules.cpp
  win/ThrowSite.cpp
  faults/FatalError.cpp
  info/WebLinks.cpp
  ui/Jpeg.cpp
  ui/Pictures.cpp
  win/Dpi.cpp
  win/SortKeys.cpp
  info/DownloadWindow.cpp
  info/About.cpp
)
add_library(gridlark_win STATIC ${GRIDLARK_WIN_SOURCES})
# GCC takes the system header's read of the thread block through fs/gs (NtCurrentTeb) for a read
# outside an array of size 0.
set_source_files_properties(win/ThrowSite.cpp PROPERTIES COMPILE_OPTIONS -Wno-array-bounds)
target_include_directories(gridlark_win PUBLIC ${PROJECT_SOURCE_DIR} ${JPEG_PREFIX}/include)
# Every C++ raise is recorded where it happens, for the crash report (win/ThrowSite.cpp).
target_link_options(gridlark_win PUBLIC -Wl,--wrap=__cxa_throw)
target_link_libraries(gridlark_win PUBLIC gridlark_core
  ${JPEG_PREFIX}/lib/libjpeg.a comctl32 comdlg32 shell32 shlwapi version winmm ole32 uuid gdi32 user32 advapi32 ntdll)

# The main window's pictures at 24 and 32 pixels, drawn anew from their shapes (the 16 pixel strip
# is drawn by hand). Magenta stands for transparent; no smoothing, which would blend into it.
set(PICTURES_DIR ${CMAKE_BINARY_DIR}/pictures)
set(PICTURE_STRIPS)
foreach(pair 24:1.5 32:2)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 size)
  list(GET pair 1 scale)
  math(EXPR width "${size} * 7")
  set(strip ${PICTURES_DIR}/ilsMain${size}.bmp)
  add_custom_command(OUTPUT ${strip}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PICTURES_DIR}
    COMMAND sh -c "convert -size ${width}x${size} xc:#FF00FF +antialias -draw \"scale ${scale},${scale} $(grep -v '^ *#' '${PROJECT_SOURCE_DIR}/res/pictures.mvg')\" BMP3:'${strip}'"
    DEPENDS ${PROJECT_SOURCE_DIR}/res/pictures.mvg
    VERBATIM)
  list(APPEND PICTURE_STRIPS ${strip})
endforeach()
add_custom_target(pictures DEPENDS ${PICTURE_STRIPS})
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${PICTURES_DIR}")

set(GRIDLARK_RC ${PROJECT_SOURCE_DIR}/res/gridlark.rc)
set_source_files_properties(${GRIDLARK_RC} PROPERTIES
  OBJECT_DEPENDS "${PICTURES_DIR}/ilsMain24.bmp;${PICTURES_DIR}/ilsMain32.bmp;${PROJECT_SOURCE_DIR}/res/version.h;${PROJECT_SOURCE_DIR}/res/resource.h;${PROJECT_SOURCE_DIR}/res/gridlark.manifest;${PROJECT_SOURCE_DIR}/res/gridlark.ico;${PROJECT_SOURCE_DIR}/res/ilsMain.bmp;${PROJECT_SOURCE_DIR}/res/logo.jpg;${PROJECT_SOURCE_DIR}/res/morepuzzles.jpg;${PROJECT_SOURCE_DIR}/res/dialogs.rc")

add_executable(gridlark WIN32 app/gridlark.cpp ${GRIDLARK_RC})
target_link_libraries(gridlark PRIVATE gridlark_win)
set_target_properties(gridlark PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/dist)

# The help file, compiled from our own pages with chmcmd, shipped beside gridlark.exe.
file(GLOB HELP_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/help/chm/*)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/dist/gridlark.chm
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/help/chm ${CMAKE_BINARY_DIR}/help-chm
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/help-chm chmcmd --no-html-scan gridlark.hhp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/help-chm/gridlark.chm ${CMAKE_BINARY_DIR}/dist/gridlark.chm
  DEPENDS ${HELP_SOURCES}
  COMMENT "Compiling the help file"
  VERBATIM)
add_custom_target(helpfile ALL DEPENDS ${CMAKE_BINARY_DIR}/dist/gridlark.chm)

# The crash report's address table, from the program's symbols and DWARF lines, beside it.
string(REGEX REPLACE "g\\+\\+-posix$" "" BINUTILS_PREFIX ${CMAKE_CXX_COMPILER})
function(add_symbol_table target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/symtable ${BINUTILS_PREFIX} $<TARGET_FILE:${target}> ${PROJECT_SOURCE_DIR}
            $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.sym
    VERBATIM)
endfunction()
add_symbol_table(gridlark)
# Shipped without its debug information, once the table has been made from it (the unwinding
# tables the exceptions need are no debug information and stay).
add_custom_command(TARGET gridlark POST_BUILD COMMAND ${BINUTILS_PREFIX}objcopy --strip-debug $<TARGET_FILE:gridlark>
  VERBATIM)

# The installer, built with Debian's makensis for the tree's processor.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(NSIS_TARGET amd64-unicode)
else()
  set(NSIS_TARGET x86-unicode)
endif()
# The pages' pictures are drawn from the program's logo: a tall one for the welcome and finish
# pages, a small one for the header of the others.
set(INSTALLER_WELCOME ${CMAKE_BINARY_DIR}/installer-welcome.bmp)
set(INSTALLER_HEADER ${CMAKE_BINARY_DIR}/installer-header.bmp)
add_custom_command(OUTPUT ${INSTALLER_WELCOME} ${INSTALLER_HEADER}
  COMMAND convert -size 164x314 "gradient:#FFFFFF-#B8C6E6" ( ${PROJECT_SOURCE_DIR}/res/logo.jpg -filter point
          -resize 112x112 ) -gravity north -geometry +0+56 -composite BMP3:${INSTALLER_WELCOME}
  COMMAND convert ${PROJECT_SOURCE_DIR}/res/logo.jpg -filter point -resize 48x48 -background white -gravity east
          -extent 142x57 -gravity west -extent 150x57 BMP3:${INSTALLER_HEADER}
  DEPENDS ${PROJECT_SOURCE_DIR}/res/logo.jpg
  VERBATIM)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/gridlark-setup.exe
  COMMAND makensis -V2 -DDIST=${CMAKE_BINARY_DIR}/dist -DICON=${PROJECT_SOURCE_DIR}/res/gridlark.ico
          -DOUTFILE=${CMAKE_BINARY_DIR}/gridlark-setup.exe -DTARGET=${NSIS_TARGET} -DVERSION=${PROJECT_VERSION}
          -DWELCOME_BITMAP=${INSTALLER_WELCOME} -DHEADER_BITMAP=${INSTALLER_HEADER}
          ${PROJECT_SOURCE_DIR}/installer/gridlark.nsi
  DEPENDS gridlark helpfile ${PROJECT_SOURCE_DIR}/installer/gridlark.nsi ${CMAKE_BINARY_DIR}/dist/gridlark.chm
          ${INSTALLER_WELCOME} ${INSTALLER_HEADER}
  COMMENT "Building the installer"
  VERBATIM)
add_custom_target(installer ALL DEPENDS ${CMAKE_BINARY_DIR}/gridlark-setup.exe)
add_dependencies(gridlark helpfile)
add_test(NAME HelpFile.HoldsBothRootTopics
  COMMAND sh -c "chmls list '${CMAKE_BINARY_DIR}/dist/gridlark.chm' > chm.txt && grep -q ' /Contents.htm$' chm.txt && grep -q ' /Options_Menu.htm$' chm.txt"
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR})

# Stubs for the outside programs the product starts; never shipped.
foreach(stub javaw Relaybug stubbrowser)
  add_executable(stub_${stub} tests/stubs/recorder.cpp)
  target_link_options(stub_${stub} PRIVATE -mwindows)
  set_target_properties(stub_${stub} PROPERTIES OUTPUT_NAME ${stub} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stubs)
endforeach()
set_target_properties(stub_Relaybug PROPERTIES OUTPUT_NAME Relaybug SUFFIX .Exe)
add_library(stub_hhctrl SHARED tests/stubs/hhctrl.cpp)
set_target_properties(stub_hhctrl PROPERTIES OUTPUT_NAME hhctrl PREFIX "" SUFFIX .ocx
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stubs)
# Its entry under its plain name on 32 bits too, where a stdcall export is otherwise decorated.
target_link_options(stub_hhctrl PRIVATE -Wl,--kill-at)
add_executable(wintool tests/stubs/wintool.cpp)
set_target_properties(wintool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stubs)

# Tests run under Wine: the platform layer, the windows in-process, and end-to-end runs of gridlark.exe.
file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/*.cpp)
add_executable(win_tests ${WIN_TEST_SOURCES} ${GRIDLARK_RC})
target_link_libraries(win_tests PRIVATE gridlark_win GTest::gtest)
add_dependencies(win_tests gridlark stub_javaw stub_Relaybug stub_stubbrowser stub_hhctrl crashtest)
add_symbol_table(win_tests)

# A main window that fails on purpose, for the crash report's end-to-end tests.
add_executable(crashtest WIN32 tests/win/crash/CrashTest.cpp ${GRIDLARK_RC})
target_link_libraries(crashtest PRIVATE gridlark_win)
set_target_properties(crashtest PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/crash)
add_symbol_table(crashtest)
add_executable(versioned WIN32 tests/win/versioned/Versioned.cpp tests/win/versioned/versioned.rc)
set_target_properties(versioned PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stubs)
add_dependencies(win_tests versioned installer)

function(to_wine_path out path)
  string(REPLACE "/" "\\" p "${path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()
to_wine_path(DIST_W ${CMAKE_BINARY_DIR}/dist)
to_wine_path(STUBS_W ${CMAKE_BINARY_DIR}/stubs)
gtest_add_tests(TARGET win_tests SOURCES ${WIN_TEST_SOURCES} TEST_LIST WIN_TESTS)
set_tests_properties(${WIN_TESTS} PROPERTIES
  ENVIRONMENT "GRIDLARK_DIST=${DIST_W};GRIDLARK_STUBS=${STUBS_W}" TIMEOUT 120)

# Benchmarks, run by scripts/bench.
add_executable(emptywindow WIN32 tests/bench/EmptyWindow.cpp)
add_executable(bench tests/bench/Bench.cpp tests/win/TestSupport.cpp ${GRIDLARK_RC})
target_link_libraries(bench PRIVATE gridlark_win psapi)
add_dependencies(bench gridlark emptywindow stub_javaw)
