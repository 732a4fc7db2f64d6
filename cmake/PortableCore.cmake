# The portable core: every source in core/ is plain C++ over plain types, without <windows.h>.
# The folder is the list; scripts/fuzz and scripts/bench take the same sources from it.
file(GLOB GRIDLARK_CORE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/core/*.cpp)
add_library(gridlark_core STATIC ${GRIDLARK_CORE_SOURCES})
target_include_directories(gridlark_core PUBLIC ${PROJECT_SOURCE_DIR})

# The play history: portable too, over SQLite. The native tree compiles the amalgamation that
# scripts/setup makes from Debian's source; the Windows trees link the library setup built for them.
add_library(gridlark_history STATIC ${PROJECT_SOURCE_DIR}/history/PlayHistory.cpp)
target_link_libraries(gridlark_history PUBLIC gridlark_core)
if(WIN32)
  set(SQLITE_PREFIX ${PROJECT_SOURCE_DIR}/build/deps/sqlite-${CMAKE_SYSTEM_PROCESSOR} CACHE PATH
      "SQLite built by scripts/setup")
  target_include_directories(gridlark_history PUBLIC ${SQLITE_PREFIX}/include)
  target_link_libraries(gridlark_history PUBLIC ${SQLITE_PREFIX}/lib/libsqlite3.a)
else()
  set(SQLITE_AMALGAMATION ${PROJECT_SOURCE_DIR}/build/deps/sqlite-amalgamation CACHE PATH
      "the SQLite amalgamation made by scripts/setup")
  find_package(Threads REQUIRED)
  add_library(sqlite3_amalgamation STATIC ${SQLITE_AMALGAMATION}/sqlite3.c)
  target_include_directories(sqlite3_amalgamation SYSTEM PUBLIC ${SQLITE_AMALGAMATION})
  target_compile_definitions(sqlite3_amalgamation PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0)
  # Not ours: compiled as it comes, without the core's warnings and sanitizers.
  target_compile_options(sqlite3_amalgamation PRIVATE -w -O2)
  target_link_libraries(sqlite3_amalgamation PUBLIC Threads::Threads ${CMAKE_DL_LIBS} m)
  target_link_libraries(gridlark_history PUBLIC sqlite3_amalgamation)
endif()
