#include "actions/actions_page.h"

std::size_t HeldRowCount(const ActionsPage& page, std::uint32_t table) {
    switch (table) {
    case Media: return page.mediaActions.size();
    case Gears: return page.gearActions.size();
    case Horn: return page.hornActions.size();
    case Acc: return page.accActions.size();
    default: return 0;
    }
}
