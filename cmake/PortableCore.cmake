# The portable core: every source in core/ is plain C++ over plain types, without <windows.h>.
# The folder is the list; scripts/fuzz and scripts/bench take the same sources from it.
file(GLOB GRIDLARK_CORE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/core/*.cpp)
add_library(gridlark_core STATIC ${GRIDLARK_CORE_SOURCES})
target_include_directories(gridlark_core PUBLIC ${PROJECT_SOURCE_DIR})
