#include "cli/module_config.h"

#include "device/protocol.h"

ConfigData ReadModuleConfig(SerialLink& link) {
    ConfigData data;
    // The values as the module holds them: a backup restores what was there,
    // not what the window would show (it caps the brightness at 100).
    data.settings.g_irRepeatPeriod = getIRRepeatPeriod(link);
    data.settings.g_irFullRepeat = getIRFullRepeat(link) != 0;
    data.settings.g_maxBrightness = getMaxBrightness(link);
    data.settings.g_defaultResistors = getDefaultResistance(link);
    data.media = getMediaActions(link);
    data.gears = getGearActions(link);
    data.horn = getHornActions(link);
    data.acc = getAccActions(link);
    return data;
}
