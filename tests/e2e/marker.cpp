// Stands in for whatever the shell would open: appends one line to opened.log beside
// itself, "<its own file name>|<its first argument>", so a test sees what was opened.
#include <windows.h>

#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    char self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(NULL, self, MAX_PATH);
    const std::string path(self, length);
    const std::string::size_type slash = path.find_last_of('\\');
    const std::string folder = path.substr(0, slash + 1);  // npos + 1 is 0: no folder
    const std::string name = path.substr(slash + 1);

    std::ofstream log(folder + "opened.log", std::ios::app);
    log << name << '|' << (argc > 1 ? argv[1] : "") << '\n';
    return log ? 0 : 1;
}
