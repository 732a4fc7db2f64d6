# Sources of the portable core; each is plain C++ over plain types, without <windows.h>.
set(GRIDLARK_CORE_SOURCES
  core/Text.cpp
  app/LaunchRules.cpp
  app/CommandLine.cpp
  app/PuzzleListModel.cpp
  settings/ConfigRules.cpp
  core/IoError.cpp
  puzzles/Puzzles.cpp
  puzzles/Collections.cpp
  puzzles/FileNames.cpp
  puzzles/DropRules.cpp
  core/VersionRules.cpp
  jre/ScanQueue.cpp
  help/HelpRules.cpp
  core/FixedText.cpp
  faults/ReportRules.cpp
  faults/SymbolTable.cpp
  settings/LinkRules.cpp
)
add_library(gridlark_core STATIC ${GRIDLARK_CORE_SOURCES})
target_include_directories(gridlark_core PUBLIC ${PROJECT_SOURCE_DIR})
