// The end-to-end driver: GoogleTest cases that run Tomeshift.exe under Wine and work it
// from outside. run-e2e.sh starts it with the display, prefix and folders set up.
//   e2e_driver --tomeshift=EXE --marker=EXE --work=DIR [--shots=DIR] [gtest options]
#include "tests/e2e/e2e_fixture.h"
#include "tests/e2e/session.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool TakeOption(const char* argument, const char* name, std::string& value)
{
    const size_t length = std::strlen(name);
    if (std::strncmp(argument, name, length) != 0)
        return false;
    value = argument + length;
    return true;
}

// Web addresses open the marker too, so a test sees which address a link handed over.
bool RegisterMarkerForWebAddresses()
{
    const std::string command = "\"" + Config().marker + "\" \"%1\"";
    HKEY key = NULL;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\https\\shell\\open\\command", 0, NULL, 0,
                          KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    const LONG set = ::RegSetValueExA(key, NULL, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                      static_cast<DWORD>(command.size() + 1));
    ::RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    E2EConfig& config = Config();
    for (int i = 1; i < argc; ++i) {
        if (!TakeOption(argv[i], "--tomeshift=", config.tomeshift) && !TakeOption(argv[i], "--marker=", config.marker) &&
            !TakeOption(argv[i], "--work=", config.work) && !TakeOption(argv[i], "--shots=", config.shots)) {
            std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
            return 2;
        }
    }
    if (config.tomeshift.empty() || config.marker.empty() || config.work.empty()) {
        std::fprintf(stderr, "usage: %s --tomeshift=EXE --marker=EXE --work=DIR [--shots=DIR]\n", argv[0]);
        return 2;
    }
    PrepareMarkers();
    if (!RegisterMarkerForWebAddresses()) {
        std::fprintf(stderr, "cannot register the marker for web addresses\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
