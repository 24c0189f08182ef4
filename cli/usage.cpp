#include "cli/usage.h"

std::wstring UsageText() {
    return L"usage:\n"
           L"  korvelctl ports\n"
           L"  korvelctl --port PORT info [--json]\n"
           L"  korvelctl --port PORT backup FILE.cfg\n"
           L"  korvelctl --port PORT restore FILE.cfg\n"
           L"  korvelctl --port PORT set brightness N | period MS | full-repeat on|off | resistance RA RB\n"
           L"  korvelctl --port PORT store | reload | reset\n"
           L"  korvelctl --port PORT send-ir CODE\n"
           L"  korvelctl --port PORT watch [--count N]\n"
           L"  korvelctl show FILE.cfg [--json]\n"
           L"  korvelctl diff A.cfg B.cfg [--json]\n"
           L"options:\n"
           L"  --settle MS   wait after opening the port (default 2000)\n"
           L"RA and RB are names as the window lists them (\"3.9 k\u2126\", \"22 \u2126\", \"\" for none);\n"
           L"numbers take 0x for hexadecimal and a leading 0 for octal.\n";
}
