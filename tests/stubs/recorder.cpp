// Stands in for an outside program (the Java runtime, the bug reporter, the web browser): appends
// one line to the file named by GRIDLARK_STUB_LOG and exits. The line holds, separated by '|',
// the program's own file name, the parameters after the program, and the working folder.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The command line less the program token and the blanks after it.
std::string ParametersOf(const char* commandLine)
{
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char log[MAX_PATH * 2] = {};
    if (::GetEnvironmentVariableA("GRIDLARK_STUB_LOG", log, sizeof(log)) == 0)
        return 1;
    char program[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, program, sizeof(program));
    const char* name = program;
    for (const char* p = program; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    char folder[MAX_PATH * 2] = {};
    ::GetCurrentDirectoryA(sizeof(folder), folder);
    std::string line = std::string(name) + "|" + ParametersOf(::GetCommandLineA()) + "|" + folder + "\n";
    // Several stubs may record at once: retry while another one holds the file.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = ::CreateFileA(log, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            ::CloseHandle(file);
            return 0;
        }
        ::Sleep(10);
    }
    return 2;
}
