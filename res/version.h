// The program's version, in one place for the resource script and the code.
#pragma once

#define GRIDLARK_VERSION_BINARY 1, 0, 2, 1
#define GRIDLARK_VERSION_TEXT "1.0.2.1"
#define GRIDLARK_COMPANY "Orvanel"
#define GRIDLARK_PRODUCT "Gridlark"
#define GRIDLARK_EXE_NAME "gridlark.exe"
