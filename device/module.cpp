#include "device/module.h"

Outcome Connect(Module& module, const std::string& port) {
    Outcome outcome{&kConnect};
    bool opened = false;
    try {
        opened = module.link.open(port);
    } catch (...) {
        opened = false;
    }
    module.link.connected = opened;
    if (!opened) {
        outcome.kind = OutcomeKind::NotConnected;
        outcome.openFailure = module.link.openFailure;
    }
    return outcome;
}
